#include <gtest/gtest.h>

#include "tests/support/Names.h"
#include "Scratch.h"
#include "instutils/Logs.h"

using namespace instutils;
using namespace testing_support;

namespace {

using Lines = std::vector<std::string>;

class LogTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetLogs(); }
  void TearDown() override { ResetLogs(); }
  ScratchFolder scratch;
};

TEST_F(LogTest, LinesAreUniqueIgnoringCaseAndKeepTheirOrder) {
  LogLine("File Copy: C:\\A\\b.txt");  // no list yet: nothing, no crash
  StartInstallLog("");
  EXPECT_TRUE(InstallStarted);
  EXPECT_TRUE(LogName.empty());
  LogLine("File Copy: C:\\A\\b.txt");
  LogLine("Made Dir: C:\\A\\");
  LogLine("file copy: c:\\a\\B.TXT");
  LogLine("File Copy: C:\\A\\b.txt");
  LogLine("File Copy: C:\\A\\b.txt\t!");
  EXPECT_EQ(LogList->Lines(), (Lines{"File Copy: C:\\A\\b.txt", "Made Dir: C:\\A\\", "File Copy: C:\\A\\b.txt\t!"}));
}

// The list's look-up must agree with the comparison the log files are kept by,
// also where case, accents and punctuation are close.
TEST_F(LogTest, ALineIsADuplicateExactlyWhenTheLogComparisonCallsItEqual) {
  // Keys longer than the index's quick buffer: a deep folder's lines.
  const std::string deepLower = "File Copy: C:\\" + std::string(400, 'a');
  const std::string deepUpper = "FILE COPY: c:\\" + std::string(400, 'A'), deeper = deepLower + "b";
  const std::pair<const char*, const char*> pairs[] = {
      {"File Copy: C:\\Caf\xE9\\x", "FILE COPY: c:\\CAF\xC9\\X"}, {"File Copy: C:\\Caf\xE9", "File Copy: C:\\Cafe"},
      {"Made Dir: C:\\a-b", "Made Dir: C:\\ab"},  {"Made Dir: C:\\a", "Made Dir: C:\\a\\"},
      {"x\ty", "X\tY"},                           {"", " "},
      {deepLower.c_str(), deepUpper.c_str()},     {deepLower.c_str(), deeper.c_str()}};
  for (const auto& pair : pairs) {
    StartInstallLog("");
    ASSERT_TRUE(LogList->AddUnique(pair.first));
    EXPECT_EQ(LogList->AddUnique(pair.second), CompareLogLines(pair.first, pair.second) != 0)
        << pair.first << " / " << pair.second;
    EXPECT_TRUE(LogList->Contains(pair.second));
  }
}

TEST_F(LogTest, SuspensionNests) {
  StartInstallLog("");
  SuspendLogging();
  SuspendLogging();
  LogLine("one");
  ResumeLogging();
  EXPECT_EQ(LogSuspendCount, 1);
  LogLine("two");
  EXPECT_EQ(LogList->Count(), 0);
  ResumeLogging();
  LogLine("three");
  EXPECT_EQ(LogList->Lines(), Lines{"three"});
}

TEST(TextLinesTest, SplittingAtCrLfAndCrLfStopsAtNul) {
  EXPECT_EQ(SplitTextLines(""), Lines{});
  EXPECT_EQ(SplitTextLines("a"), Lines{"a"});
  EXPECT_EQ(SplitTextLines("a\r\n"), Lines{"a"});
  EXPECT_EQ(SplitTextLines("\r\n"), Lines{""});
  EXPECT_EQ(SplitTextLines("a\n\n"), (Lines{"a", ""}));
  EXPECT_EQ(SplitTextLines("a\rb\nc\r\nd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitTextLines("a\r\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitTextLines("a\n\rb"), (Lines{"a", "", "b"}));  // LF CR is two breaks
  EXPECT_EQ(SplitTextLines(std::string("a\r\nb\0c\r\nd", 9)), (Lines{"a", "b"}));
  EXPECT_EQ(SplitTextLines(std::string("\0abc", 4)), Lines{});
  EXPECT_EQ(JoinTextLines({}), "");
  EXPECT_EQ(JoinTextLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST_F(LogTest, InstallLogGrowsOverRuns) {
  const std::string log = scratch / "Install.log";
  WriteFileBytes(log, std::string("Made Dir: X\\\r\nFile Copy: a\nFile Copy: a\r\r\n\nlast\0junk\r\n", 50));
  StartInstallLog(log);
  EXPECT_EQ(LogName, log);
  EXPECT_EQ(LogList->Lines(), (Lines{"Made Dir: X\\", "File Copy: a", "File Copy: a", "", "", "last"}));
  LogLine("FILE COPY: A");  // already there
  LogLine("");              // so is an empty line
  LogLine("File Copy: new");
  ASSERT_TRUE(SaveInstallLog());
  EXPECT_EQ(ReadAll(log), "Made Dir: X\\\r\nFile Copy: a\r\nFile Copy: a\r\n\r\n\r\nlast\r\nFile Copy: new\r\n");

  // The next run reads back exactly what was saved.
  ResetLogs();
  StartInstallLog(log);
  EXPECT_EQ(LogList->Lines(), (Lines{"Made Dir: X\\", "File Copy: a", "File Copy: a", "", "", "last", "File Copy: new"}));
}

TEST_F(LogTest, InstallLogThatIsAFolderOrMissingStartsEmpty) {
  const std::string log = scratch / "Install.log";
  StartInstallLog(log);
  EXPECT_EQ(LogList->Count(), 0);
  CreateDirectoryA(log.c_str(), nullptr);
  LogLine("x");
  StartInstallLog(log);
  EXPECT_EQ(LogList->Count(), 0);
  EXPECT_FALSE(SaveInstallLog());  // a folder cannot be overwritten
  EXPECT_TRUE(IsDir(log));
}

TEST_F(LogTest, PortableRunSavesNothing) {
  StartInstallLog("");
  LogLine("File Copy: E:\\" NAME_SHORT "\\vlm.exe");
  EXPECT_FALSE(SaveInstallLog());
  EXPECT_EQ(LogList->Count(), 1);
}

TEST_F(LogTest, UnreadableInstallLogLeavesTheListEmpty) {
  const std::string log = scratch / "Install.log";
  WriteFileBytes(log, "old line\r\n");
  HANDLE lock = CreateFileA(log.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  StartInstallLog(log);
  EXPECT_EQ(LogList->Count(), 0);
  LogLine("new line");
  EXPECT_FALSE(SaveInstallLog());  // still locked: the old file stays
  CloseHandle(lock);
  EXPECT_EQ(ReadAll(log), "old line\r\n");
  EXPECT_TRUE(SaveInstallLog());
  EXPECT_EQ(ReadAll(log), "new line\r\n");
}

// Update.log ----------------------------------------------------------------

const std::string S1 = StampLine(StampOf(46000.25));
const std::string S2 = StampLine(StampOf(46100.75));
const std::string S3 = StampLine(StampOf(46363.5));
const std::string A = "C:\\ProgramData\\" NAME_SHORT "\\Public\\a.dat";
const std::string B = "C:\\ProgramData\\" NAME_SHORT "\\Public\\b.dat";
const std::string C = "C:\\ProgramData\\" NAME_SHORT "\\Public\\c.dat";

class UpdateLogTest : public ::testing::Test {
 protected:
  // Writes `before` (or no file), merges `list` under S3 and returns the lines after.
  Lines Merge(const Lines* before, Lines list) {
    if (before) WriteFileBytes(path(), JoinTextLines(*before));
    EXPECT_TRUE(WriteUpdateLog(list, StampOf(46363.5), scratch.path()));
    Lines after;
    EXPECT_TRUE(ReadTextLines(path(), after));
    return after;
  }
  std::string path() const { return scratch / "Update.log"; }
  ScratchFolder scratch;
};

TEST(StampTest, SixteenHexDigitsInMemoryOrder) {
  EXPECT_EQ(StampLine(StampOf(46363.5)), "*0000000070A3E640");
  EXPECT_EQ(StampLine({0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}), "*0123456789ABCDEF");
}

TEST_F(UpdateLogTest, WorkedExampleRows) {
  const Lines row1 = {S1, A, B, S2, C};
  EXPECT_EQ(Merge(&row1, {B, C}), (Lines{S1, A, S3, B, C}));
  const Lines row2 = {S1, A, S2, B};
  EXPECT_EQ(Merge(&row2, {A}), (Lines{S1, B, S3, A}));
  DeleteFileA(path().c_str());
  EXPECT_EQ(Merge(nullptr, {A}), (Lines{S3, A}));
  EXPECT_EQ(ReadAll(path()), S3 + "\r\n" + A + "\r\n");
}

TEST_F(UpdateLogTest, TrailingAndOnlyStampLinesGo) {
  const Lines endsInStamp = {S1, A, S2};
  EXPECT_EQ(Merge(&endsInStamp, {B}), (Lines{S1, A, S3, B}));
  const Lines onlyStamps = {S1, S2, S1};
  EXPECT_EQ(Merge(&onlyStamps, {A}), (Lines{S3, A}));
}

TEST_F(UpdateLogTest, EmptyLinesDisappearAndMatchingIgnoresCase) {
  const Lines before = {S1, "", A, "", "", S2, "C:\\PROGRAMDATA\\VELLUMAR\\PUBLIC\\B.DAT", ""};
  EXPECT_EQ(Merge(&before, {B}), (Lines{S1, A, S3, B}));
}

TEST_F(UpdateLogTest, KeepExistingMarkMakesADifferentLine) {
  const Lines before = {S1, A};
  EXPECT_EQ(Merge(&before, {A + "\t!"}), (Lines{S1, A, S3, A + "\t!"}));
}

TEST_F(UpdateLogTest, EntriesAreWrittenSortedAndTheListStaysSorted) {
  Lines list = {C, "c:\\programdata\\vellumar\\public\\B.dat", A};
  ASSERT_TRUE(WriteUpdateLog(list, StampOf(46363.5), scratch.path()));
  EXPECT_EQ(list, (Lines{A, "c:\\programdata\\vellumar\\public\\B.dat", C}));
  Lines after;
  ASSERT_TRUE(ReadTextLines(path(), after));
  EXPECT_EQ(after, (Lines{S3, A, "c:\\programdata\\vellumar\\public\\B.dat", C}));
  EXPECT_TRUE(SortedContains(list, "C:\\PROGRAMDATA\\VELLUMAR\\PUBLIC\\B.DAT"));
  EXPECT_FALSE(SortedContains(list, B + "\t!"));
}

TEST_F(UpdateLogTest, EmptyListLeavesTheFileAlone) {
  Lines none;
  EXPECT_TRUE(WriteUpdateLog(none, StampOf(46363.5), scratch.path()));
  EXPECT_FALSE(IsFile(path()));
  WriteFileBytes(path(), "\r\nodd\n");
  EXPECT_TRUE(WriteUpdateLog(none, StampOf(46363.5), scratch.path()));
  EXPECT_EQ(ReadAll(path()), "\r\nodd\n");
}

TEST_F(UpdateLogTest, FailsWhenTheFileCannotBeOpenedOrCreated) {
  Lines list = {A};
  EXPECT_FALSE(WriteUpdateLog(list, StampOf(46363.5), scratch / "missing folder"));

  WriteFileBytes(path(), S1 + "\r\n" + B + "\r\n");
  HANDLE lock = CreateFileA(path().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteUpdateLog(list, StampOf(46363.5), scratch.path()));
  CloseHandle(lock);
  EXPECT_EQ(ReadAll(path()), S1 + "\r\n" + B + "\r\n");
}

}  // namespace
