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

}  // namespace testsupport
