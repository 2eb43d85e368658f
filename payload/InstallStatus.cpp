#include "payload/InstallStatus.h"

#include <windows.h>

#include "payload/TestSeams.h"
#include "ui/MessageDlg.h"

TInstallThreadStatus InstallStatus;

namespace {

// Static initialisation runs on the thread that starts the program.
const DWORD kMainThreadId = GetCurrentThreadId();

constexpr DWORD kPollMs = 10;

std::atomic<MessageDlgFunction> dlgFunction{nullptr};

int32_t ShowDialog(const std::string& message, uint8_t dlgType, uint16_t buttons) {
  if (MessageDlgFunction fn = dlgFunction.load()) return fn(message, dlgType, buttons);
  return ui::MessageDlg(message, dlgType, buttons);
}

// Worker side: ask, then wait for the wizard's answer.
int32_t AskWizard(const std::string& message, uint8_t dlgType, uint16_t buttons) {
  InstallStatus.Message = message;
  InstallStatus.DlgType = dlgType;
  InstallStatus.Buttons = buttons;
  for (;;) {
    uint8_t expected = tsRunning;
    if (InstallStatus.State.compare_exchange_strong(expected, tsAsking, std::memory_order_acq_rel)) break;
    // A pause holds the question back; anything else (a stop request) means
    // nobody will answer it.
    if (expected != tsPaused) return ui::mrNone;
    Sleep(kPollMs);
  }
  for (;;) {
    const uint8_t s = InstallStatus.State.load(std::memory_order_acquire);
    if (s == tsAnswered) break;
    if (s == tsFinished) return ui::mrNone;  // stopped before the question was answered
    Sleep(kPollMs);
  }
  const int32_t answer = InstallStatus.Answer;
  // A stop request may have replaced the answer's state meanwhile: keep it.
  uint8_t answered = tsAnswered;
  if (!InstallStatus.State.compare_exchange_strong(answered, tsRunning, std::memory_order_acq_rel)) return ui::mrNone;
  return answer;
}

}  // namespace

bool IsMainThread() { return GetCurrentThreadId() == kMainThreadId; }

void SetMessageDlgFunction(MessageDlgFunction fn) { dlgFunction.store(fn); }

int32_t SafeMessageDlg(const std::string& message, uint8_t dlgType, uint16_t buttons) {
  if (IsMainThread()) return ShowDialog(message, dlgType, buttons);
  return AskWizard(message, dlgType, buttons);
}
