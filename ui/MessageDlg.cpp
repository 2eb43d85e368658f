#include "ui/MessageDlg.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "base/Dpi.h"
#include "base/WinHandles.h"
#include "ui/Window.h"

namespace ui {

namespace {

struct ButtonSpec {
  TMsgDlgBtn button;
  const char* caption;
  int32_t result;  // also the control ID
};
// Fixed order of appearance.
const ButtonSpec kButtons[] = {
    {mbYes, "&Yes", mrYes},           {mbNo, "&No", mrNo},           {mbOK, "OK", mrOk},
    {mbCancel, "Cancel", mrCancel},   {mbAbort, "&Abort", mrAbort},  {mbRetry, "&Retry", mrRetry},
    {mbIgnore, "&Ignore", mrIgnore},  {mbAll, "&All", mrAll},
};

struct TypeSpec {
  const char* caption;
  LPCSTR icon;
};
const TypeSpec kTypes[] = {
    {"Warning", IDI_EXCLAMATION}, {"Error", IDI_HAND}, {"Information", IDI_ASTERISK}, {"Confirm", IDI_QUESTION},
};

const TMsgDlgBtn kDefaultOrder[] = {mbOK, mbYes, mbRetry};
const TMsgDlgBtn kEscOrder[] = {mbCancel, mbNo, mbOK};

// Layout in dialog units, the measures of the system's message boxes.
struct Layout {
  int margin = 7;       // client edge to icon, text and buttons
  int iconGap = 7;      // icon to text
  int textGap = 10;     // text block to the button row
  int buttonW = 50;     // minimum button size
  int buttonH = 14;
  int buttonGap = 4;    // between buttons
  int buttonPad = 8;    // around a caption too long for the minimum width
};
const Layout kLayout;

constexpr int kTextId = 0xFFFF;  // the text child of a message box
constexpr int kIconId = 20;

bool Has(TMsgDlgButtons set, TMsgDlgBtn b) { return (set & ButtonBit(b)) != 0; }

int FirstPresent(TMsgDlgButtons set, const TMsgDlgBtn* order, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (Has(set, order[i])) return order[i];
  return -1;
}

// A lone CR breaks the line; the static control wants CR LF.
std::string WithLineBreaks(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

// An empty in-memory template: the controls come from the tables in WM_INITDIALOG.
std::vector<WORD> DialogTemplate() {
  std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  auto* d = reinterpret_cast<DLGTEMPLATE*>(t.data());
  d->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK | DS_SETFOREGROUND;
  d->cx = 100;
  d->cy = 50;
  t.push_back(0);  // no menu
  t.push_back(0);  // the standard dialog class
  t.push_back(0);  // caption set later, in ANSI
  t.push_back(8);  // point size of the dialog font
  for (const char* f = "MS Shell Dlg 2"; *f; ++f) t.push_back(WORD(*f));
  t.push_back(0);
  return t;
}

class TMessageForm : public TWindowBase {
 public:
  TMessageForm(const std::string& text, uint8_t type, TMsgDlgButtons buttons, int defaultButton)
      : text_(WithLineBreaks(text)), type_(type), buttons_(buttons & 0xFF), default_(defaultButton) {
    if (default_ < 0 || default_ > mbAll || !Has(buttons_, TMsgDlgBtn(default_)))
      default_ = DefaultButtonOf(buttons_);
  }

  int32_t ShowModal() {
    std::vector<WORD> tpl = DialogTemplate();
    INT_PTR r = RunModalDialog(GetModuleHandleA(nullptr), reinterpret_cast<const DLGTEMPLATE*>(tpl.data()),
                               GetActiveWindow());
    return r <= 0 ? mrNone : int32_t(r);
  }

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    switch (msg) {
      case WM_INITDIALOG:
        FormCreate();
        return FALSE;  // focus already on the default button
      case base::kWmDpiChanged:
        TakeSuggestedRect(lp);
        Layout();
        return TRUE;
      case WM_COMMAND:
        if (lp != 0 && IsButton(reinterpret_cast<HWND>(lp))) {
          if (HIWORD(wp) == BN_CLICKED) ButtonClick(LOWORD(wp));
        } else if (LOWORD(wp) == IDCANCEL) {
          EscapeKeyPress();  // no Cancel button: the dialog manager's Esc
        }
        return TRUE;
      case WM_CLOSE:
        FormClose();
        return TRUE;
      default:
        return DefaultMessage(msg, wp, lp);
    }
  }

  bool IsButton(HWND ctl) const {
    return std::find(buttonWnds_.begin(), buttonWnds_.end(), ctl) != buttonWnds_.end();
  }
  void ButtonClick(int id) { EndDialog(wnd_, id); }
  void EscapeKeyPress() {
    int b = EscButtonOf(buttons_);
    if (b >= 0) EndDialog(wnd_, ResultOf(TMsgDlgBtn(b)));
  }
  void FormClose() { EndDialog(wnd_, mrCancel); }

  // Dialog units of the form's own font: the dialog manager's font is made
  // for the system's DPI, the form's for the window's.
  int Dlu(int x) const { return MulDiv(x, baseUnits_.cx, 4); }
  int DluY(int y) const { return MulDiv(y, baseUnits_.cy, 8); }

  // The previous font comes back, to be freed once nothing uses it.
  base::UniqueFont MakeFont() {
    base::UniqueFont font(CreateFontA(base::FontHeightForDpi(8, Dpi()), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                      DEFAULT_PITCH | FF_DONTCARE, "MS Shell Dlg 2"));
    if (!font) return font;  // keep what there is
    std::swap(font_, font);
    base::WindowDc dc(wnd_);
    base::SelectedObject selected(dc.get(), font_.get());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc.get(), &tm);
    SIZE letters{};
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    GetTextExtentPoint32A(dc.get(), kLetters, 52, &letters);
    baseUnits_ = {(letters.cx / 26 + 1) / 2, tm.tmHeight};
    return font;
  }
  HFONT Font() const {
    return font_ ? font_.get() : reinterpret_cast<HFONT>(SendMessageA(wnd_, WM_GETFONT, 0, 0));
  }

  HWND AddChild(const char* cls, const char* text, DWORD style, int id) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, wnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  }

  // In pixels: the measures come from dialog units, text extents and system metrics.
  static void PlaceAt(HWND w, int x, int y, int width, int height) {
    Place(w, RECT{x, y, x + width, y + height}, luPixels);
  }

  struct TTextMeasure {
    int textW, textH;  // the text block, wrapped at maxTextW
    int buttonW;       // every button's, the widest caption's
  };
  TTextMeasure MeasureTexts(int maxTextW) const {
    base::WindowDc dc(wnd_);
    base::SelectedObject font(dc.get(), Font());
    RECT tr = {0, 0, maxTextW, 0};
    DrawTextA(dc.get(), text_.c_str(), -1, &tr, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    int buttonW = Dlu(kLayout.buttonW);
    for (const ButtonSpec& b : kButtons) {
      if (!Has(buttons_, b.button)) continue;
      RECT br = {0, 0, 0, 0};
      DrawTextA(dc.get(), b.caption, -1, &br, DT_CALCRECT | DT_SINGLELINE);
      buttonW = std::max<int>(buttonW, br.right + 2 * Dlu(kLayout.buttonPad));
    }
    return {tr.right, tr.bottom, buttonW};
  }

  void FormCreate() {
    const bool knownType = type_ < sizeof(kTypes) / sizeof(kTypes[0]);
    SetWindowTextA(wnd_, knownType ? kTypes[type_].caption : "");
    icon_ = knownType ? LoadIconA(nullptr, kTypes[type_].icon) : nullptr;
    if (icon_) {
      iconWnd_ = AddChild("STATIC", nullptr, SS_ICON, kIconId);
      SendMessageA(iconWnd_, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
    }
    textWnd_ = AddChild("STATIC", text_.c_str(), SS_LEFT | SS_NOPREFIX, kTextId);
    HWND focus = nullptr;
    for (const ButtonSpec& b : kButtons) {
      if (!Has(buttons_, b.button)) continue;
      const bool isDefault = b.button == default_;
      HWND bw = AddChild("BUTTON", b.caption, WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), b.result);
      buttonWnds_.push_back(bw);
      if (isDefault || !focus) focus = bw;
    }
    Layout();
    CentreOnScreen();

    if (default_ >= 0) SendMessageA(wnd_, DM_SETDEFID, WPARAM(ResultOf(TMsgDlgBtn(default_))), 0);
    if (focus) SendMessageA(wnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
  }

  // Sizes and places everything at the window's DPI; again when it changes.
  void Layout() {
    const base::UniqueFont old = MakeFont();
    for (HWND w : buttonWnds_) SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
    SendMessageA(textWnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);

    const int iconW = icon_ ? GetSystemMetrics(SM_CXICON) : 0;
    const int iconH = icon_ ? GetSystemMetrics(SM_CYICON) : 0;
    const int margin = Dlu(kLayout.margin), marginY = DluY(kLayout.margin);
    const int textLeft = margin + (icon_ ? iconW + Dlu(kLayout.iconGap) : 0);
    const int maxTextW = std::max(GetSystemMetrics(SM_CXSCREEN) * 3 / 5 - textLeft - margin, Dlu(100));
    const TTextMeasure m = MeasureTexts(maxTextW);
    const int bodyH = std::max(iconH, m.textH);

    const int buttonW = m.buttonW;  // one width for all buttons
    const int buttonH = DluY(kLayout.buttonH), buttonGap = Dlu(kLayout.buttonGap);
    const int count = int(buttonWnds_.size());
    const int rowW = count ? count * buttonW + (count - 1) * buttonGap : 0;

    const int clientW = std::max(textLeft + m.textW + margin, rowW + 2 * margin);
    const int buttonTop = marginY + bodyH + DluY(kLayout.textGap);
    const int clientH = count ? buttonTop + buttonH + marginY : marginY + bodyH + marginY;

    if (iconWnd_) PlaceAt(iconWnd_, margin, marginY, iconW, iconH);
    PlaceAt(textWnd_, textLeft, marginY + (bodyH - m.textH) / 2, m.textW, m.textH);
    int x = (clientW - rowW) / 2;
    for (HWND bw : buttonWnds_) {
      PlaceAt(bw, x, buttonTop, buttonW, buttonH);
      x += buttonW + buttonGap;
    }
    ClientSize(clientW, clientH, luPixels);
    InvalidateRect(wnd_, nullptr, TRUE);
  }

  std::string text_;
  uint8_t type_;
  TMsgDlgButtons buttons_;
  int default_;
  base::UniqueFont font_;  // outlives the window: the form ends after the dialog
  SIZE baseUnits_{6, 13};  // dialog base units of font_, in pixels
  HICON icon_ = nullptr;   // the system's, shared
  HWND iconWnd_ = nullptr, textWnd_ = nullptr;
  std::vector<HWND> buttonWnds_;
};

}  // namespace

int DefaultButtonOf(TMsgDlgButtons buttons) {
  return FirstPresent(buttons, kDefaultOrder, sizeof(kDefaultOrder) / sizeof(kDefaultOrder[0]));
}

int EscButtonOf(TMsgDlgButtons buttons) {
  return FirstPresent(buttons, kEscOrder, sizeof(kEscOrder) / sizeof(kEscOrder[0]));
}

int32_t ResultOf(TMsgDlgBtn button) {
  for (const ButtonSpec& b : kButtons)
    if (b.button == button) return b.result;
  return mrNone;
}

const char* CaptionOf(uint8_t dlgType) {
  return dlgType < sizeof(kTypes) / sizeof(kTypes[0]) ? kTypes[dlgType].caption : "";
}

namespace {

// When our own dialog cannot be made (no memory, no desktop heap), the
// system's box still asks the question where its button set is a standard
// one; its results are the same numbers. mrNone when it cannot either.
int32_t SystemBoxFallback(const std::string& text, uint8_t dlgType, TMsgDlgButtons buttons) {
  struct Set {
    TMsgDlgButtons buttons;
    UINT style;
  };
  static const Set kSets[] = {
      {ButtonBit(mbOK), MB_OK},
      {TMsgDlgButtons(ButtonBit(mbOK) | ButtonBit(mbCancel)), MB_OKCANCEL},
      {TMsgDlgButtons(ButtonBit(mbYes) | ButtonBit(mbNo)), MB_YESNO},
      {TMsgDlgButtons(ButtonBit(mbYes) | ButtonBit(mbNo) | ButtonBit(mbCancel)), MB_YESNOCANCEL},
      {TMsgDlgButtons(ButtonBit(mbAbort) | ButtonBit(mbRetry) | ButtonBit(mbIgnore)), MB_ABORTRETRYIGNORE},
      {TMsgDlgButtons(ButtonBit(mbRetry) | ButtonBit(mbCancel)), MB_RETRYCANCEL},
  };
  static const UINT kIcons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION};
  for (const Set& set : kSets) {
    if (set.buttons != buttons) continue;
    const UINT icon = dlgType < sizeof(kIcons) / sizeof(kIcons[0]) ? kIcons[dlgType] : 0;
    return MessageBoxA(GetActiveWindow(), WithLineBreaks(text).c_str(), CaptionOf(dlgType),
                       set.style | icon | MB_TASKMODAL);
  }
  return mrNone;
}

}  // namespace

int32_t MessageDlg(const std::string& text, uint8_t dlgType, TMsgDlgButtons buttons, int defaultButton) {
  TMessageForm form(text, dlgType, buttons, defaultButton);
  const int32_t result = form.ShowModal();
  return result != mrNone ? result : SystemBoxFallback(text, dlgType, buttons);
}

}  // namespace ui
