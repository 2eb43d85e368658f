#include "EditorWindow.h"

#include <utility>

#include "ProductNames.h"
#include "base/Dpi.h"
#include "base/WinHandles.h"
#include "instutils/InstUtils.h"

namespace vlm {

namespace {

constexpr int kTextEdtId = 100;
// The first size of the window and the text's size, at 96 DPI.
constexpr int kWidth = 640, kHeight = 480;
constexpr int kFontPoints = 8;

// Larger files are refused rather than read into memory whole.
constexpr DWORD kMaxDocumentBytes = 64u * 1024 * 1024;

constexpr DWORD kTextEdtStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                ES_WANTRETURN | ES_NOHIDESEL;  // no horizontal scrolling: lines wrap

bool ReadDocument(const std::string& path, std::string& data) {
  base::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  const DWORD size = GetFileSize(file.get(), nullptr);
  if (size == INVALID_FILE_SIZE || size > kMaxDocumentBytes) return false;
  data.resize(size);
  DWORD got = 0;
  if (size && (!ReadFile(file.get(), &data[0], size, &got, nullptr) || got != size)) return false;
  return true;
}

// The edit control breaks lines only at CR LF; text ends at its first NUL.
std::string EditText(const std::string& data) { return instutils::WithCrLf(data.substr(0, data.find('\0'))); }

}  // namespace

bool TEditorWindow::LoadDocument(const std::string& path) {
  std::string data;
  if (!textEdt_ || !ReadDocument(path, data)) return false;
  SetWindowTextA(textEdt_, EditText(data).c_str());
  const size_t cut = path.find_last_of("\\/:");
  SetWindowTextA(hwnd_, (path.substr(cut == std::string::npos ? 0 : cut + 1) + kCaptionSuffix).c_str());
  return true;
}

bool TEditorWindow::Create() {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &TEditorWindow::WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kMainWindowClass;
  if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  const int dpi = base::SystemDpi();  // a window to come opens on the primary monitor
  HWND hwnd = CreateWindowExA(0, kMainWindowClass, kUntitledCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, base::ScaledForDpi(kWidth, dpi), base::ScaledForDpi(kHeight, dpi),
                              nullptr, nullptr, instance_, this);
  return hwnd != nullptr;
}

void TEditorWindow::Show(int showCommand) {
  ShowWindow(hwnd_, showCommand);
  UpdateWindow(hwnd_);
}

LRESULT CALLBACK TEditorWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TEditorWindow* self;
  if (msg == WM_NCCREATE) {
    self = static_cast<TEditorWindow*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<TEditorWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  return self->Dispatch(msg, wp, lp);
}

LRESULT TEditorWindow::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      return FormCreate() ? 0 : -1;
    case WM_SIZE:
      FormResize(LOWORD(lp), HIWORD(lp));
      return 0;
    case base::kWmDpiChanged:
      FormDpiChanged(*reinterpret_cast<const RECT*>(lp));
      return 0;
    case WM_SETFOCUS:
      FormActivate();
      return 0;
    case WM_DESTROY:
      FormDestroy();
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      break;
  }
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

bool TEditorWindow::FormCreate() {
  // Marks this window as a running copy of the product for the setup.
  if (!SetPropA(hwnd_, kInstanceProperty, reinterpret_cast<HANDLE>(1))) return false;
  textEdt_ = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", kTextEdtStyle, 0, 0, 0, 0, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextEdtId)), instance_, nullptr);
  if (!textEdt_) return false;
  SetTextFont();
  // The edit control's default limit (32 KB) is too small for a document.
  SendMessageA(textEdt_, EM_SETLIMITTEXT, 0, 0);
  return true;
}

void TEditorWindow::FormResize(int width, int height) {
  if (textEdt_) MoveWindow(textEdt_, 0, 0, width, height, TRUE);
}

// The text's font for the window's DPI; the old one goes once the edit area has the new.
void TEditorWindow::SetTextFont() {
  base::UniqueFont font(CreateFontA(base::FontHeightForDpi(kFontPoints, base::WindowDpi(hwnd_)), 0, 0, 0, FW_NORMAL,
                                    FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Shell Dlg 2"));
  if (!font) return;
  SendMessageA(textEdt_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  std::swap(font_, font);
}

void TEditorWindow::FormDpiChanged(const RECT& suggested) {
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  SetTextFont();
}

void TEditorWindow::FormActivate() {
  if (textEdt_) SetFocus(textEdt_);
}

void TEditorWindow::FormDestroy() {
  RemovePropA(hwnd_, kInstanceProperty);
  PostQuitMessage(0);
}

}  // namespace vlm
