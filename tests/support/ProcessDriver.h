// Drives another process's windows: start it, find its windows, message boxes
// and controls, read them, press keys, wait for it to end. Every wait is bounded.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/Names.h"
#include "base/WinHandles.h"
#include "tests/support/WindowText.h"

namespace e2e {

// What every driver of the setup looks for, and how long it waits.
inline constexpr char kTitle[] = NAME_EDITION " - Setup";
inline constexpr char kSettingsKey[] = NAME_KEY;
inline constexpr DWORD kStartTimeout = 60000;  // the first start in a fresh prefix is slow
inline constexpr DWORD kStepTimeout = 10000;
inline constexpr DWORD kInstallTimeout = 60000;

// "/unix/path" as Wine's Z: drive path; Windows paths pass unchanged.
std::string WindowsPath(const std::string& path);

// Deletes a registry key with all its subkeys (RegDeleteTree is not declared
// for the targeted Windows); false when it was not there or stayed.
bool DeleteKeyTree(HKEY parent, const std::string& sub);

// The file name part of a path ("setup.exe").
std::string FileNameOf(const std::string& path);

// Makes Wine report an older Windows to one executable while it lives
// ("nt40", "win98", "win2k", "winxp"); removes the setting again on exit.
class WineVersionOverride {
 public:
  WineVersionOverride(const std::string& exeName, const char* version);
  ~WineVersionOverride();
  WineVersionOverride(const WineVersionOverride&) = delete;
  WineVersionOverride& operator=(const WineVersionOverride&) = delete;

 private:
  std::string key_;
};

class ChildProcess {
 public:
  explicit ChildProcess(const std::string& path, const std::string& args = "");
  // A whole command line as the system takes it, e.g. a registered UninstallString.
  struct CommandLine {
    std::string text;
  };
  explicit ChildProcess(const CommandLine& command);
  bool started() const { return process_.valid(); }
  DWORD id() const { return id_; }
  HANDLE handle() const { return process_.get(); }
  bool Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
  // Waits up to `ms` for the end; false on time-out (the process is then killed).
  bool WaitForExit(DWORD ms, DWORD* exitCode);
  ~ChildProcess();

 private:
  void Start(const std::string& commandLine);
  base::UniqueHandle process_;
  DWORD id_ = 0;
};

struct MessageBoxInfo {
  HWND window = nullptr;
  std::string caption;
  std::string text;
  HWND iconControl = nullptr;
};

// The first visible message box (#32770 with a text) of the process, or a
// null window after `ms`.
MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD ms);

// The process's top-level window with this title, message boxes aside, or null.
HWND TopLevelWindowTitled(DWORD processId, const std::string& title);

// Which of the system's four message icons a box shows, judged by the pixels
// on screen (another process's icon handles cannot be read here):
// IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION or IDI_ASTERISK, or null.
LPCSTR ShownSystemIcon(const MessageBoxInfo& box);

// Polls `done` until it holds or `ms` have passed; its last answer.
bool WaitUntil(const std::function<bool()>& done, DWORD ms);

// The process's visible top-level window with this title that holds a control
// with this ID (which tells it from a message box of the same title), or null after `ms`.
HWND WaitForWindowWithControl(DWORD processId, const std::string& title, int controlId, DWORD ms);

// The process's visible top-level windows that are neither owned nor tool
// windows: what the taskbar shows.
std::vector<HWND> TaskbarWindowsOf(DWORD processId);

// A descendant of `top` (at any depth) with this control ID, or null.
HWND FindControl(HWND top, int controlId);

// A window's text, asked of its own thread (an edit box keeps it there).
std::string ControlText(HWND wnd);

// Makes `wnd` the foreground window; false if it is not after `ms`.
bool BringToFront(HWND wnd, DWORD ms);

using testsupport::PressKey;

// Clicks a button with BM_CLICK, without waiting for what it starts.
void ClickButton(HWND button);

bool WaitUntilGone(HWND wnd, DWORD ms);

}  // namespace e2e
