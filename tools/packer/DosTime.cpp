#include "DosTime.h"

#include <cctype>

namespace packer {

int64_t DaysSinceEpoch(int year, int month, int day) {
  // Howard Hinnant's days_from_civil, shifted from 1970-01-01 to 1899-12-30.
  const int64_t y = int64_t(year) - (month <= 2);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t mp = (month + 9) % 12;
  const int64_t doy = (153 * mp + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 25569;
}

double ToDateTime(const CivilTime& t) {
  const int64_t secs = int64_t(t.hour) * 3600 + int64_t(t.minute) * 60 + t.second;
  return double(DaysSinceEpoch(t.year, t.month, t.day)) + double(secs) / 86400.0;
}

namespace {

bool Digits(const std::string& s, size_t pos, size_t count, int& value) {
  if (pos + count > s.size()) return false;
  value = 0;
  for (size_t i = pos; i < pos + count; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    value = value * 10 + (s[i] - '0');
  }
  return true;
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

std::string ParseCivilTime(const std::string& s, CivilTime& t) {
  // Exactly 19 characters; anything else (fractions, zones) is not a whole second.
  if (s.size() != 19 || s[4] != '-' || s[7] != '-' || s[10] != ' ' || s[13] != ':' || s[16] != ':' ||
      !Digits(s, 0, 4, t.year) || !Digits(s, 5, 2, t.month) || !Digits(s, 8, 2, t.day) ||
      !Digits(s, 11, 2, t.hour) || !Digits(s, 14, 2, t.minute) || !Digits(s, 17, 2, t.second))
    return "time stamp \"" + s + "\" is not of the form YYYY-MM-DD HH:MM:SS in whole seconds";
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month) || t.hour > 23 ||
      t.minute > 59 || t.second > 59)
    return "time stamp \"" + s + "\" is not a valid date and time";
  if (t.second % 2 != 0) return "time stamp \"" + s + "\" has an odd number of seconds";
  // FileTimeToDosDateTime covers 1980-01-01 to 2107-12-31.
  if (t.year < 1980 || t.year > 2107) return "time stamp \"" + s + "\" lies outside the DOS date range 1980-2107";
  return std::string();
}

}  // namespace packer
