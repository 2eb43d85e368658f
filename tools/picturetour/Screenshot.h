// Pictures of the screen for the README: a rectangle of the (virtual) desktop
// saved as a 24-bit BMP, once it has stopped changing.
#pragma once
#include <windows.h>

#include <string>

namespace tour {

// The union of the windows' frames (null windows are left out), kept on the screen.
RECT AreaOf(HWND a, HWND b = nullptr);

// Grabs `area` until two grabs in a row agree (a page still painting, a caret
// blinking), at most about two seconds, and writes the last one to `path`.
bool SaveStablePicture(const RECT& area, const std::string& path);

}  // namespace tour
