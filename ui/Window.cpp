#include "ui/Window.h"

#include <atomic>
#include <utility>

#include "base/Dpi.h"

namespace ui {

TWindowBase::~TWindowBase() {
  if (wnd_ && IsWindow(wnd_) && Tied(wnd_, kind_) == this) Untie();
}

// The object sits in the slot its kind leaves free: a dialog's own, or the
// window's user data (unused by the system's controls).
void TWindowBase::Tie(HWND wnd) {
  wnd_ = wnd;
  SetWindowLongPtrA(wnd, kind_ == kDialog ? DWLP_USER : GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TWindowBase* TWindowBase::Tied(HWND wnd, TKind kind) {
  return reinterpret_cast<TWindowBase*>(GetWindowLongPtrA(wnd, kind == kDialog ? DWLP_USER : GWLP_USERDATA));
}

void TWindowBase::Untie() {
  accessible_.reset();  // screen readers still holding the object now get errors
  SetWindowLongPtrA(wnd_, kind_ == kDialog ? DWLP_USER : GWLP_USERDATA, 0);
  if (kind_ == kSubclass && original_)
    SetWindowLongPtrA(wnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(std::exchange(original_, nullptr)));
  wnd_ = nullptr;
}

LRESULT CALLBACK TWindowBase::WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE)
    if (auto* created = static_cast<TWindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams))
      created->Tie(wnd);
  TWindowBase* self = Tied(wnd, kWindow);
  if (!self) return DefWindowProcA(wnd, msg, wp, lp);
  return self->Dispatch(msg, wp, lp);
}

INT_PTR CALLBACK TWindowBase::DialogProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG)
    if (auto* created = reinterpret_cast<TWindowBase*>(lp)) created->Tie(wnd);
  TWindowBase* self = Tied(wnd, kDialog);
  if (!self) return FALSE;
  return self->Dispatch(msg, wp, lp);
}

LRESULT CALLBACK TWindowBase::SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  TWindowBase* self = Tied(wnd, kSubclass);
  if (!self) return DefWindowProcA(wnd, msg, wp, lp);
  return self->Dispatch(msg, wp, lp);
}

LRESULT TWindowBase::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (accessible_ && accessible_->Answer(msg, wp, lp, result)) {
    if (kind_ != kDialog) return result;
    SetDialogResult(result);
    return TRUE;
  }
  result = HandleMessage(msg, wp, lp);
  if (accessible_) accessible_->Follow(msg);
  // A subclassed control gets its own procedure back for its last moments.
  if (msg == WM_NCDESTROY) Untie();
  return result;
}

void TWindowBase::ServeAccessible(const TAccessibleList& list) {
  if (wnd_) accessible_ = std::make_unique<TAccessibleServer>(wnd_, list);
}

LRESULT TWindowBase::DefaultMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (kind_) {
    case kDialog: return FALSE;
    case kSubclass: return CallWindowProcA(original_, wnd_, msg, wp, lp);
    default: return DefWindowProcA(wnd_, msg, wp, lp);
  }
}

HWND TWindowBase::CreateWnd(DWORD exStyle, const char* className, const char* name, DWORD style,
                            const RECT& at96dpi, HWND parent, UINT_PTR id, HINSTANCE instance) {
  kind_ = kWindow;
  const RECT r = Pixels(at96dpi, parent);
  return CreateWindowExA(exStyle, className, name, style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                         reinterpret_cast<HMENU>(id), instance, this);
}

HWND TWindowBase::CreateDialogWnd(HINSTANCE instance, const DLGTEMPLATE* tpl, HWND owner) {
  kind_ = kDialog;
  return CreateDialogIndirectParamA(instance, tpl, owner, DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR TWindowBase::RunModalDialog(HINSTANCE instance, const DLGTEMPLATE* tpl, HWND owner) {
  kind_ = kDialog;
  return DialogBoxIndirectParamA(instance, tpl, owner, DialogProc, reinterpret_cast<LPARAM>(this));
}

void TWindowBase::SetDialogResult(LRESULT result) { SetWindowLongPtrA(wnd_, DWLP_MSGRESULT, result); }

void TSubclassedControl::Subclass(HWND control, THandler handler) {
  if (!control) return;
  handler_ = std::move(handler);
  kind_ = kSubclass;
  Tie(control);
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWindowBase::SubclassProc)));
}

// ---- Layout ----

namespace {
std::atomic<int> g_testDpi{0};
}  // namespace

void TWindowBase::SetDpiForTesting(int dpi) { g_testDpi = dpi; }

int TWindowBase::DpiOf(HWND wnd) {
  const int test = g_testDpi;
  return test > 0 ? test : base::WindowDpi(wnd);
}

int TWindowBase::Scaled(int at96dpi) const { return base::ScaledForDpi(at96dpi, Dpi()); }
int TWindowBase::Scaled(int at96dpi, HWND within) { return base::ScaledForDpi(at96dpi, DpiOf(within)); }

RECT TWindowBase::Pixels(const RECT& at96dpi, HWND within) {
  const int dpi = DpiOf(within);
  return {base::ScaledForDpi(at96dpi.left, dpi), base::ScaledForDpi(at96dpi.top, dpi),
          base::ScaledForDpi(at96dpi.right, dpi), base::ScaledForDpi(at96dpi.bottom, dpi)};
}

void TWindowBase::Place(HWND child, const RECT& rect, TLayoutUnit unit) {
  const RECT r = unit == luAt96Dpi ? Pixels(rect, child) : rect;
  SetWindowPos(child, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWindowBase::Resize(HWND child, int width, int height, TLayoutUnit unit) {
  RECT r = {0, 0, width, height};
  if (unit == luAt96Dpi) r = Pixels(r, child);
  SetWindowPos(child, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWindowBase::ClientSize(int width, int height, TLayoutUnit unit) {
  RECT r = {0, 0, width, height};
  if (unit == luAt96Dpi) r = Pixels(r, wnd_);
  // The frame as the window has it: under per-monitor awareness its caption
  // and borders follow the window's DPI, not the system's that
  // AdjustWindowRectEx would assume.
  RECT window, client;
  GetWindowRect(wnd_, &window);
  GetClientRect(wnd_, &client);
  const int frameW = (window.right - window.left) - client.right, frameH = (window.bottom - window.top) - client.bottom;
  SetWindowPos(wnd_, nullptr, 0, 0, r.right + frameW, r.bottom + frameH, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWindowBase::CentreOnScreen() {
  RECT r;
  GetWindowRect(wnd_, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  // Placing is not showing: a hidden window activated here would take the
  // focus before anyone sees it, and showing it activates it anyway.
  SetWindowPos(wnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWindowBase::TakeSuggestedRect(LPARAM lp) {
  const RECT* r = reinterpret_cast<const RECT*>(lp);
  if (r)
    SetWindowPos(wnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ui
