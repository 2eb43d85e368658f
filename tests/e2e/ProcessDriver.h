// Drives another process's windows: start it, find its message boxes, press
// their buttons, wait for it to end. Every wait is bounded.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/WinHandles.h"

namespace e2e {

// "/unix/path" as Wine's Z: drive path; Windows paths pass unchanged.
std::string WindowsPath(const std::string& path);

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
  bool started() const { return process_.valid(); }
  DWORD id() const { return id_; }
  // Waits up to `ms` for the end; false on time-out (the process is then killed).
  bool WaitForExit(DWORD ms, DWORD* exitCode);
  ~ChildProcess();

 private:
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

}  // namespace e2e
