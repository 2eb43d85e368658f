// Whole install runs on the worker, with this thread in the wizard's part.
#include "tests/payload/RunFixture.h"

using namespace testing_payload;

namespace {
using InstallRun = RunTest;
}  // namespace

TEST_F(InstallRun, WritesEveryPlannedFileWithItsTimeAndCountsItsBytes) {
  const std::vector<TFileToInstall> files = PlanFullRun();
  ASSERT_EQ(files.size(), 23u);
  TInstallRun run(*cat, wizard);
  EXPECT_EQ(PlayWizard(run), tsFinished);
  for (const TFileToInstall& f : files) ExpectInstalled(f);
  EXPECT_EQ(entered.load(), 23) << "each file written once";
  EXPECT_EQ(run.Progress(), cat->PlannedSize());
  EXPECT_EQ(run.Component(), 3) << "the last list that has files";
  EXPECT_TRUE(instutils::LogList->Contains("File Copy: " + files.back().Target));
  EXPECT_TRUE(wizard.asked.empty());
  EXPECT_TRUE(run.TakeEnd()) << "an end of its own moves the wizard on";
  EXPECT_EQ(run.State(), tsIdle);
}

TEST_F(InstallRun, ALockedFileIsRetriedOnceReleased) {
  const std::vector<TFileToInstall> files = PlanAroundALockedFile(true);
  base::UniqueFile lock = Lock(files[1].Target);
  wizard.script = {{faRetry, nullptr}, {faRetry, [&] { lock.reset(); }}};
  TInstallRun run(*cat, wizard);
  EXPECT_EQ(PlayWizard(run), tsFinished);
  EXPECT_EQ(wizard.asked, (std::vector<std::string>{files[1].Target, files[1].Target}));
  for (const TFileToInstall& f : files) ExpectInstalled(f);
  EXPECT_EQ(run.Progress(), cat->PlannedSize());
}

TEST_F(InstallRun, IgnoreSkipsTheFileCountsItAndLogsTheNext) {
  const std::vector<TFileToInstall> files = PlanAroundALockedFile(false);
  {
    base::UniqueFile lock = Lock(files[1].Target);
    wizard.script = {{faIgnore, nullptr}};
    TInstallRun run(*cat, wizard);
    EXPECT_EQ(PlayWizard(run), tsFinished);
    EXPECT_EQ(run.Progress(), cat->PlannedSize());
  }
  EXPECT_EQ(ReadFileBytes(files[1].Target), "old");
  ExpectInstalled(files[2]);
  EXPECT_EQ(instutils::LogList->Lines(),
            (std::vector<std::string>{"File Copy: " + files[0].Target, "File Copy: " + files[2].Target}));
  EXPECT_EQ(instutils::LogSuspendCount, 0);
}

TEST_F(InstallRun, AbortFailsTheRunAndWritesNothingAfter) {
  const std::vector<TFileToInstall> files = PlanAroundALockedFile(false);
  base::UniqueFile lock = Lock(files[1].Target);
  wizard.script = {{faAbort, nullptr}};
  TInstallRun run(*cat, wizard);
  EXPECT_EQ(PlayWizard(run), tsFailed);
  EXPECT_EQ(wizard.asked.size(), 1u);
  ExpectInstalled(files[0]);
  EXPECT_FALSE(Exists(files[2].Target));
  EXPECT_EQ(run.Progress(), files[0].Source->Size);
  EXPECT_EQ(instutils::LogSuspendCount, 0) << "the unlogged file's suspension ends with the run";
  EXPECT_FALSE(run.TakeEnd());
}

// The close query pauses while the third file is in hand, and again while the
// last one is; each time the user decides to go on.
TEST_F(InstallRun, APauseHoldsTheNextFileAndResumesWithoutSkipOrRepeat) {
  const std::vector<TFileToInstall> files = PlanFullRun();
  const int n = int(files.size());
  allowed = 2;
  TInstallRun run(*cat, wizard);
  for (int inHand : {3, n}) {
    ASSERT_TRUE(WaitUntil([&] { return entered.load() == inHand; }));
    ASSERT_TRUE(run.Pause());
    held = true;
    allowed = inHand;
    ASSERT_TRUE(WaitUntil([&] { return run.Progress() == SizeOfFirst(files, size_t(inHand)); }));
    Sleep(50);
    EXPECT_EQ(run.State(), tsPaused) << "the worker kept the wizard's pause";
    held = false;
    run.Resume();
    allowed = inHand == n ? INT_MAX : n - 1;
  }
  EXPECT_EQ(PlayWizard(run), tsFinished);
  EXPECT_EQ(enteredWhilePaused.load(), 0);
  EXPECT_EQ(entered.load(), n);
  for (const TFileToInstall& f : files) ExpectInstalled(f);
  EXPECT_EQ(run.Progress(), cat->PlannedSize());
}

TEST_F(InstallRun, AStopDuringAPauseEndsAfterTheFileInHand) {
  const std::vector<TFileToInstall> files = PlanFullRun();
  allowed = 2;
  TInstallRun run(*cat, wizard);
  ASSERT_TRUE(WaitUntil([&] { return entered.load() == 3; }));
  ASSERT_TRUE(run.Pause());
  allowed = 3;  // the file in hand ends while the user thinks
  ASSERT_TRUE(WaitUntil([&] { return run.Progress() == SizeOfFirst(files, 3); }));
  run.Stop();  // the user confirmed the close
  allowed = INT_MAX;
  EXPECT_EQ(PlayWizard(run), tsFinished);
  EXPECT_FALSE(run.TakeEnd()) << "a stopped run never moves the wizard on";
  EXPECT_EQ(entered.load(), 3);
  for (size_t i = 0; i < files.size(); ++i) {
    if (i < 3) ExpectInstalled(files[i]);
    else EXPECT_FALSE(Exists(files[i].Target)) << files[i].Target;
  }
  EXPECT_EQ(run.Progress(), SizeOfFirst(files, 3));
}

// The window closes while the worker's question waits for the timer.
TEST_F(InstallRun, AStopWhileAQuestionIsPendingEndsTheRunUnanswered) {
  const std::vector<TFileToInstall> files = PlanAroundALockedFile(true);
  base::UniqueFile lock = Lock(files[1].Target);
  TInstallRun run(*cat, wizard);
  ASSERT_TRUE(WaitUntil([&] { return run.State() == tsAsking; }));
  run.Stop();
  EXPECT_EQ(PlayWizard(run), tsFinished);
  EXPECT_TRUE(wizard.asked.empty());
  lock.reset();
  EXPECT_EQ(ReadFileBytes(files[1].Target), "old");
  EXPECT_FALSE(Exists(files[2].Target));
}

TEST_F(InstallRun, AnExceptionInTheWorkerFailsTheRunWithAMessage) {
  const std::vector<TFileToInstall> files = PlanAroundALockedFile(false);
  throwAt = 2;
  TInstallRun run(*cat, wizard);
  EXPECT_EQ(PlayWizard(run), tsFailed);
  ASSERT_EQ(wizard.failures.size(), 1u) << "told before the run is marked failed";
  EXPECT_NE(wizard.failures[0].find("memory"), std::string::npos) << wizard.failures[0];
  EXPECT_FALSE(Exists(files[2].Target));
  EXPECT_EQ(instutils::LogSuspendCount, 0);
}
