#include "tests/support/WindowText.h"

namespace testsupport {

std::string ClassOf(HWND wnd) {
  char name[64] = {};
  GetClassNameA(wnd, name, sizeof name);
  return name;
}

std::string TextOf(HWND wnd) {
  if (!wnd) return std::string();
  std::string text(size_t(GetWindowTextLengthA(wnd)) + 1, '\0');
  text.resize(size_t(GetWindowTextA(wnd, &text[0], int(text.size()))));
  return text;
}

SIZE TextNeeds(HWND wnd, int width, UINT format) {
  const std::string text = TextOf(wnd);
  HDC dc = GetDC(wnd);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(wnd, WM_GETFONT, 0, 0)));
  RECT need = {0, 0, width, 0};
  DrawTextA(dc, text.c_str(), -1, &need, DT_CALCRECT | format);
  SelectObject(dc, old);
  ReleaseDC(wnd, dc);
  return {need.right, need.bottom};
}

}  // namespace testsupport
