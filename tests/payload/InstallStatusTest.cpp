#include <gtest/gtest.h>

#include <vector>

#include "payload/InstallStatus.h"
#include "payload/TestSeams.h"
#include "tests/support/DialogDriver.h"
#include "ui/MessageDlg.h"
#include "base/Threads.h"

namespace {

bool WaitForState(uint8_t s, DWORD timeoutMs = 5000) {
  const DWORD start = GetTickCount();
  while (InstallStatus.State.load() != s) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(2);
  }
  return true;
}

struct StatusTest : testing::Test {
  // Each test leaves the shared record as the program starts with it.
  void TearDown() override {
    InstallStatus.State = tsIdle;
    InstallStatus.Component = 255;
    InstallStatus.Progress = 0;
    InstallStatus.Message.clear();
    InstallStatus.DlgType = 0;
    InstallStatus.Buttons = 0;
    InstallStatus.Answer = 0;
    SetMessageDlgFunction(nullptr);
  }
};

int32_t AnswerNo(const std::string&, uint8_t, uint16_t) { return ui::mrNo; }

}  // namespace

// The record as the program starts with it (the other tests restore it).
TEST_F(StatusTest, InitialValues) {
  EXPECT_EQ(InstallStatus.State.load(), tsIdle);
  EXPECT_EQ(InstallStatus.Component.load(), 255);
  EXPECT_EQ(InstallStatus.Progress.load(), 0);
  EXPECT_TRUE(InstallStatus.Message.empty());
  EXPECT_EQ(InstallStatus.DlgType, 0);
  EXPECT_EQ(InstallStatus.Buttons, 0);
  EXPECT_EQ(InstallStatus.Answer, 0);
  EXPECT_TRUE(IsMainThread());
  bool other = true;
  base::Thread([&] { other = IsMainThread(); }).Join();
  EXPECT_FALSE(other);
}

TEST_F(StatusTest, OnTheMainThreadTheDialogIsShownDirectly) {
  InstallStatus.State = tsRunning;
  SetMessageDlgFunction(AnswerNo);
  EXPECT_EQ(SafeMessageDlg("Sure?", ui::mtConfirmation, ui::ButtonBit(ui::mbYes) | ui::ButtonBit(ui::mbNo)), ui::mrNo);
  EXPECT_EQ(InstallStatus.State.load(), tsRunning) << "the record is not used";
  SetMessageDlgFunction(nullptr);

  std::string caption;
  const int32_t r = testing_ui::RunDialog(
      [] { return SafeMessageDlg("Really?", ui::mtWarning, ui::ButtonBit(ui::mbNo) | ui::ButtonBit(ui::mbAbort)); },
      [&](HWND dlg) {
        testing_ui::DialogView v = testing_ui::Inspect(dlg);
        caption = v.caption;
        if (v.buttons.size() == 2) testing_ui::Click(v.buttons[1]);
      });
  EXPECT_EQ(r, ui::mrAbort);
  EXPECT_EQ(caption, "Warning");
}

// The worker's side, with this thread in the wizard's part.
TEST_F(StatusTest, WorkerAsksAndWaitsForTheAnswer) {
  InstallStatus.State = tsRunning;
  int32_t result = -1;
  base::Thread worker([&] { result = SafeMessageDlg("Locked", ui::mtError, ui::kAbortRetryIgnore); });

  ASSERT_TRUE(WaitForState(tsAsking));
  InstallStatus.State = tsPaused;  // the timer picks the question up
  EXPECT_EQ(InstallStatus.Message, "Locked");
  EXPECT_EQ(InstallStatus.DlgType, ui::mtError);
  EXPECT_EQ(InstallStatus.Buttons, ui::kAbortRetryIgnore);
  Sleep(100);
  EXPECT_EQ(result, -1) << "the worker waits while the dialog is up";
  InstallStatus.Answer = ui::mrIgnore;
  InstallStatus.State = tsAnswered;
  worker.Join();
  EXPECT_EQ(result, ui::mrIgnore);
  EXPECT_EQ(InstallStatus.State.load(), tsRunning);
}

TEST_F(StatusTest, APauseHoldsTheQuestionBack) {
  InstallStatus.State = tsPaused;  // the close query is asking the user
  int32_t result = -1;
  base::Thread worker([&] { result = SafeMessageDlg("Locked", ui::mtError, ui::kAbortRetryIgnore); });
  Sleep(300);
  EXPECT_EQ(InstallStatus.State.load(), tsPaused) << "no question while paused";
  EXPECT_EQ(result, -1);
  InstallStatus.State = tsRunning;  // the close was not confirmed
  ASSERT_TRUE(WaitForState(tsAsking));
  // The wizard is slow to pick it up.
  Sleep(250);
  EXPECT_EQ(InstallStatus.State.load(), tsAsking);
  InstallStatus.State = tsPaused;
  InstallStatus.Answer = ui::mrRetry;
  InstallStatus.State = tsAnswered;
  worker.Join();
  EXPECT_EQ(result, ui::mrRetry);
  EXPECT_EQ(InstallStatus.State.load(), tsRunning);
}

TEST_F(StatusTest, AStopRequestLeavesTheQuestionUnasked) {
  InstallStatus.State = tsFinished;
  int32_t result = -1;
  base::Thread([&] { result = SafeMessageDlg("Locked", ui::mtError, ui::kAbortRetryIgnore); }).Join();
  EXPECT_EQ(result, ui::mrNone);
  EXPECT_EQ(InstallStatus.State.load(), tsFinished);

  // A stop that arrives while the question waits releases the worker too.
  InstallStatus.State = tsRunning;
  base::Thread worker([&] { result = SafeMessageDlg("Locked", ui::mtError, ui::kAbortRetryIgnore); });
  ASSERT_TRUE(WaitForState(tsAsking));
  InstallStatus.State = tsFinished;
  worker.Join();
  EXPECT_EQ(result, ui::mrNone);
  EXPECT_EQ(InstallStatus.State.load(), tsFinished);
}
