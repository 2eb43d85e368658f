// The display's dots per inch, for the programs' windows that lay themselves
// out in 96-DPI measures. Windows 2000 to 8 have one DPI for the whole system;
// from 8.1 on, a per-monitor aware window has its monitor's. The per-window
// question exists only on Windows 10, so it is looked up at run time.
#pragma once
#include <windows.h>

namespace base {

constexpr int kBaseDpi = 96;
// Sent to a per-monitor aware window whose DPI changed; wParam's low word is
// the new DPI, lParam the suggested window rectangle.
constexpr UINT kWmDpiChanged = 0x02E0;

// LOGPIXELSY of the screen.
inline int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kBaseDpi;
}

// The DPI the window is shown at; the system's where Windows cannot say.
inline int WindowDpi(HWND wnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  if (wnd && getDpiForWindow)
    if (const UINT dpi = getDpiForWindow(wnd)) return int(dpi);
  return SystemDpi();
}

// A 96-DPI measure at dpi, rounded once (halves away from zero).
inline int ScaledForDpi(int at96dpi, int dpi) { return MulDiv(at96dpi, dpi, kBaseDpi); }

// The height of a font of this many points at dpi, as CreateFont wants it.
inline int FontHeightForDpi(int points, int dpi) { return -MulDiv(points, dpi, 72); }

}  // namespace base
