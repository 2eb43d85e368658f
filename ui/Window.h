// The one tie between a window handle and the object that serves it: for
// windows of the program's own classes (tied on WM_NCCREATE), for dialogs
// (tied on WM_INITDIALOG) and for controls of the system's classes taken over
// by subclassing. Every message after the tie goes to the object's
// HandleMessage; what the object leaves alone goes to DefaultMessage.
//
// Also the one place where layout measures become pixels: the program's
// widget tables are drawn at 96 DPI, and their rectangles and client sizes
// pass through Pixels on their way to the window, scaled to its DPI.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "ui/Accessible.h"

namespace ui {

// What a layout measure is given in. Dialog units mapped with the dialog's
// font, text extents and system metrics are pixels already.
enum TLayoutUnit : uint8_t { luAt96Dpi, luPixels };

class TWindowBase {
 public:
  TWindowBase(const TWindowBase&) = delete;
  TWindowBase& operator=(const TWindowBase&) = delete;
  // A window that outlives its object is untied: later messages get the defaults.
  virtual ~TWindowBase();

  HWND Handle() const { return wnd_; }

  // The DPI the window is laid out for: its monitor's where the system is
  // per-monitor aware, else the system's.
  int Dpi() const { return DpiOf(wnd_); }
  static int DpiOf(HWND wnd);
  // A 96-DPI measure at this window's DPI (indents, gaps, font heights).
  int Scaled(int at96dpi) const;
  static int Scaled(int at96dpi, HWND within);
  // A rectangle of the 96-DPI tables in pixels at the DPI of the window
  // `within` lies in (a parent, or the window itself). Every edge is rounded
  // once from its 96-DPI value: neighbours stay neighbours, and a relayout at
  // another DPI does not drift.
  static RECT Pixels(const RECT& at96dpi, HWND within);
  // For tests: every window laid out as if the display had this DPI, 0 for
  // the real one. Wine fixes the DPI per prefix.
  static void SetDpiForTesting(int dpi);
  // Moves and sizes a child window within its parent's client area.
  static void Place(HWND child, const RECT& rect, TLayoutUnit unit = luAt96Dpi);
  // Sizes a child window, leaving it where it is.
  static void Resize(HWND child, int width, int height, TLayoutUnit unit = luAt96Dpi);
  // Sizes this window so that its client area is width x height; it does
  // not move, and it is not activated.
  void ClientSize(int width, int height, TLayoutUnit unit = luAt96Dpi);
  void CentreOnScreen();
  // WM_DPICHANGED: the window takes the rectangle the system suggests; the
  // caller then lays it out again at the new DPI.
  void TakeSuggestedRect(LPARAM lp);

  // What the window's kind does with a message its object leaves alone: the
  // default window procedure, the control's own procedure, or for a dialog
  // "not handled" (the dialog manager's default).
  LRESULT DefaultMessage(UINT msg, WPARAM wp, LPARAM lp);

  // From now until the window goes, screen readers read its items from list,
  // which must outlive the tie. For owner-drawn list boxes and combo boxes.
  void ServeAccessible(const TAccessibleList& list);

 protected:
  TWindowBase() = default;

  // Every message of the window once it is tied to this object. A dialog
  // answers as a dialog procedure does: FALSE for "not handled".
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;

  // The window procedure for the classes whose windows are created by CreateWnd.
  static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  // Creates this object's window at a table rectangle.
  HWND CreateWnd(DWORD exStyle, const char* className, const char* name, DWORD style, const RECT& at96dpi,
                 HWND parent, UINT_PTR id, HINSTANCE instance);
  // This object's dialog from an in-memory template: modeless, or modal
  // (the result given to EndDialog; 0 or -1 when it could not be shown).
  HWND CreateDialogWnd(HINSTANCE instance, const DLGTEMPLATE* tpl, HWND owner);
  INT_PTR RunModalDialog(HINSTANCE instance, const DLGTEMPLATE* tpl, HWND owner);
  // A dialog's answer to a message that has one beside "handled" (WM_MEASUREITEM, ...).
  void SetDialogResult(LRESULT result);

  HWND wnd_ = nullptr;

 private:
  friend class TSubclassedControl;
  enum TKind : uint8_t { kWindow, kDialog, kSubclass };

  static INT_PTR CALLBACK DialogProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  static TWindowBase* Tied(HWND wnd, TKind kind);
  void Tie(HWND wnd);
  void Untie();
  // A tied window's message: accessibility first, then the object, and the untie last.
  LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);

  TKind kind_ = kWindow;
  WNDPROC original_ = nullptr;  // a subclassed control's own procedure
  std::unique_ptr<TAccessibleServer> accessible_;
};

// A control of a system class whose messages reach a handler of its owner
// first; the handler passes on what it leaves alone with DefaultMessage.
class TSubclassedControl : public TWindowBase {
 public:
  using THandler = std::function<LRESULT(UINT msg, WPARAM wp, LPARAM lp)>;
  TSubclassedControl() = default;
  void Subclass(HWND control, THandler handler);

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override { return handler_(msg, wp, lp); }
  THandler handler_;
};

}  // namespace ui
