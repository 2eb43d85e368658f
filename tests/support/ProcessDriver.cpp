#include "tests/support/ProcessDriver.h"

#include "tests/support/WindowText.h"

#include <vector>

namespace e2e {

using testsupport::ClassOf;
using testsupport::TextOf;

std::string WindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string w = "Z:" + path;
  for (char& c : w)
    if (c == '/') c = '\\';
  return w;
}

bool DeleteKeyTree(HKEY parent, const std::string& sub) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, sub.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return false;
  char child[256];
  DWORD size = sizeof(child);
  while (RegEnumKeyExA(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
         DeleteKeyTree(key, child))
    size = sizeof(child);
  RegCloseKey(key);
  return RegDeleteKeyA(parent, sub.c_str()) == ERROR_SUCCESS;
}

std::string FileNameOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

WineVersionOverride::WineVersionOverride(const std::string& exeName, const char* version)
    : key_("Software\\Wine\\AppDefaults\\" + exeName) {
  base::UniqueHKey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.out(), nullptr) ==
      ERROR_SUCCESS)
    RegSetValueExA(key.get(), "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version), lstrlenA(version) + 1);
}

WineVersionOverride::~WineVersionOverride() { RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str()); }

ChildProcess::ChildProcess(const std::string& path, const std::string& args) {
  Start("\"" + WindowsPath(path) + "\"" + (args.empty() ? "" : " " + args));
}

ChildProcess::ChildProcess(const CommandLine& command) { Start(command.text); }

void ChildProcess::Start(const std::string& cmd) {
  std::vector<char> line(cmd.begin(), cmd.end());
  line.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    CloseHandle(pi.hThread);
    process_.reset(pi.hProcess);
    id_ = pi.dwProcessId;
  }
}

bool ChildProcess::WaitForExit(DWORD ms, DWORD* exitCode) {
  if (!process_) return false;
  if (WaitForSingleObject(process_.get(), ms) != WAIT_OBJECT_0) {
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 5000);
    return false;
  }
  if (exitCode) GetExitCodeProcess(process_.get(), exitCode);
  return true;
}

ChildProcess::~ChildProcess() {
  // Never leave a setup running behind a failed test.
  if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 5000);
  }
}

namespace {

struct Search {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindows(HWND wnd, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  if (pid == s->pid) s->found.push_back(wnd);
  return TRUE;
}

std::vector<HWND> WindowsOf(DWORD pid) {
  Search s{pid, {}};
  EnumWindows(CollectWindows, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

BOOL CALLBACK FindIconChild(HWND child, LPARAM lp) {
  if (ClassOf(child) == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    *reinterpret_cast<HWND*>(lp) = child;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    for (HWND w : WindowsOf(processId)) {
      if (ClassOf(w) != "#32770" || !IsWindowVisible(w)) continue;
      char text[2048] = {};
      // Found too early, a box has no text yet: wait until it has.
      if (GetDlgItemTextA(w, 0xFFFF, text, sizeof(text)) == 0) continue;
      MessageBoxInfo info;
      info.window = w;
      info.caption = TextOf(w);
      info.text = text;
      EnumChildWindows(w, FindIconChild, reinterpret_cast<LPARAM>(&info.iconControl));
      return info;
    }
    Sleep(50);
  } while (GetTickCount() - start < ms);
  return MessageBoxInfo();
}

HWND TopLevelWindowTitled(DWORD processId, const std::string& title) {
  for (HWND w : WindowsOf(processId))
    if (TextOf(w) == title && ClassOf(w) != "#32770") return w;
  return nullptr;
}

namespace {

const int kIconSize = 32;

// 32x32 pixels of a DC at (x, y), as 0x00RRGGBB values.
std::vector<COLORREF> Grab(HDC src, int x, int y) {
  HDC mem = CreateCompatibleDC(src);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = kIconSize;
  bi.bmiHeader.biHeight = -kIconSize;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  base::UniqueGdiObject dib(CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  HGDIOBJ old = SelectObject(mem, dib.get());
  BitBlt(mem, 0, 0, kIconSize, kIconSize, src, x, y, SRCCOPY);
  GdiFlush();
  std::vector<COLORREF> px(static_cast<COLORREF*>(bits), static_cast<COLORREF*>(bits) + kIconSize * kIconSize);
  SelectObject(mem, old);
  DeleteDC(mem);
  for (auto& p : px) p &= 0xFFFFFF;
  return px;
}

// The icon drawn over a plain background of the given colour.
std::vector<COLORREF> Render(HICON icon, COLORREF background) {
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  base::UniqueGdiObject bmp(CreateCompatibleBitmap(screen, kIconSize, kIconSize));
  HGDIOBJ old = SelectObject(mem, bmp.get());
  base::UniqueGdiObject brush(CreateSolidBrush(RGB(background >> 16 & 0xFF, background >> 8 & 0xFF, background & 0xFF)));
  RECT r = {0, 0, kIconSize, kIconSize};
  FillRect(mem, &r, static_cast<HBRUSH>(brush.get()));
  DrawIconEx(mem, 0, 0, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
  std::vector<COLORREF> px = Grab(mem, 0, 0);
  SelectObject(mem, old);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return px;
}

long Distance(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
  long d = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    for (int shift : {0, 8, 16}) d += labs(long(a[i] >> shift & 0xFF) - long(b[i] >> shift & 0xFF));
  return d;
}

}  // namespace

namespace {
LPCSTR ShownSystemIconOnce(const MessageBoxInfo& box);
}

// The box may not have painted its icon yet when it is first found.
LPCSTR ShownSystemIcon(const MessageBoxInfo& box) {
  LPCSTR kind = nullptr;
  for (DWORD start = GetTickCount(); !(kind = ShownSystemIconOnce(box)) && GetTickCount() - start < 3000;) Sleep(100);
  return kind;
}

namespace {
LPCSTR ShownSystemIconOnce(const MessageBoxInfo& box) {
  if (!box.iconControl) return nullptr;
  RECT r;
  GetWindowRect(box.iconControl, &r);
  HDC screen = GetDC(nullptr);
  std::vector<COLORREF> shown = Grab(screen, r.left, r.top);
  ReleaseDC(nullptr, screen);
  const LPCSTR kinds[] = {IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK};
  LPCSTR best = nullptr;
  long bestDistance = 0;
  for (LPCSTR kind : kinds) {
    long d = Distance(shown, Render(LoadIconA(nullptr, kind), shown[0]));
    if (!best || d < bestDistance) {
      best = kind;
      bestDistance = d;
    }
  }
  // A blank or foreign picture matches none of them well.
  return bestDistance < 32L * 32 * 3 * 16 ? best : nullptr;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= ms) return done();
    Sleep(20);
  }
  return true;
}

HWND WaitForWindowWithControl(DWORD processId, const std::string& title, int controlId, DWORD ms) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND w : WindowsOf(processId))
          if (IsWindowVisible(w) && TextOf(w) == title && FindControl(w, controlId)) found = w;
        return found != nullptr;
      },
      ms);
  return found;
}

std::vector<HWND> TaskbarWindowsOf(DWORD processId) {
  std::vector<HWND> shown;
  for (HWND w : WindowsOf(processId))
    if (IsWindowVisible(w) && !GetWindow(w, GW_OWNER) && !(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
      shown.push_back(w);
  return shown;
}

namespace {
struct ControlSearch {
  int id;
  HWND found;
};

BOOL CALLBACK FindControlById(HWND child, LPARAM lp) {
  auto* s = reinterpret_cast<ControlSearch*>(lp);
  if (GetDlgCtrlID(child) != s->id) return TRUE;
  s->found = child;
  return FALSE;
}
}  // namespace

HWND FindControl(HWND top, int controlId) {
  ControlSearch s{controlId, nullptr};
  EnumChildWindows(top, FindControlById, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::string ControlText(HWND wnd) {
  DWORD_PTR length = 0;
  if (!wnd || !SendMessageTimeoutA(wnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return std::string();
  std::string text(length + 1, '\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutA(wnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 5000,
                           &got))
    return std::string();
  text.resize(got);
  return text;
}

bool BringToFront(HWND wnd, DWORD ms) {
  return WaitUntil(
      [wnd] {
        if (GetForegroundWindow() == wnd) return true;
        SetForegroundWindow(wnd);
        return false;
      },
      ms);
}

void ClickButton(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

bool WaitUntilGone(HWND wnd, DWORD ms) {
  return WaitUntil([wnd] { return !IsWindow(wnd); }, ms);
}

}  // namespace e2e
