#include "wizard/Panels.h"

#include "contract/Names.h"
#include "base/WinHandles.h"

namespace wizard {

namespace {
const char kPanelClass[] = PRODUCT_IDENT "WizardPanel";

bool IsWhite(TPanelLook look) { return look == plWhiteBevelled; }
}  // namespace

void TPanel::RegisterOnce(HINSTANCE instance) {
  WNDCLASSA wc;
  if (GetClassInfoA(instance, kPanelClass, &wc)) return;
  wc = {};
  wc.lpfnWndProc = &TWindowBase::WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kPanelClass;
  RegisterClassA(&wc);
}

HWND TPanel::Create(HWND parent, const TWidgetDef& def, HINSTANCE instance) {
  RegisterOnce(instance);
  // Children that take the keyboard focus sit inside; the dialog manager must
  // look into the panel for Tab and for mnemonics.
  return CreateWnd(WS_EX_CONTROLPARENT, kPanelClass, def.Name,
                   WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (def.Kind == wkTabSheet ? 0 : WS_VISIBLE),
                   WidgetRect(def), parent, def.Id, instance);
}

LRESULT TPanel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return EraseBackground(reinterpret_cast<HDC>(wp));
    case WM_PAINT:
      Paint();
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return ChildColour(msg, wp, lp);
    case WM_CLOSE:  // never destroy a page on its own: the wizard decides
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
      return SendMessageA(target_, msg, wp, lp);
    default:
      return DefaultMessage(msg, wp, lp);
  }
}

LRESULT TPanel::EraseBackground(HDC dc) {
  RECT r;
  GetClientRect(wnd_, &r);
  // Opaque on purpose: with visual styles the parent's themed background
  // would otherwise show through the white header.
  FillRect(dc, &r, IsWhite(look_) ? static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)) : GetSysColorBrush(COLOR_BTNFACE));
  return 1;
}

void TPanel::Paint() {
  base::PaintDc dc(wnd_);
  if (look_ == plWhiteBevelled || look_ == plBevelled) {
    RECT r;
    GetClientRect(wnd_, &r);
    DrawEdge(dc.get(), &r, BDR_RAISEDINNER | BDR_SUNKENOUTER, BF_RECT);
  }
}

LRESULT TPanel::ChildColour(UINT msg, WPARAM wp, LPARAM lp) {
  if (!IsWhite(look_)) return SendMessageA(target_, msg, wp, lp);
  HDC dc = reinterpret_cast<HDC>(wp);
  SetBkColor(dc, RGB(255, 255, 255));
  SetTextColor(dc, kNavy);
  return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

}  // namespace wizard
