// Held open for the whole test run: Wine's service processes and its desktop
// start with the first Wine program and end a while after the last one. Left
// to the test programs, they would inherit a test's output pipe and make ctest
// wait seconds for every test; started from here, they start once, with no
// pipe, and stay.
#include <windows.h>

// The command line names a file to create once everything is up.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdLine, int) {
  // A window, never shown, so that the desktop process starts now.
  HWND wnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (cmdLine && *cmdLine) {
    HANDLE ready = CreateFileA(cmdLine, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  if (wnd) DestroyWindow(wnd);
  return 0;
}
