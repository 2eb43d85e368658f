#include <gtest/gtest.h>

#include <cmath>
#include <deque>

#include "instutils/InstUtils.h"
#include "instutils/Logs.h"
#include "payload/AttachFiles.h"
#include "payload/TestSeams.h"
#include "tests/payload/TestCatalogue.h"
#include "tests/support/DialogDriver.h"
#include "ui/MessageDlg.h"
#include "base/Threads.h"

using namespace testing_payload;

namespace {

// Scripted answers to the extraction's question; each may run an action first.
struct Answer {
  int32_t result;
  std::function<void()> before;
};
std::deque<Answer> script;
std::vector<std::string> asked;
uint8_t askedType = 0xFF;
uint16_t askedButtons = 0;

int32_t ScriptedDialog(const std::string& message, uint8_t type, uint16_t buttons) {
  asked.push_back(message);
  askedType = type;
  askedButtons = buttons;
  if (script.empty()) return ui::mrAbort;  // an unexpected question ends the extraction
  Answer a = script.front();
  script.pop_front();
  if (a.before) a.before();
  return a.result;
}

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

class Extraction : public testing::Test {
 protected:
  void SetUp() override {
    instutils::BindSpecialFolderLookup();
    instutils::StartInstallLog("");
    cat = NewTestCatalogue();
    script.clear();
    asked.clear();
    SetMessageDlgFunction(ScriptedDialog);
  }
  void TearDown() override {
    SetMessageDlgFunction(nullptr);
    SetWriteFileFunction(nullptr);
    cat.reset();
    instutils::ResetLogs();
  }
  static std::vector<std::string> LogLines() { return instutils::LogList->Lines(); }
  bool Extract(const std::string& name, const std::string& target) {
    return cat->ExtractFile(Entry(*cat, name), "", target);
  }

  std::unique_ptr<TAttachedFiles> cat;
  ScratchFolder dir;
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
  ASSERT_TRUE(cat->ExtractFile(nullptr, "LICENSE.TXT", dir / "lic.tmp"));
  EXPECT_EQ(ReadFileBytes(dir / "lic.tmp"), "Licence terms.\r\n");
  // Not in the archive: a failure, without a question.
  EXPECT_FALSE(cat->ExtractFile(nullptr, "Missing.txt", dir / "missing.tmp"));
  EXPECT_FALSE(cat->ExtractFile(nullptr, "", dir / "empty.tmp"));
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
  EXPECT_FALSE(cat->ExtractFile(nullptr, "C:\\Drive.txt", dir / "Drive.txt"));
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
  script = {{ui::mrRetry, nullptr}, {ui::mrRetry, [&] { lock.release(); }}};
  ASSERT_TRUE(Extract("License.txt", target));
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0], CannotCreateFileMessage(target));
  EXPECT_EQ(asked[0].compare(0, 20, "Cannot create file \""), 0);
  EXPECT_EQ(askedType, ui::mtError);
  EXPECT_EQ(askedButtons, ui::kAbortRetryIgnore);
  EXPECT_EQ(ReadFileBytes(target), "Licence terms.\r\n");
  EXPECT_EQ(LogLines(), std::vector<std::string>{"File Copy: " + target});

  // Closing the dialog counts as Retry.
  Lock again(target);
  script = {{ui::mrCancel, [&] { again.release(); }}};
  EXPECT_TRUE(Extract("License.txt", target));
  EXPECT_EQ(asked.size(), 3u);
}

TEST_F(Extraction, IgnoreKeepsTheOldFileAndAbortFails) {
  const std::string target = dir / "Basic.asn";
  ASSERT_TRUE(WriteFileBytes(target, "old sound"));
  {
    Lock lock(target);
    script = {{ui::mrIgnore, nullptr}};
    EXPECT_TRUE(Extract("Basic.asn", target));
    script = {{ui::mrAbort, nullptr}};
    EXPECT_FALSE(Extract("Basic.asn", target));
  }
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_EQ(ReadFileBytes(target), "old sound");
  EXPECT_TRUE(LogLines().empty());
}

TEST_F(Extraction, AShortWriteIsAFailureAndLeavesNoTruncatedFile) {
  const std::string target = dir / "English (American).cache";
  SetWriteFileFunction(HalfWrite);
  script = {{ui::mrIgnore, nullptr}};
  EXPECT_TRUE(Extract("English (American).cache", target));
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_FALSE(Exists(target));
  EXPECT_TRUE(LogLines().empty());

  script = {{ui::mrRetry, [] { SetWriteFileFunction(nullptr); }}};
  SetWriteFileFunction(HalfWrite);
  EXPECT_TRUE(Extract("English (American).cache", target));
  EXPECT_EQ(ReadFileBytes(target), RecordNamed("English (American).cache").data);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"File Copy: " + target});
}

// The real dialog on the main thread, answered by a click.
TEST_F(Extraction, TheRealDialogComesUpWithRetryAsDefault) {
  SetMessageDlgFunction(nullptr);
  const std::string target = dir / "Templates.txt";
  ASSERT_TRUE(WriteFileBytes(target, "old"));
  Lock lock(target);
  testing_ui::DialogView seen;
  const int32_t extracted = testing_ui::RunDialog(
      [&] { return int32_t(Extract("Templates.txt", target)); },
      [&](HWND dlg) {
        seen = testing_ui::Inspect(dlg);
        for (const auto& b : seen.buttons) {
          if (b.caption != "&Ignore") continue;
          testing_ui::Click(b);
          // A missed click would leave the extraction retrying for ever.
          if (!testing_ui::WaitUntilGone(dlg, 3000)) PostMessageA(b.wnd, BM_CLICK, 0, 0);
        }
      });
  EXPECT_EQ(extracted, 1);
  EXPECT_EQ(seen.caption, "Error");
  EXPECT_TRUE(seen.hasIcon);
  EXPECT_EQ(seen.text.compare(0, 20 + target.size(), "Cannot create file \"" + target), 0) << seen.text;
  ASSERT_EQ(seen.buttons.size(), 3u);
  EXPECT_EQ(seen.buttons[0].caption, "&Abort");
  EXPECT_EQ(seen.buttons[1].caption, "&Retry");
  EXPECT_EQ(seen.buttons[2].caption, "&Ignore");
  EXPECT_EQ(seen.defId, ui::mrRetry);
  lock.release();
  EXPECT_EQ(ReadFileBytes(target), "old");
}

// On a worker, the question goes through the status record; this thread
// plays the wizard's timer.
TEST_F(Extraction, OnTheWorkerTheQuestionGoesThroughTheStatusRecord) {
  const std::string target = dir / "License.txt";
  ASSERT_TRUE(WriteFileBytes(target, "old"));
  Lock lock(target);
  InstallStatus.State = tsRunning;
  bool result = false;
  base::Thread worker([&] { result = Extract("License.txt", target); });

  const DWORD start = GetTickCount();
  while (InstallStatus.State.load() != tsAsking && GetTickCount() - start < 5000) Sleep(5);
  ASSERT_EQ(InstallStatus.State.load(), tsAsking);
  InstallStatus.State = tsPaused;
  EXPECT_EQ(InstallStatus.Message, CannotCreateFileMessage(target));
  EXPECT_EQ(InstallStatus.DlgType, ui::mtError);
  EXPECT_EQ(InstallStatus.Buttons, ui::kAbortRetryIgnore);
  lock.release();
  InstallStatus.Answer = ui::mrRetry;
  InstallStatus.State = tsAnswered;
  worker.Join();
  EXPECT_TRUE(result);
  EXPECT_EQ(InstallStatus.State.load(), tsRunning);
  EXPECT_EQ(ReadFileBytes(target), "Licence terms.\r\n");
  EXPECT_TRUE(asked.empty()) << "the worker never shows a dialog itself";
  InstallStatus.State = tsIdle;
}

// A stop request pending when the extraction fails: no question, no file.
TEST_F(Extraction, FailureDuringAStopRequestWritesNothingAndAsksNothing) {
  const std::string target = dir / "License.txt";
  ASSERT_TRUE(WriteFileBytes(target, "old"));
  Lock lock(target);
  InstallStatus.State = tsFinished;
  bool result = false;
  base::Thread worker([&] { result = Extract("License.txt", target); });
  worker.Join();
  EXPECT_TRUE(result) << "skipped; the worker then ends at the stop request";
  EXPECT_EQ(InstallStatus.State.load(), tsFinished);
  lock.release();
  EXPECT_EQ(ReadFileBytes(target), "old");
  InstallStatus.State = tsIdle;
}
