#include "payload/InstallThread.h"

#include <windows.h>

#include <exception>
#include <new>
#include <string>
#include <system_error>

#include "instutils/Logs.h"
#include "payload/AttachFiles.h"
#include "payload/TestSeams.h"
#include "ui/MessageDlg.h"

namespace {

// Pauses last as long as a dialog is up; a short poll keeps the wait idle and
// well inside the wizard's 100 ms tick.
constexpr DWORD kPollMs = 10;

std::atomic<FileDoneFunction> fileDone{nullptr};

// A file planned unlogged suspends the log for its own extraction only,
// however that extraction ends.
class LoggingSuspendedFor {
 public:
  explicit LoggingSuspendedFor(bool suspend) : on_(suspend) {
    if (on_) instutils::SuspendLogging();
  }
  ~LoggingSuspendedFor() {
    if (on_) instutils::ResumeLogging();
  }
  LoggingSuspendedFor(const LoggingSuspendedFor&) = delete;
  LoggingSuspendedFor& operator=(const LoggingSuspendedFor&) = delete;

 private:
  bool on_;
};

// The state that ended the wizard's pause (or the current one).
uint8_t WaitWhilePaused() {
  uint8_t s;
  while ((s = InstallStatus.State.load(std::memory_order_acquire)) == tsPaused) Sleep(kPollMs);
  return s;
}

// The worker's last word, given only from tsRunning: a pause is waited out,
// and a stop request (or any other change of the wizard's) is left standing.
void EndRun(uint8_t outcome) {
  for (;;) {
    uint8_t expected = tsRunning;
    if (InstallStatus.State.compare_exchange_strong(expected, outcome, std::memory_order_acq_rel)) return;
    if (expected != tsPaused) return;
    Sleep(kPollMs);
  }
}

// False when the user chose Abort. A stop request ends it after the file in hand.
bool ExtractPlans() {
  if (!AttachedFiles) return true;
  for (int i = 0; i < kPlanCount; ++i) {
    const TFileToInstallList& plan = AttachedFiles->Plans[size_t(i)];
    if (!plan.empty()) InstallStatus.Component.store(uint8_t(i));
    for (const TFileToInstall& f : plan) {
      {
        LoggingSuspendedFor quiet(!f.Logged);
        if (!AttachedFiles->ExtractFile(f.Source, "", f.Target)) return false;
      }
      InstallStatus.Progress.fetch_add(f.Source->Size);  // an ignored file counts as done
      if (FileDoneFunction done = fileDone.load()) done(f.Target);
      if (WaitWhilePaused() == tsFinished) return true;
    }
    if (WaitWhilePaused() == tsFinished) return true;
  }
  return true;
}

// The user learns why the run stopped before the wizard sees tsFailed and
// closes. Out of memory even for the text, the run still fails.
void FailWithMessage(const char* reason, const char* detail = nullptr) noexcept {
  try {
    std::string text = "Setup cannot continue installing Vellumar Word Processor.\r";
    text += reason;
    if (detail && *detail) text += std::string("\r(") + detail + ")";
    SafeMessageDlg(text, ui::mtError, ui::ButtonBit(ui::mbOK));
  } catch (...) {
  }
  EndRun(tsFailed);
}

}  // namespace

void SetFileDoneFunction(FileDoneFunction fn) { fileDone.store(fn); }

TInstallThread::TInstallThread() {
  try {
    thread_ = base::Thread([this] {
      Execute();
      ended_.store(true, std::memory_order_release);
    });
  } catch (const std::system_error& e) {
    // Without a worker nobody would ever end the run and the wizard would
    // wait for ever; this is the wizard's thread, so the dialog shows here.
    ended_.store(true, std::memory_order_release);
    FailWithMessage("Windows could not start the installation.", e.what());
  }
}

TInstallThread::~TInstallThread() { WaitFor(); }

void TInstallThread::WaitFor() {
  thread_.Join();
}

bool TInstallThread::Ended() const { return ended_.load(std::memory_order_acquire); }

void TInstallThread::Execute() {
  // Nothing may escape the worker: an uncaught exception would end the
  // process with the user's files half written and nothing said.
  try {
    EndRun(ExtractPlans() ? tsFinished : tsFailed);
  } catch (const std::bad_alloc&) {
    FailWithMessage("There is not enough memory.");
  } catch (const std::exception& e) {
    FailWithMessage("An internal error occurred.", e.what());
  } catch (...) {
    FailWithMessage("An internal error occurred.");
  }
}
