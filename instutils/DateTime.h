// TDateTime: a double counting days since 30 December 1899, the time of day as
// the fraction, in local time.
#pragma once
#include <windows.h>

namespace instutils {

// DOS date: year-1980 in bits 9-15, month 5-8, day 0-4; DOS time: hour in
// bits 11-15, minute 5-10, seconds/2 in 0-4.
double DosDateTimeToDateTime(WORD dosDate, WORD dosTime);
// Rounds down to even seconds. False when dt is not finite or lies outside the
// years 1980..2107 that a DOS date can hold.
bool DateTimeToDosDateTime(double dt, WORD& dosDate, WORD& dosTime);
// Equal at the two-second resolution the file system keeps; a stamp outside
// the DOS range never equals a file's time.
bool SameDosTime(double a, double b);
double NowAsDateTime();  // local time, milliseconds included

}  // namespace instutils
