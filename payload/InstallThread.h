// The worker of the install run: extracts AttachedFiles->Plans[0..5] in order.
#pragma once
#include <atomic>

#include "base/Threads.h"

class TInstallThread {
 public:
  // Starts Execute on a new thread at once. State must already be tsRunning.
  TInstallThread();
  // Waits for the end: the catalogue and the log list must outlive the worker.
  ~TInstallThread();
  TInstallThread(const TInstallThread&) = delete;
  TInstallThread& operator=(const TInstallThread&) = delete;

  void WaitFor();  // returns once Execute has returned (idempotent)
  bool Ended() const;

  // The body; its outcome is InstallStatus.State: tsFinished after the last
  // file or a stop request, tsFailed after Abort or an internal error (which
  // is reported to the user through SafeMessageDlg first). Never throws.
  static void Execute();

 private:
  std::atomic<bool> ended_{false};
  base::Thread thread_;
};
