#include "AppWindow.h"
#include "contract/Names.h"

namespace setup {

namespace {
const char kClassName[] = PRODUCT_FOLDER "SetupApplication";
}

AppWindow::AppWindow(HINSTANCE instance, const char* title) {
  icon_ = LoadIconA(instance, MAKEINTRESOURCEA(1));
  WNDCLASSA wc = {};
  wc.lpfnWndProc = &AppWindow::WndProc;
  wc.hInstance = instance;
  wc.lpszClassName = kClassName;
  RegisterClassA(&wc);
  // Zero-sized at the screen centre, like the classic application window.
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
  wnd_.reset(CreateWindowExA(0, kClassName, "", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS,
                             x, y, 0, 0, nullptr, nullptr, instance, nullptr));
  if (wnd_) {
    SendMessageA(wnd_.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SetWindowTextA(wnd_.get(), title);
  }
}

LRESULT CALLBACK AppWindow::WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace setup
