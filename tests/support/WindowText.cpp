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

void PressKey(WORD vk, bool withAlt) {
  INPUT in[4] = {};
  UINT n = 0;
  auto key = [&](WORD k, bool up) {
    in[n].type = INPUT_KEYBOARD;
    in[n].ki.wVk = k;
    in[n].ki.wScan = WORD(MapVirtualKeyA(k, MAPVK_VK_TO_VSC));
    in[n].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ++n;
  };
  if (withAlt) key(VK_MENU, false);
  key(vk, false);
  key(vk, true);
  if (withAlt) key(VK_MENU, true);
  SendInput(n, in, sizeof(INPUT));
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
