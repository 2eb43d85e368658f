// The record the wizard and the install worker share, and the message dialog
// that either thread may ask for.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>

enum TInstallThreadState : uint8_t {
  tsIdle = 0,
  tsRunning = 1,
  tsPaused = 2,
  tsFinished = 3,
  tsFailed = 4,
  tsAsking = 5,
  tsAnswered = 6,
};

// No lock: State is the only synchronising field. The worker writes Message,
// DlgType and Buttons before it publishes tsAsking; the wizard writes Answer
// before it publishes tsAnswered. Component and Progress belong to the worker.
struct TInstallThreadStatus {
  std::atomic<uint8_t> State{tsIdle};
  std::atomic<uint8_t> Component{255};  // 255: no component yet
  std::atomic<int32_t> Progress{0};     // bytes of planned files done
  std::string Message;
  uint8_t DlgType = 0;
  uint16_t Buttons = 0;
  int32_t Answer = 0;
};

extern TInstallThreadStatus InstallStatus;

// True on the thread that started the program (the wizard's).
bool IsMainThread();

// On the main thread, shows the message dialog. On the worker, publishes the
// question in InstallStatus and waits for the wizard to answer it; the worker
// never touches a window. Returns the modal result, or mrNone (0) when the
// worker's question cannot be asked because the run is being stopped (State
// is neither running nor paused) or the dialog could not be shown.
int32_t SafeMessageDlg(const std::string& message, uint8_t dlgType, uint16_t buttons);
