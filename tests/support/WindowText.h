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

// The room a control's text needs in the control's own font, wrapped at
// `width` when format has DT_WORDBREAK (DrawText's DT_CALCRECT).
SIZE TextNeeds(HWND wnd, int width, UINT format);

}  // namespace testsupport
