// The application window: hidden, it owns the taskbar button (title and icon)
// and, later, the wizard.
#pragma once
#include <windows.h>

#include "base/WinHandles.h"

namespace setup {

class AppWindow {
 public:
  AppWindow(HINSTANCE instance, const char* title);
  HWND handle() const { return wnd_.get(); }

 private:
  static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
  base::UniqueWindow wnd_;
  HICON icon_ = nullptr;  // shared resource icon, not destroyed
};

}  // namespace setup
