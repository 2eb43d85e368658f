#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/Names.h"
#include "instutils/DateTime.h"
#include "instutils/InstUtils.h"

using namespace instutils;

namespace {

std::string WithBackslash(std::string s) {
  AddBackslash(s);
  return s;
}

TEST(PathTextTest, AddBackslashEndsInExactlyOneBackslash) {
  EXPECT_EQ(WithBackslash(""), "");
  EXPECT_EQ(WithBackslash("C:"), "C:\\");
  EXPECT_EQ(WithBackslash("C:/"), "C:\\");
  EXPECT_EQ(WithBackslash("C:\\Dir\\"), "C:\\Dir\\");
  EXPECT_EQ(WithBackslash("C:\\Dir/"), "C:\\Dir\\");
  EXPECT_EQ(WithBackslash("C:\\Dir"), "C:\\Dir\\");
}

TEST(PathTextTest, JoinPath) {
  EXPECT_EQ(JoinPath("", "name.txt"), "name.txt");
  EXPECT_EQ(JoinPath("C:\\A/", "b"), "C:\\A\\b");
  EXPECT_EQ(JoinPath("C:\\A", "b"), "C:\\A\\b");
  EXPECT_EQ(JoinPath("C:\\A\\", "b"), "C:\\A\\b");
}

TEST(PathTextTest, CharHelpers) {
  std::string s = "abc";
  DeleteFirstChar(s);
  EXPECT_EQ(s, "bc");
  DeleteLastChar(s);
  EXPECT_EQ(s, "b");
  EXPECT_EQ(LastChar(s), 'b');
  DeleteLastChar(s);
  DeleteLastChar(s);
  DeleteFirstChar(s);
  EXPECT_EQ(s, "");
}

TEST(PathTextTest, SamePathIgnoresCaseOnly) {
  EXPECT_TRUE(SamePath("c:\\Program Files\\" NAME_SHORT, "C:\\PROGRAM FILES\\vellumar"));
  EXPECT_TRUE(SamePath("", ""));
  EXPECT_FALSE(SamePath("C:/A", "C:\\A"));
  EXPECT_FALSE(SamePath("C:\\A\\", "C:\\A"));
  EXPECT_FALSE(SamePath("C:\\A\\.", "C:\\A"));
}

TEST(PathTextTest, EscapeAmpersands) {
  EXPECT_EQ(EscapeAmpersands("-"), "- ");
  EXPECT_EQ(EscapeAmpersands("--"), "--");
  EXPECT_EQ(EscapeAmpersands("Tom & Jerry"), "Tom && Jerry");
  EXPECT_EQ(EscapeAmpersands("&&"), "&&&&");
  EXPECT_EQ(EscapeAmpersands("&a&"), "&&a&&");
  EXPECT_EQ(EscapeAmpersands("plain"), "plain");
  EXPECT_EQ(EscapeAmpersands(""), "");
}

TEST(PathTextTest, GroupThousands) {
  const struct { int32_t n; const char* text; } rows[] = {
      {0, "0"}, {7, "7"}, {999, "999"}, {1000, "1 000"}, {16383, "16 383"}, {100000, "100 000"},
      {1234567, "1 234 567"}, {2147483647, "2 147 483 647"},
  };
  for (const auto& r : rows) EXPECT_EQ(GroupThousands(r.n), r.text) << r.n;
}

TEST(PathTextTest, FormatSizeTable) {
  const struct { int64_t v; const char* text; } rows[] = {
      {0, "0 KB"},
      {1023, "0 KB"},
      {1536, "1 KB"},
      {1048575, "1 023 KB"},
      {1048576, "1 MB"},
      {1048577, "1 024 KB"},
      {5242880, "5 MB"},
      {16777214, "16 383 KB"},
      {16777215, "16 MB"},
      {17301504, "16 MB"},   // 16.5 MB: half to even, down
      {18350080, "18 MB"},   // 17.5 MB: half to even, up
      {17301505, "17 MB"},   // just above the half
      {1073741824, "1 024 MB"},
      {104857600000LL, "100 000 MB"},
      {5000LL * 1024 * 1024 * 1024 * 1024, "5 242 880 000 MB"},  // beyond 32-bit megabytes
  };
  for (const auto& r : rows) EXPECT_EQ(FormatSize(r.v), r.text) << r.v;
}

TEST(DateTimeTest, DosDateTimeConversionsBothWays) {
  // 7 December 2026, 12:00:00 is TDateTime 46363.5.
  const WORD date = static_cast<WORD>(((2026 - 1980) << 9) | (12 << 5) | 7);
  const WORD time = static_cast<WORD>(12 << 11);
  EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(date, time), 46363.5);
  WORD d = 0, t = 0;
  ASSERT_TRUE(DateTimeToDosDateTime(46363.5, d, t));
  EXPECT_EQ(d, date);
  EXPECT_EQ(t, time);

  // 15 June 2020 10:20:31.9 rounds down to the even second 30.
  const double odd = 43997 + (10 * 3600 + 20 * 60 + 31.9) / 86400.0;
  ASSERT_TRUE(DateTimeToDosDateTime(odd, d, t));
  EXPECT_EQ(t & 0x1F, 15);
  EXPECT_NEAR(DosDateTimeToDateTime(d, t), 43997 + (10 * 3600 + 20 * 60 + 30) / 86400.0, 1e-9);

  // 1 January 1980 00:00:00 and 31 December 2107 23:59:58 are the ends of the range.
  EXPECT_DOUBLE_EQ(DosDateTimeToDateTime(static_cast<WORD>((1 << 5) | 1), 0), 29221.0);
  ASSERT_TRUE(DateTimeToDosDateTime(29221.0, d, t));
  EXPECT_EQ(d, (1 << 5) | 1);
  EXPECT_FALSE(DateTimeToDosDateTime(29221.0 - 1e-6, d, t));
  const double end2107 = 75972.0 - 1.0 / 86400.0;  // 2107-12-31 23:59:59
  ASSERT_TRUE(DateTimeToDosDateTime(end2107, d, t));
  EXPECT_EQ(d >> 9, 127);
  EXPECT_FALSE(DateTimeToDosDateTime(75972.0, d, t));
  EXPECT_FALSE(DateTimeToDosDateTime(std::nan(""), d, t));
  EXPECT_FALSE(DateTimeToDosDateTime(INFINITY, d, t));

  // A stamp no clock writes (month 13, 30 February) gives the zero date.
  EXPECT_EQ(DosDateTimeToDateTime(static_cast<WORD>((40 << 9) | (13 << 5) | 1), 0), 0.0);
  EXPECT_EQ(DosDateTimeToDateTime(static_cast<WORD>((40 << 9) | (2 << 5) | 30), 0), 0.0);
  EXPECT_NE(DosDateTimeToDateTime(static_cast<WORD>((40 << 9) | (2 << 5) | 29), 0), 0.0);  // 2020 leap day
}

TEST(DateTimeTest, NowIsLocalTime) {
  SYSTEMTIME st;
  GetLocalTime(&st);
  const double now = NowAsDateTime();
  WORD d = 0, t = 0;
  ASSERT_TRUE(DateTimeToDosDateTime(now, d, t));
  EXPECT_EQ(1980 + (d >> 9), st.wYear);
  EXPECT_EQ((d >> 5) & 0x0F, st.wMonth);
  EXPECT_NEAR((t >> 11) * 60 + ((t >> 5) & 0x3F), st.wHour * 60 + st.wMinute, 1);
}

}  // namespace
