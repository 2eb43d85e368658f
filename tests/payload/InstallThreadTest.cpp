// The install run on its worker, with this thread in the wizard's part.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <deque>
#include <functional>
#include <new>

#include "base/WinHandles.h"
#include "instutils/InstUtils.h"
#include "instutils/Logs.h"
#include "payload/AttachFiles.h"
#include "payload/InstallThread.h"
#include "payload/TestSeams.h"
#include "tests/payload/TestCatalogue.h"
#include "ui/MessageDlg.h"

using namespace testing_payload;

namespace {

template <typename Done>
bool WaitUntil(Done done, DWORD timeoutMs = 15000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(1);
  }
  return true;
}

struct Question {
  std::string message;
  uint8_t type;
  uint16_t buttons;
};
std::deque<std::pair<int32_t, std::function<void()>>> script;  // answers, each with an action first
std::vector<Question> asked;

int32_t ScriptedDialog(const std::string& message, uint8_t type, uint16_t buttons) {
  asked.push_back({message, type, buttons});
  if (script.empty()) return ui::mrAbort;  // an unexpected question ends the run
  auto answer = script.front();
  script.pop_front();
  if (answer.second) answer.second();
  return answer.first;
}

// Every extraction's write passes here: counted, held while its number is
// past `allowed` (the file in hand stays in hand), or made to throw.
std::atomic<int> entered{0}, allowed{INT_MAX}, throwAt{0}, enteredWhilePaused{0};

BOOL WINAPI CountedWrite(HANDLE f, LPCVOID data, DWORD n, LPDWORD written, LPOVERLAPPED o) {
  const int call = ++entered;
  if (InstallStatus.State.load() == tsPaused) ++enteredWhilePaused;
  if (call == throwAt) throw std::bad_alloc();
  WaitUntil([&] { return call <= allowed.load(); });
  return WriteFile(f, data, n, written, o);
}

// Holds a file open without sharing, like another program would.
base::UniqueFile Lock(const std::string& path) {
  return base::UniqueFile(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
}

// The wizard's timer until the run ends: takes each question, has it
// answered through SafeMessageDlg (scripted) and publishes the answer.
uint8_t PlayWizard(TInstallThread& worker) {
  const bool ended = WaitUntil([&] {
    uint8_t s = tsAsking;
    if (InstallStatus.State.compare_exchange_strong(s, tsPaused)) {
      InstallStatus.Answer = SafeMessageDlg(InstallStatus.Message, InstallStatus.DlgType, InstallStatus.Buttons);
      InstallStatus.State = tsAnswered;
    }
    return worker.Ended();
  });
  EXPECT_TRUE(ended) << "the run hangs";
  if (!ended) InstallStatus.State = tsFinished;
  worker.WaitFor();
  return InstallStatus.State.load();
}

bool Change(uint8_t from, uint8_t to) { return InstallStatus.State.compare_exchange_strong(from, to); }

void ExpectInstalled(const TFileToInstall& f) {
  EXPECT_EQ(ReadFileBytes(f.Target), RecordNamed(f.Source->Name).data) << f.Target;
  EXPECT_LT(std::fabs(instutils::LastWriteTimeOf(f.Target) - f.Source->TimeStamp), 2.5 / 86400) << f.Target;
}

class InstallRun : public testing::Test {
 protected:
  void SetUp() override {
    instutils::BindSpecialFolderLookup();
    instutils::StartInstallLog("");
    cat = NewTestCatalogue();
    AttachedFiles = cat.get();
    InstallStatus.Component = 255;
    InstallStatus.Progress = 0;
    InstallStatus.State = tsRunning;
    script.clear();
    asked.clear();
    entered = 0, allowed = INT_MAX, throwAt = 0, enteredWhilePaused = 0;
    SetMessageDlgFunction(ScriptedDialog);
    SetWriteFileFunction(CountedWrite);
  }
  void TearDown() override {
    SetWriteFileFunction(nullptr);
    SetMessageDlgFunction(nullptr);
    InstallStatus.State = tsIdle;
    AttachedFiles = nullptr;
    cat.reset();
    instutils::ResetLogs();
  }

  void Plan(const std::string& name, uint8_t component, bool logged = true) {
    if (!logged) instutils::SuspendLogging();
    EXPECT_TRUE(cat->AddFiles(name, dir.path(), component, rrAlways)) << name;
    if (!logged) instutils::ResumeLogging();
  }
  // Lists 0, 1 and 3 (23 files); 2, 4 and 5 stay empty.
  std::vector<TFileToInstall> PlanFullRun() {
    Plan("vlm.exe", 0), Plan("License.txt", 0);
    Plan("English (American).cache", 1), Plan("userdicen.tlx", 1);
    Plan("Templates\\", 3);
    return Planned();
  }
  // Three files; the second, already on disk, is the one to lock.
  std::vector<TFileToInstall> PlanAroundALockedFile(bool logged) {
    Plan("vlm.exe", 0), Plan("Basic.asn", 0, logged), Plan("License.txt", 0);
    EXPECT_TRUE(WriteFileBytes(dir / "Basic.asn", "old"));
    return Planned();
  }
  std::vector<TFileToInstall> Planned() const {
    std::vector<TFileToInstall> all;
    for (const TFileToInstallList& plan : cat->Plans) all.insert(all.end(), plan.begin(), plan.end());
    return all;
  }
  static int32_t SizeOfFirst(const std::vector<TFileToInstall>& files, size_t n) {
    int32_t sum = 0;
    for (size_t i = 0; i < n; ++i) sum += files[i].Source->Size;
    return sum;
  }

  std::unique_ptr<TAttachedFiles> cat;
  ScratchFolder dir;
};

}  // namespace

TEST_F(InstallRun, WritesEveryPlannedFileWithItsTimeAndCountsItsBytes) {
  const std::vector<TFileToInstall> files = PlanFullRun();
  ASSERT_EQ(files.size(), 23u);
  TInstallThread worker;
  EXPECT_EQ(PlayWizard(worker), tsFinished);
  for (const TFileToInstall& f : files) ExpectInstalled(f);
  EXPECT_EQ(entered.load(), 23) << "each file written once";
  EXPECT_EQ(InstallStatus.Progress.load(), cat->PlannedSize());
  EXPECT_EQ(InstallStatus.Component.load(), 3) << "the last list that has files";
  EXPECT_TRUE(instutils::LogList->Contains("File Copy: " + files.back().Target));
  EXPECT_TRUE(asked.empty());
}

TEST_F(InstallRun, ALockedFileIsRetriedOnceReleased) {
  const std::vector<TFileToInstall> files = PlanAroundALockedFile(true);
  base::UniqueFile lock = Lock(files[1].Target);
  script = {{ui::mrRetry, nullptr}, {ui::mrRetry, [&] { lock.reset(); }}};
  TInstallThread worker;
  EXPECT_EQ(PlayWizard(worker), tsFinished);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].message, CannotCreateFileMessage(files[1].Target));
  EXPECT_EQ(asked[0].type, ui::mtError);
  EXPECT_EQ(asked[0].buttons, ui::kAbortRetryIgnore);
  for (const TFileToInstall& f : files) ExpectInstalled(f);
  EXPECT_EQ(InstallStatus.Progress.load(), cat->PlannedSize());
}

TEST_F(InstallRun, IgnoreSkipsTheFileCountsItAndLogsTheNext) {
  const std::vector<TFileToInstall> files = PlanAroundALockedFile(false);
  {
    base::UniqueFile lock = Lock(files[1].Target);
    script = {{ui::mrIgnore, nullptr}};
    TInstallThread worker;
    EXPECT_EQ(PlayWizard(worker), tsFinished);
  }
  EXPECT_EQ(ReadFileBytes(files[1].Target), "old");
  ExpectInstalled(files[2]);
  EXPECT_EQ(InstallStatus.Progress.load(), cat->PlannedSize());
  EXPECT_EQ(instutils::LogList->Lines(),
            (std::vector<std::string>{"File Copy: " + files[0].Target, "File Copy: " + files[2].Target}));
  EXPECT_EQ(instutils::LogSuspendCount, 0);
}

TEST_F(InstallRun, AbortFailsTheRunAndWritesNothingAfter) {
  const std::vector<TFileToInstall> files = PlanAroundALockedFile(false);
  base::UniqueFile lock = Lock(files[1].Target);
  script = {{ui::mrAbort, nullptr}};
  TInstallThread worker;
  EXPECT_EQ(PlayWizard(worker), tsFailed);
  EXPECT_EQ(asked.size(), 1u);
  ExpectInstalled(files[0]);
  EXPECT_FALSE(Exists(files[2].Target));
  EXPECT_EQ(InstallStatus.Progress.load(), files[0].Source->Size);
  EXPECT_EQ(instutils::LogSuspendCount, 0) << "the unlogged file's suspension ends with the run";
}

// The close query pauses while the third file is in hand, and again while the
// last one is; each time the user decides to go on.
TEST_F(InstallRun, APauseHoldsTheNextFileAndResumesWithoutSkipOrRepeat) {
  const std::vector<TFileToInstall> files = PlanFullRun();
  const int n = int(files.size());
  allowed = 2;
  TInstallThread worker;
  for (int inHand : {3, n}) {
    ASSERT_TRUE(WaitUntil([&] { return entered.load() == inHand; }));
    ASSERT_TRUE(Change(tsRunning, tsPaused));
    allowed = inHand;
    ASSERT_TRUE(WaitUntil([&] { return InstallStatus.Progress.load() == SizeOfFirst(files, size_t(inHand)); }));
    EXPECT_TRUE(Change(tsPaused, tsRunning)) << "the worker kept the wizard's pause";
    allowed = inHand == n ? INT_MAX : n - 1;
  }
  EXPECT_EQ(PlayWizard(worker), tsFinished);
  EXPECT_EQ(enteredWhilePaused.load(), 0);
  EXPECT_EQ(entered.load(), n);
  for (const TFileToInstall& f : files) ExpectInstalled(f);
  EXPECT_EQ(InstallStatus.Progress.load(), cat->PlannedSize());
}

TEST_F(InstallRun, AStopDuringAPauseEndsAfterTheFileInHand) {
  const std::vector<TFileToInstall> files = PlanFullRun();
  allowed = 2;
  TInstallThread worker;
  ASSERT_TRUE(WaitUntil([&] { return entered.load() == 3; }));
  ASSERT_TRUE(Change(tsRunning, tsPaused));
  allowed = 3;  // the file in hand ends while the user thinks
  ASSERT_TRUE(WaitUntil([&] { return InstallStatus.Progress.load() == SizeOfFirst(files, 3); }));
  ASSERT_TRUE(Change(tsPaused, tsFinished));  // the user confirmed the close
  allowed = INT_MAX;
  EXPECT_EQ(PlayWizard(worker), tsFinished);
  EXPECT_EQ(entered.load(), 3);
  for (size_t i = 0; i < files.size(); ++i) {
    if (i < 3) ExpectInstalled(files[i]);
    else EXPECT_FALSE(Exists(files[i].Target)) << files[i].Target;
  }
  EXPECT_EQ(InstallStatus.Progress.load(), SizeOfFirst(files, 3));
}

TEST_F(InstallRun, AStopWhileAQuestionIsPendingEndsTheRunUnanswered) {
  const std::vector<TFileToInstall> files = PlanAroundALockedFile(true);
  base::UniqueFile lock = Lock(files[1].Target);
  TInstallThread worker;
  ASSERT_TRUE(WaitUntil([] { return InstallStatus.State.load() == tsAsking; }));
  ASSERT_TRUE(Change(tsAsking, tsPaused));    // the timer takes the question...
  ASSERT_TRUE(Change(tsPaused, tsFinished));  // ...and the window closes before an answer
  EXPECT_EQ(PlayWizard(worker), tsFinished);
  EXPECT_TRUE(asked.empty());
  lock.reset();
  EXPECT_EQ(ReadFileBytes(files[1].Target), "old");
  EXPECT_FALSE(Exists(files[2].Target));
}

TEST_F(InstallRun, AnExceptionInTheWorkerFailsTheRunWithAMessage) {
  const std::vector<TFileToInstall> files = PlanAroundALockedFile(false);
  throwAt = 2;
  script = {{ui::mrOk, nullptr}};
  TInstallThread worker;
  EXPECT_EQ(PlayWizard(worker), tsFailed);
  ASSERT_EQ(asked.size(), 1u) << "told before the run is marked failed";
  EXPECT_EQ(asked[0].type, ui::mtError);
  EXPECT_EQ(asked[0].buttons, ui::ButtonBit(ui::mbOK));
  EXPECT_NE(asked[0].message.find("memory"), std::string::npos) << asked[0].message;
  EXPECT_FALSE(Exists(files[2].Target));
  EXPECT_EQ(instutils::LogSuspendCount, 0);
}
