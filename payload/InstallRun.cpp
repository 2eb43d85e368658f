#include "payload/InstallRun.h"

#include <exception>
#include <new>
#include <system_error>

#include "contract/Names.h"
#include "instutils/Logs.h"
#include "payload/AttachFiles.h"
#include "payload/TestSeams.h"

namespace {

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

std::string FailureText(const char* reason, const char* detail) {
  std::string text = "Setup cannot continue installing " PRODUCT_NAME ".\r";
  text += reason;
  if (detail && *detail) text += std::string("\r(") + detail + ")";
  return text;
}

}  // namespace

void SetFileDoneFunction(FileDoneFunction fn) { fileDone.store(fn); }

TInstallRun::TInstallRun(TAttachedFiles& files, TQuestionAsker& asker)
    : files_(files),
      asker_(asker),
      toWorker_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      toWizard_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
  const char* detail = "CreateEvent";
  if (toWorker_ && toWizard_) {
    try {
      thread_ = base::Thread([this] { Work(); });
      return;
    } catch (const std::system_error& e) {
      detail = e.what();
    }
  }
  // Without a worker nobody would ever end the run and the wizard would wait
  // for ever; this is the wizard's thread, so the user is told from here.
  ended_.store(true, std::memory_order_release);
  try {
    asker_.RunFailed(FailureText("Windows could not start the installation.", detail));
  } catch (...) {
  }
  base::ScopedLock hold(lock_);
  Set(tsFailed);
}

TInstallRun::~TInstallRun() {
  Stop();
  Wait();
}

void TInstallRun::Set(uint8_t state) {
  state_.store(state, std::memory_order_release);
  SetEvent(toWorker_.get());
  SetEvent(toWizard_.get());
}

void TInstallRun::WaitFor(HANDLE event) {
  // An auto-reset event set under the lock after each change: a change made
  // between Leave and the wait leaves the event set, so none is missed; the
  // callers test their condition again after every wake.
  lock_.Leave();
  WaitForSingleObject(event, INFINITE);
  lock_.Enter();
}

// The wizard's side.

uint8_t TInstallRun::Poll() {
  TQuestionKind kind;
  std::string text;
  {
    base::ScopedLock hold(lock_);
    if (state_ != tsAsking || questionTaken_) return state_;
    questionTaken_ = true;
    Set(tsPaused);  // the worker writes nothing while the question is up
    kind = kind_;
    text = question_;
  }
  // Outside the lock: the asker runs a modal loop and may pause, resume or
  // stop the run meanwhile (a close that came in during the question).
  TFileAnswer answer = faAbort;  // a question that went wrong ends the run rather than skip the file
  try {
    if (kind == qkFile)
      answer = asker_.CannotWrite(text);
    else
      asker_.RunFailed(text);
  } catch (...) {
  }
  base::ScopedLock hold(lock_);
  questionTaken_ = false;
  if (state_ == tsPaused) {  // else a stop came first: the worker has gone on without an answer
    answer_ = answer;
    Set(tsAnswered);
  }
  return state_;
}

bool TInstallRun::TakeEnd() {
  base::ScopedLock hold(lock_);
  if (state_ != tsFinished || stopped_) return false;
  Set(tsIdle);
  return true;
}

bool TInstallRun::Pause() {
  base::ScopedLock hold(lock_);
  // An answer just handed back is the worker's to take first, or it would
  // write on under the close question; it is awake and takes it at once.
  while (state_ == tsAnswered) WaitFor(toWizard_.get());
  if (state_ != tsRunning) return false;  // a pause of someone else's (the worker's question) is theirs to end
  pausedHere_ = true;
  Set(tsPaused);
  return true;
}

void TInstallRun::Resume() {
  base::ScopedLock hold(lock_);
  if (pausedHere_ && state_ == tsPaused) Set(tsRunning);
  pausedHere_ = false;
}

void TInstallRun::Stop() {
  base::ScopedLock hold(lock_);
  pausedHere_ = false;
  const uint8_t s = state_;
  if (s != tsRunning && s != tsPaused && s != tsAsking && s != tsAnswered) return;
  stopped_ = true;
  Set(tsFinished);
}

void TInstallRun::Wait() { thread_.Join(); }

// The worker's side.

TFileAnswer TInstallRun::CannotWrite(const std::string& target) {
  return AskWizard(qkFile, target);
}

void TInstallRun::RunFailed(const std::string& text) { AskWizard(qkFailure, text); }

TFileAnswer TInstallRun::AskWizard(TQuestionKind kind, const std::string& text) {
  base::ScopedLock hold(lock_);
  while (state_ == tsPaused) WaitFor(toWorker_.get());  // the close query holds the question back
  if (state_ != tsRunning) return faNone;  // a stop request: nobody will answer
  kind_ = kind;
  question_ = text;
  Set(tsAsking);
  while (state_ == tsAsking || state_ == tsPaused) WaitFor(toWorker_.get());
  if (state_ != tsAnswered) return faNone;  // stopped before an answer
  Set(tsRunning);
  return answer_;
}

uint8_t TInstallRun::WaitWhilePaused() {
  base::ScopedLock hold(lock_);
  while (state_ == tsPaused) WaitFor(toWorker_.get());
  return state_;
}

// The worker's last word, given only from tsRunning: a pause is waited out,
// and a stop request is left standing.
void TInstallRun::End(uint8_t outcome) {
  base::ScopedLock hold(lock_);
  while (state_ == tsPaused) WaitFor(toWorker_.get());
  if (state_ == tsRunning) Set(outcome);
}

bool TInstallRun::ExtractPlans() {
  for (int i = 0; i < kPlanCount; ++i) {
    const TFileToInstallList& plan = files_.Plans[size_t(i)];
    if (!plan.empty()) component_.store(uint8_t(i));
    for (const TFileToInstall& f : plan) {
      {
        LoggingSuspendedFor quiet(!f.Logged);
        if (!files_.ExtractFile(f.Source, "", f.Target, *this)) return false;
      }
      progress_.fetch_add(f.Source->Size);  // an ignored file counts as done
      if (FileDoneFunction done = fileDone.load()) done(f.Target);
      if (WaitWhilePaused() != tsRunning) return true;  // a stop: after the file in hand
    }
  }
  return true;
}

// The user learns why the run stopped before the wizard sees tsFailed and
// closes. Out of memory even for the text, the run still fails.
void TInstallRun::Fail(const char* reason, const char* detail) noexcept {
  try {
    RunFailed(FailureText(reason, detail));
  } catch (...) {
  }
  End(tsFailed);
}

void TInstallRun::Work() noexcept {
  // Nothing may escape the worker: an uncaught exception would end the
  // process with the user's files half written and nothing said.
  try {
    End(ExtractPlans() ? tsFinished : tsFailed);
  } catch (const std::bad_alloc&) {
    Fail("There is not enough memory.");
  } catch (const std::exception& e) {
    Fail("An internal error occurred.", e.what());
  } catch (...) {
    Fail("An internal error occurred.");
  }
  ended_.store(true, std::memory_order_release);
}
