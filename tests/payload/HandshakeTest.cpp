// The worker's question against the close query's pause and stop, with this
// thread in the wizard's part.
#include "tests/payload/RunFixture.h"

using namespace testing_payload;

namespace {

class Handshake : public RunTest {
 protected:
  // The second of three files fails while the close query holds the run
  // paused; the user then answers the close question No or Abort.
  void FailUnderTheCloseQuestion(bool closed) {
    const std::vector<TFileToInstall> files = PlanAroundALockedFile(true);
    allowed = 1, failAt = 2;
    wizard.script = {{faRetry, nullptr}};
    TInstallRun run(*cat, wizard);
    ASSERT_TRUE(WaitUntil([&] { return entered.load() == 2; }));
    ASSERT_TRUE(run.Pause());
    allowed = INT_MAX;  // the write in hand fails now
    Sleep(200);
    run.Poll();
    EXPECT_TRUE(wizard.asked.empty()) << "asked under the close question";
    EXPECT_EQ(run.State(), tsPaused);
    closed ? run.Stop() : run.Resume();
    EXPECT_EQ(PlayWizard(run), tsFinished);
    EXPECT_EQ(wizard.asked.size(), closed ? 0u : 1u);
    EXPECT_EQ(Exists(files[1].Target), !closed) << "a failed write leaves nothing; its Retry writes it";
    EXPECT_EQ(Exists(files[2].Target), !closed);
  }

  // A close comes in while the worker's question about a locked file is
  // open; the file is released meanwhile and the answer is Retry.
  void CloseDuringTheQuestion(bool closed) {
    const std::vector<TFileToInstall> files = PlanAroundALockedFile(true);
    base::UniqueFile lock = Lock(files[1].Target);
    TInstallRun* running = nullptr;
    wizard.script = {{faRetry, [&] {
                        lock.reset();
                        EXPECT_FALSE(running->Pause()) << "the question's pause is not the close query's to end";
                        if (closed) running->Stop();
                      }}};
    TInstallRun run(*cat, wizard);
    running = &run;
    EXPECT_EQ(PlayWizard(run), tsFinished);
    EXPECT_EQ(run.TakeEnd(), !closed);
    EXPECT_EQ(wizard.asked.size(), 1u);
    EXPECT_EQ(ReadFileBytes(files[1].Target), closed ? "old" : RecordNamed("Basic.asn").data);
    EXPECT_EQ(Exists(files[2].Target), !closed);
  }
};

}  // namespace

TEST_F(Handshake, AFileThatFailsUnderTheCloseQuestionIsAskedAboutAfterNo) { FailUnderTheCloseQuestion(false); }

TEST_F(Handshake, AFileThatFailsUnderTheCloseQuestionIsSkippedUnaskedAfterAbort) { FailUnderTheCloseQuestion(true); }

TEST_F(Handshake, TheAnswerReachesTheWorkerAfterACloseAnsweredNo) { CloseDuringTheQuestion(false); }

TEST_F(Handshake, TheAnswerIsDroppedAfterACloseConfirmedDuringTheQuestion) { CloseDuringTheQuestion(true); }
