// Reading windows and pressing keys the way every test and driver here does.
#pragma once
#include <windows.h>

#include <string>

namespace testsupport {

std::string ClassOf(HWND wnd);
std::string TextOf(HWND wnd);  // the whole window text; empty for no window
// Presses and releases the key (with Alt held around it) through SendInput,
// to whatever window has the keyboard focus.
void PressKey(WORD vk, bool withAlt = false);

}  // namespace testsupport
