// The install run: a worker that extracts the planned files in order, and its
// handshake with the wizard's thread. The worker never touches a window: a
// file it cannot write becomes a question it hands over and waits on; the
// wizard's thread asks it through its TQuestionAsker when it next calls Poll
// and hands the answer back. Every wait is on an event, none polls.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "base/Threads.h"
#include "base/WinHandles.h"
#include "payload/QuestionAsker.h"

class TAttachedFiles;

enum TInstallThreadState : uint8_t {
  tsIdle = 0,
  tsRunning = 1,
  tsPaused = 2,    // by the close query, or while the wizard asks the worker's question
  tsFinished = 3,  // the last file done, or a stop request
  tsFailed = 4,    // Abort, or an error the user has been told about
  tsAsking = 5,    // a question waits for the wizard's thread
  tsAnswered = 6,  // its answer waits for the worker
};

class TInstallRun : private TQuestionAsker {
 public:
  // Starts the worker on files.Plans at once. asker answers the worker's
  // questions on the thread that calls Poll; files, asker and the log list
  // must outlive the run. A worker that cannot start fails the run here,
  // told through asker.
  TInstallRun(TAttachedFiles& files, TQuestionAsker& asker);
  // Stops the worker after the file in hand and waits for it.
  ~TInstallRun();
  TInstallRun(const TInstallRun&) = delete;
  TInstallRun& operator=(const TInstallRun&) = delete;

  uint8_t State() const { return state_.load(std::memory_order_acquire); }
  uint8_t Component() const { return component_.load(); }  // 255: no component yet
  int32_t Progress() const { return progress_.load(); }    // bytes of planned files done

  // The rest on the wizard's thread. Poll asks a question the worker waits on
  // (the worker stays paused meanwhile) and hands its answer back, unless a
  // stop came first; returns the state after.
  uint8_t Poll();
  // True once for a run that ended by itself (not by a stop); it is idle after.
  bool TakeEnd();
  // The close query: a running worker waits after the file in hand. True
  // when this call paused it; only such a pause is ended by Resume.
  bool Pause();
  void Resume();
  // The worker ends after the file in hand; a question not yet answered is
  // dropped and its file skipped. A run that has ended stays as it ended.
  void Stop();
  void Wait();  // returns once the worker has ended
  bool Ended() const { return ended_.load(std::memory_order_acquire); }

 private:
  enum TQuestionKind { qkFile, qkFailure };

  // The worker's side of TQuestionAsker: hands the question over and waits.
  TFileAnswer CannotWrite(const std::string& target) override;
  void RunFailed(const std::string& text) override;
  TFileAnswer AskWizard(TQuestionKind kind, const std::string& text);

  void Work() noexcept;
  bool ExtractPlans();  // false after Abort
  void Fail(const char* reason, const char* detail = nullptr) noexcept;
  uint8_t WaitWhilePaused();
  void End(uint8_t outcome);

  // Under lock_: sets the state and wakes whoever waits on it.
  void Set(uint8_t state);
  // Under lock_: lets lock_ go until the other thread signals event.
  void WaitFor(HANDLE event);

  TAttachedFiles& files_;
  TQuestionAsker& asker_;
  base::CriticalSection lock_;  // guards every change of state_ and the question
  base::UniqueHandle toWorker_, toWizard_;  // auto-reset: a state change for the one that waits
  std::atomic<uint8_t> state_{tsRunning};
  std::atomic<uint8_t> component_{255};
  std::atomic<int32_t> progress_{0};
  TQuestionKind kind_ = qkFile;
  std::string question_;  // the target, or the failure text
  TFileAnswer answer_ = faNone;
  bool questionTaken_ = false;  // the wizard's thread is asking it
  bool pausedHere_ = false;     // by Pause, for Resume
  bool stopped_ = false;        // by Stop: not an end of its own
  std::atomic<bool> ended_{false};
  base::Thread thread_;  // last: started once everything above exists
};
