// Reading windows the way every test and driver here does.
#pragma once
#include <windows.h>

#include <string>

namespace testsupport {

std::string ClassOf(HWND wnd);
std::string TextOf(HWND wnd);  // the whole window text; empty for no window

}  // namespace testsupport
