#include "instutils/DateTime.h"

#include <cmath>
#include <cstdint>

namespace instutils {

namespace {

constexpr int64_t kMsPerDay = 86400000;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2);
}

const int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

bool IsLeap(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned DaysInMonth(int64_t y, unsigned m) {
  static const unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

double Encode(int64_t y, unsigned m, unsigned d, unsigned h, unsigned mi, unsigned s, unsigned ms) {
  const double days = static_cast<double>(DaysFromCivil(y, m, d) - kEpochDays);
  return days + (((h * 60.0 + mi) * 60.0 + s) * 1000.0 + ms) / static_cast<double>(kMsPerDay);
}

}  // namespace

double DosDateTimeToDateTime(WORD dosDate, WORD dosTime) {
  const int64_t year = 1980 + (dosDate >> 9);
  const unsigned month = (dosDate >> 5) & 0x0F;
  const unsigned day = dosDate & 0x1F;
  const unsigned hour = dosTime >> 11;
  const unsigned minute = (dosTime >> 5) & 0x3F;
  const unsigned second = (dosTime & 0x1F) * 2;
  // A stamp no clock could have written gives the zero date rather than a
  // value that silently lands on a neighbouring day.
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 || minute > 59 ||
      second > 59)
    return 0.0;
  return Encode(year, month, day, hour, minute, second, 0);
}

bool DateTimeToDosDateTime(double dt, WORD& dosDate, WORD& dosTime) {
  if (!std::isfinite(dt) || dt < -1e9 || dt > 1e9) return false;
  double whole = std::floor(dt);
  int64_t days = static_cast<int64_t>(whole);
  int64_t ms = static_cast<int64_t>(std::llround((dt - whole) * static_cast<double>(kMsPerDay)));
  if (ms >= kMsPerDay) {
    ++days;
    ms -= kMsPerDay;
  }
  int64_t y;
  unsigned m, d;
  CivilFromDays(days + kEpochDays, y, m, d);
  if (y < 1980 || y > 2107) return false;
  const unsigned secs = static_cast<unsigned>(ms / 1000);
  dosDate = static_cast<WORD>(((y - 1980) << 9) | (m << 5) | d);
  dosTime = static_cast<WORD>(((secs / 3600) << 11) | (((secs / 60) % 60) << 5) | ((secs % 60) / 2));
  return true;
}

bool SameDosTime(double a, double b) {
  WORD da, ta, db, tb;
  return DateTimeToDosDateTime(a, da, ta) && DateTimeToDosDateTime(b, db, tb) && da == db && ta == tb;
}

double NowAsDateTime() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return Encode(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

}  // namespace instutils
