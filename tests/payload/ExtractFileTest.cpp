#include <gtest/gtest.h>

#include <cmath>
#include <deque>

#include "instutils/InstUtils.h"
#include "instutils/Logs.h"
#include "payload/AttachFiles.h"
#include "payload/TestSeams.h"
#include "tests/payload/CatalogueFixture.h"
#include "tests/payload/TestCatalogue.h"

using namespace testing_payload;

namespace {

// Holds a file open without sharing, like another program would.
class Lock {
 public:
  explicit Lock(const std::string& path)
      : h_(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr)) {}
  bool held() const { return h_ != INVALID_HANDLE_VALUE; }
  void release() {
    if (held()) CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }
  ~Lock() { release(); }

 private:
  HANDLE h_;
};

class Extraction : public CatalogueTest {
 protected:
  static std::vector<std::string> LogLines() { return instutils::LogList->Lines(); }
  bool Extract(const std::string& name, const std::string& target) {
    return cat->ExtractFile(Entry(*cat, name), "", target, wizard);
  }

  ScratchFolder dir;
  ScriptedAsker wizard;
  std::deque<ScriptedAsker::Answer>& script = wizard.script;
  std::vector<std::string>& asked = wizard.asked;
};

bool IsTime(const SYSTEMTIME& t, int y, int mo, int d, int h, int mi, int s) {
  return t.wYear == y && t.wMonth == mo && t.wDay == d && t.wHour == h && t.wMinute == mi && t.wSecond == s;
}

// Writes half of what is asked and reports that, like a full disk.
BOOL WINAPI HalfWrite(HANDLE f, LPCVOID data, DWORD n, LPDWORD written, LPOVERLAPPED o) {
  return WriteFile(f, data, n / 2, written, o);
}

}  // namespace

TEST_F(Extraction, WritesTheBytesAndTheStoredTimeAndLogsFoldersAndFile) {
  const std::string target = dir / "Program\\Bin\\vlm.exe";
  ASSERT_TRUE(Extract("vlm.exe", target));
  EXPECT_EQ(ReadFileBytes(target), RecordNamed("vlm.exe").data);
  EXPECT_TRUE(IsTime(LocalWriteTime(target), 2019, 8, 24, 20, 31, 14));
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"Made Dir: " + dir / "Program\\", "Made Dir: " + dir / "Program\\Bin\\",
                                                  "File Copy: " + target}));
  // Again into the same place: the file is replaced, nothing is logged twice.
  ASSERT_TRUE(WriteFileBytes(target, "stale and longer than nothing"));
  ASSERT_TRUE(Extract("vlm.exe", target));
  EXPECT_EQ(ReadFileBytes(target).size(), size_t(kVlmSize));
  EXPECT_EQ(LogLines().size(), 3u);
  EXPECT_TRUE(asked.empty());
}

// The folder is made once for consecutive files, yet a folder that went away
// in between (another program, a user) is made again without a question.
TEST_F(Extraction, AFolderRemovedBetweenTwoFilesIsMadeAgain) {
  const std::string folder = dir / "Program\\";
  ASSERT_TRUE(Extract("vlm.exe", folder + "vlm.exe"));
  instutils::DeleteTree(folder);
  RemoveDirectoryA(folder.c_str());
  ASSERT_EQ(GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(Extract("vlm.exe", folder + "again.exe"));
  EXPECT_EQ(ReadFileBytes(folder + "again.exe"), RecordNamed("vlm.exe").data);
  EXPECT_TRUE(asked.empty());
}

TEST_F(Extraction, ZeroSizeRecordGivesAnEmptyFileWithTheStoredTime) {
  const std::string target = dir / "userdicen.tlx";
  ASSERT_TRUE(WriteFileBytes(target, "previous content"));
  ASSERT_TRUE(Extract("userdicen.tlx", target));
  EXPECT_TRUE(Exists(target));
  EXPECT_EQ(ReadFileBytes(target), "");
  EXPECT_TRUE(IsTime(LocalWriteTime(target), 2000, 3, 11, 10, 0, 0));
}

TEST_F(Extraction, AStampOutsideTheDosRangeKeepsTheTimeOfWriting) {
  const std::string target = dir / "Old.txt";
  ASSERT_TRUE(Extract("Old.txt", target));
  EXPECT_EQ(ReadFileBytes(target), "before the DOS epoch");
  const double age = instutils::NowAsDateTime() - instutils::LastWriteTimeOf(target);
  EXPECT_LT(std::fabs(age), 60.0 / 86400) << "written just now";
}

TEST_F(Extraction, ByNameWithoutEntry) {
  ASSERT_TRUE(cat->ExtractFile(nullptr, "LICENSE.TXT", dir / "lic.tmp", wizard));
  EXPECT_EQ(ReadFileBytes(dir / "lic.tmp"), "Licence terms.\r\n");
  // Not in the archive: a failure, without a question.
  EXPECT_FALSE(cat->ExtractFile(nullptr, "Missing.txt", dir / "missing.tmp", wizard));
  EXPECT_FALSE(cat->ExtractFile(nullptr, "", dir / "empty.tmp", wizard));
  EXPECT_FALSE(Exists(dir / "missing.tmp"));
  EXPECT_TRUE(asked.empty());
}

TEST_F(Extraction, SuspendedLoggingRecordsNothing) {
  instutils::SuspendLogging();
  ASSERT_TRUE(Extract("Basic.asn", dir / "Sounds\\Basic.asn"));
  instutils::ResumeLogging();
  EXPECT_TRUE(Exists(dir / "Sounds\\Basic.asn"));
  EXPECT_TRUE(LogLines().empty());
}

TEST_F(Extraction, ANameLeavingTheFolderIsNeverWritten) {
  EXPECT_FALSE(Extract("..\\Up.txt", dir / "Up.txt"));
  EXPECT_FALSE(cat->ExtractFile(nullptr, "C:\\Drive.txt", dir / "Drive.txt", wizard));
  EXPECT_FALSE(Exists(dir / "Up.txt"));
  EXPECT_FALSE(Exists(dir / "Drive.txt"));
  EXPECT_TRUE(asked.empty());
}

TEST_F(Extraction, LockedTargetAsksAbortRetryIgnore) {
  const std::string target = dir / "License.txt";
  ASSERT_TRUE(WriteFileBytes(target, "old licence"));
  Lock lock(target);
  ASSERT_TRUE(lock.held());

  // Retry while still locked asks again; Retry after the release succeeds.
  script = {{faRetry, nullptr}, {faRetry, [&] { lock.release(); }}};
  ASSERT_TRUE(Extract("License.txt", target));
  EXPECT_EQ(asked, (std::vector<std::string>{target, target}));
  EXPECT_EQ(ReadFileBytes(target), "Licence terms.\r\n");
  EXPECT_EQ(LogLines(), std::vector<std::string>{"File Copy: " + target});
  EXPECT_EQ(CannotCreateFileMessage(target).compare(0, 21 + target.size(), "Cannot create file \"" + target + "\""), 0);

  // Nobody to answer (a stop): the file is skipped, as the run then ends.
  Lock again(target);
  script = {{faNone, nullptr}};
  EXPECT_TRUE(Extract("License.txt", target));
  EXPECT_EQ(asked.size(), 3u);
}

TEST_F(Extraction, IgnoreKeepsTheOldFileAndAbortFails) {
  const std::string target = dir / "Basic.asn";
  ASSERT_TRUE(WriteFileBytes(target, "old sound"));
  {
    Lock lock(target);
    script = {{faIgnore, nullptr}};
    EXPECT_TRUE(Extract("Basic.asn", target));
    script = {{faAbort, nullptr}};
    EXPECT_FALSE(Extract("Basic.asn", target));
  }
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_EQ(ReadFileBytes(target), "old sound");
  EXPECT_TRUE(LogLines().empty());
}

TEST_F(Extraction, AShortWriteIsAFailureAndLeavesNoTruncatedFile) {
  const std::string target = dir / "English (American).cache";
  SetWriteFileFunction(HalfWrite);
  script = {{faIgnore, nullptr}};
  EXPECT_TRUE(Extract("English (American).cache", target));
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_FALSE(Exists(target));
  EXPECT_TRUE(LogLines().empty());

  script = {{faRetry, [] { SetWriteFileFunction(nullptr); }}};
  SetWriteFileFunction(HalfWrite);
  EXPECT_TRUE(Extract("English (American).cache", target));
  EXPECT_EQ(ReadFileBytes(target), RecordNamed("English (American).cache").data);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"File Copy: " + target});
}
