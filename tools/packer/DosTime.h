// Calendar time <-> TDateTime (days since 30 December 1899, time as fraction).
#pragma once
#include <cstdint>
#include <string>

namespace packer {

struct CivilTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Days from 30 December 1899 to the given date (proleptic Gregorian).
int64_t DaysSinceEpoch(int year, int month, int day);

// The TDateTime of a civil time: days + seconds / 86400, in double precision,
// exactly as the archive stores it.
double ToDateTime(const CivilTime& t);

// Parses "YYYY-MM-DD HH:MM:SS". Returns an empty string on success, else why not.
std::string ParseCivilTime(const std::string& text, CivilTime& out);

}  // namespace packer
