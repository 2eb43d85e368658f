// Finds the message dialog of a thread and works it the way a user would:
// real mouse clicks and key presses through SendInput.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/WindowText.h"

namespace testing_ui {

struct ButtonView {
  HWND wnd = nullptr;
  int id = 0;
  std::string caption;
  RECT rect{};  // screen coordinates
  bool isDefault = false;
};

struct DialogView {
  HWND wnd = nullptr;
  std::string caption;
  std::string text;
  RECT rect{};        // screen coordinates
  RECT textRect{};    // screen coordinates
  bool hasIcon = false;
  std::vector<ButtonView> buttons;  // left to right
  int defId = 0;                    // DM_GETDEFID, 0 when none
  HWND focus = nullptr;
};

using testsupport::ClassOf;
using testsupport::TextOf;

// The visible dialog (#32770 with its text) of the thread, or null after the timeout.
HWND WaitForDialog(DWORD threadId, DWORD timeoutMs = 10000);
bool WaitUntilGone(HWND dlg, DWORD timeoutMs = 5000);
DialogView Inspect(HWND dlg);

void Click(const ButtonView& b);                 // mouse at the button's centre
using testsupport::PressKey;                     // keyboard to the foreground window
void CloseBox(HWND dlg);                         // the window menu's Close

// Shows the dialog on the calling thread while `driver` works the first one
// that appears from another thread. Any dialog left open is closed after a few
// seconds, so a failing test does not hang.
int32_t RunDialog(const std::function<int32_t()>& show, const std::function<void(HWND)>& driver);

}  // namespace testing_ui
