// Construction, the widget factory and the message routing of the wizard.
#include "contract/Names.h"
#include "wizard/MainDlg.h"

#include <commctrl.h>
#include <algorithm>
#include <shlobj.h>

#include "base/Dpi.h"
#include "base/StartupMarks.h"

#include "instutils/InstUtils.h"
#include "instutils/ShellFolders.h"
#include "ui/MessageDlg.h"
#include "components/Locations.h"
#include "instutils/Probes.h"
#include "wizard/PngImage.h"

namespace wizard {

namespace {

constexpr char kCaption[] = SETUP_TITLE;
constexpr char kProductName[] = PRODUCT_EDITION;
constexpr char kSelCompText[] =
    "Uncheck boxes for the &components that you do not wish to install or upgrade "
    "(the required disk space is displayed on the right):";
constexpr char kDefaultFolderName[] = PRODUCT_FOLDER;

constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT_PTR kDriveTimer = 2;
constexpr UINT kProgressInterval = 100;
constexpr UINT kDriveInterval = 1000;
// Posted by the constructor: handled before the first paint, after the window shows.
constexpr UINT kWmLoadPictures = WM_APP + 1;

// An empty dialog template: the widgets come from the widget table. Being a
// dialog gives Enter, Esc, Tab and the mnemonics their usual meaning.
std::vector<WORD> EmptyDialogTemplate() {
  std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  auto* d = reinterpret_cast<DLGTEMPLATE*>(t.data());
  d->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_SETFONT | DS_3DLOOK;
  d->dwExtendedStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
  t.push_back(0);  // no menu
  t.push_back(0);  // the dialog class
  t.push_back(0);  // caption set later, in ANSI
  t.push_back(8);  // point size
  for (const char* f = "MS Shell Dlg 2"; *f; ++f) t.push_back(WORD(*f));
  t.push_back(0);
  if (t.size() % 2) t.push_back(0);  // DWORD-aligned end
  return t;
}

HFONT NewFont(int height, int weight, const char* face) {
  return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

// The header's and the file-name label's sizes are pixels at 96 DPI; the
// dialog font's are points.
constexpr int kDialogFontPoints = 8;
constexpr int kHeaderFontHeight = 15;
constexpr int kBoldFontHeight = 11;

struct TKindClass {
  const char* ClassName;
  DWORD Style;
  DWORD ExStyle;
};

// Win32 class and styles of each widget kind; containers are made elsewhere.
TKindClass KindClass(TWidgetKind kind) {
  switch (kind) {
    case wkLabel: return {"STATIC", SS_LEFT, 0};
    case wkImage: return {"STATIC", SS_BITMAP, 0};
    case wkEtchedHorz: return {"STATIC", SS_ETCHEDHORZ, 0};
    case wkEtchedVert: return {"STATIC", SS_ETCHEDVERT, 0};
    case wkButton: return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case wkCheckBox: return {"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case wkEdit: return {"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case wkMemo:
      return {"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case wkListBox:
      return {"LISTBOX", LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
              WS_EX_CLIENTEDGE};
    case wkComboBox:
      return {"COMBOBOX", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP, 0};
    case wkProgressBar: return {PROGRESS_CLASSA, 0, 0};
    default: return {"STATIC", 0, 0};
  }
}

}  // namespace

bool DestDirFromCommandLine(const std::vector<std::string>& args, std::string& folder) {
  if (args.empty() || args[0].compare(0, 2, "-d") != 0) return false;
  folder = args[0].substr(2);
  return true;
}

std::string FormatTwo(const std::string& format, const std::string& first, const std::string& second) {
  std::string out;
  int used = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && used < 2) {
      out += used++ == 0 ? first : second;
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

// The window's messages: one table, hung from the window base.
const TMainDlgForm::TMessageRoute TMainDlgForm::kMessageRoutes[] = {
    {WM_COMMAND, &TMainDlgForm::FormCommand},
    {WM_TIMER, &TMainDlgForm::FormTimer},
    {WM_CLOSE, &TMainDlgForm::FormClose},
    {WM_ACTIVATEAPP, &TMainDlgForm::FormActivateApp},
    {WM_DESTROY, &TMainDlgForm::FormDestroy},
    {WM_MEASUREITEM, &TMainDlgForm::FormMeasureItem},
    {WM_DRAWITEM, &TMainDlgForm::FormDrawItem},
    {WM_CTLCOLORSTATIC, &TMainDlgForm::FormCtlColorStatic},
    {base::kWmDpiChanged, &TMainDlgForm::FormDpiChanged},
    {kWmLoadPictures, &TMainDlgForm::FormLoadPictures},
};

LRESULT TMainDlgForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  for (const TMessageRoute& route : kMessageRoutes)
    if (route.Message == msg) return (this->*route.Handler)(wp, lp);
  return DefaultMessage(msg, wp, lp);
}

TMainDlgForm::TMainDlgForm(HINSTANCE instance, const std::vector<std::string>& args) : instance_(instance) {
  CreateWindowAndWidgets();                   // 1: the frame; a page's controls when it is first needed
  base::StartupMark("window-and-widgets");
  SetWindowTextA(wnd_, kCaption);             // 2; the header panel paints itself opaque (3)
  // 4: the pictures are decoded once the window is up but before its first
  // paint (posted messages come before WM_PAINT): the window shows sooner
  // and its first picture is the same.
  PostMessageA(wnd_, kWmLoadPictures, 0, 0);
  ApplySavedSettings(args);                   // 5-9: what the pages start from
  base::StartupMark("settings");
  StartTimers();                              // 10
  GoToPage(kNoPage, 0);                       // 11
  FormReady = true;                           // 12
  base::StartupMark("first-page");
}

TMainDlgForm::~TMainDlgForm() {
  WaitForInstallRun();  // the worker uses the catalogue and the log list
  if (wnd_) DestroyWindow(wnd_);  // kills the timers first (FormDestroy)
}

void TMainDlgForm::CreateWindowAndWidgets() {
  template_ = EmptyDialogTemplate();
  CreateDialogWnd(instance_, reinterpret_cast<const DLGTEMPLATE*>(template_.data()), nullptr);
  if (!wnd_) return;
  ClientSize(kClientWidth, kClientHeight);
  // Only the close box: no minimise, maximise or size entries in the menu.
  if (HMENU menu = GetSystemMenu(wnd_, FALSE)) {
    for (UINT cmd : {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE}) DeleteMenu(menu, cmd, MF_BYCOMMAND);
  }
  // The small icon from its own small image, and set first: given only the
  // big one, the system would scale that down for the caption itself.
  smallIcon_.reset(static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
  if (smallIcon_) SendMessageA(wnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  if (HICON icon = LoadIconA(instance_, MAKEINTRESOURCEA(1)))
    SendMessageA(wnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  CreateFonts();
  for (int i = 0; i < kWidgetCount; ++i) {
    const TWidgetDef& def = kWidgets[i];
    if (PageOf(def) != kNoPage) continue;
    HWND parent = def.Parent == widNone ? wnd_ : Widget(def.Parent);
    if (HWND w = CreateWidget(def, parent, kNoPage)) widgets_[def.Id] = w;
  }
  pageStart_.DriveMask = TDriveBox::LogicalDriveMask();
  SendMessageA(wnd_, DM_SETDEFID, widNextBtn, 0);
}

// A page's sheet and controls, in table order (its tab order), then what the
// page sets up from the start values.
void TMainDlgForm::MakePage(int page) {
  if (!wnd_ || page < 0 || page >= kPageCount || sheets_[size_t(page)]) return;
  for (int i = 0; i < kWidgetCount; ++i) {
    const TWidgetDef& def = kWidgets[i];
    if (PageOf(def) != page) continue;
    HWND parent = Widget(def.Parent);
    if (HWND w = CreateWidget(def, parent, page)) widgets_[def.Id] = w;
  }
  if (sheets_[size_t(page)]) SetUpMadePage(page);
}

void TMainDlgForm::CreateFonts() {
  const int dpi = Dpi();
  dialogFont_.reset(NewFont(base::FontHeightForDpi(kDialogFontPoints, dpi), FW_NORMAL, "MS Shell Dlg 2"));
  headerFont_.reset(NewFont(-base::ScaledForDpi(kHeaderFontHeight, dpi), FW_BOLD, "Arial"));
  boldFont_.reset(NewFont(-base::ScaledForDpi(kBoldFontHeight, dpi), FW_BOLD, "MS Shell Dlg 2"));
}

HFONT TMainDlgForm::FontOf(const TWidgetDef& def) const {
  return def.Font == wfHeader ? headerFont_.get() : def.Font == wfBold ? boldFont_.get() : dialogFont_.get();
}

INT_PTR TMainDlgForm::FormDpiChanged(WPARAM, LPARAM lp) {
  TakeSuggestedRect(lp);
  Relayout();
  return TRUE;
}

// Everything that depends on the DPI, again from the 96-DPI table: fonts,
// client area, rectangles, the lists' row heights and the labels that size
// themselves to their text.
void TMainDlgForm::Relayout() {
  base::UniqueFont oldFonts[] = {std::move(dialogFont_), std::move(headerFont_), std::move(boldFont_)};
  CreateFonts();
  ClientSize(kClientWidth, kClientHeight);
  for (int i = 0; i < kWidgetCount; ++i) {
    const TWidgetDef& def = kWidgets[i];
    auto made = widgets_.find(def.Id);  // pages not yet made are made at the new DPI
    if (made == widgets_.end() || !made->second) continue;
    HWND w = made->second;
    Place(w, WidgetRect(def));
    if (def.Kind == wkPanel || def.Kind == wkPageControl || def.Kind == wkTabSheet) continue;
    SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(def)), FALSE);
    if (def.Kind == wkLabel && def.W == 0) SetText(def.Id, Text(def.Id));
  }
  if (PageMade(3)) SendMessageA(Widget(widSelCompLstBx), LB_SETITEMHEIGHT, 0, ItemHeight(widSelCompLstBx));
  if (PageMade(2)) {
    SendMessageA(Widget(widDestDirLstBx), LB_SETITEMHEIGHT, 0, ItemHeight(widDestDirLstBx));
    SendMessageA(Widget(widDestDirCmbBx), CB_SETITEMHEIGHT, WPARAM(-1), ItemHeight(widDestDirCmbBx));
    SendMessageA(Widget(widDestDirCmbBx), CB_SETITEMHEIGHT, 0, ItemHeight(widDestDirCmbBx));
  }
  if (PageMade(5)) KeepNameAfterInstallingLabel();
  RedrawWindow(wnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

// "Installing" sizes itself to its text, which in some dialog fonts is wider
// than the table allows before the component's name: the name then moves
// right by what is missing, keeping a space between the two.
void TMainDlgForm::KeepNameAfterInstallingLabel() {
  HWND label = Widget(widInstallingLbl), name = Widget(widInstallingLbl2);
  RECT at = ui::TWindowBase::Pixels(WidgetRect(*WidgetDef(widInstallingLbl2)), name), labelRect{};
  GetWindowRect(label, &labelRect);
  MapWindowPoints(nullptr, GetParent(label), reinterpret_cast<POINT*>(&labelRect), 2);
  SIZE space{};
  {
    base::WindowDc dc(label);
    base::SelectedObject font(dc.get(), dialogFont_.get());
    GetTextExtentPoint32A(dc.get(), " ", 1, &space);
  }
  const int left = std::max<int>(at.left, labelRect.right - 1 + space.cx);
  SetWindowPos(name, nullptr, left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND TMainDlgForm::CreateWidget(const TWidgetDef& def, HWND parent, int page) {
  if (def.Kind == wkPanel || def.Kind == wkPageControl || def.Kind == wkTabSheet) {
    panels_.push_back(std::make_unique<TPanel>(def.Look, wnd_));
    HWND w = panels_.back()->Create(parent, def, instance_);
    if (def.Kind == wkTabSheet && w) {
      panels_.back()->Tag = page;
      sheets_[size_t(page)] = panels_.back().get();
    }
    return w;
  }
  const TKindClass kc = KindClass(def.Kind);
  const RECT r = Pixels(WidgetRect(def), parent);
  HWND w = CreateWindowExA(kc.ExStyle, kc.ClassName, instutils::WithCrLf(def.Text).c_str(),
                           WS_CHILD | WS_VISIBLE | kc.Style | def.Style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, parent, reinterpret_cast<HMENU>(UINT_PTR(def.Id)), instance_, nullptr);
  if (!w) return nullptr;
  SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(def)), FALSE);
  widgets_[def.Id] = w;
  // Sizes itself to its text; an empty one is sized when it gets one.
  if (def.Kind == wkLabel && def.W == 0 && def.Text[0]) SetText(def.Id, def.Text);
  if (def.Kind == wkMemo) {
    SendMessageA(w, EM_LIMITTEXT, 0, 0);
    licenseMemo_.Subclass(w, [this](UINT msg, WPARAM wp, LPARAM lp) { return LicenseMemoMessage(msg, wp, lp); });
  }
  if (def.Checked) SendMessageA(w, BM_SETCHECK, BST_CHECKED, 0);
  if (def.Id == widSelCompLstBx) {
    selCompLstBx_.Subclass(w, [this](UINT msg, WPARAM wp, LPARAM lp) { return SelCompLstBxMessage(msg, wp, lp); });
    selCompLstBx_.ServeAccessible(selCompItems_);
  }
  return w;
}

INT_PTR TMainDlgForm::FormLoadPictures(WPARAM, LPARAM) {
  if (!logoBitmap_ && !logoSmallBitmap_) LoadPictures();
  return TRUE;
}

void TMainDlgForm::LoadPictures() {
  TPngDecoder png;  // one decoder for both pictures
  if (png.LoadFromResource(instance_, "LOGOSMALL")) logoSmallBitmap_.reset(png.CreateBitmap(RGB(255, 255, 255)));
  if (png.LoadFromResource(instance_, "LOGO")) logoBitmap_.reset(png.CreateBitmap(GetSysColor(COLOR_BTNFACE)));
  const struct {
    TWidgetId id;
    HBITMAP bitmap;
  } pictures[] = {{widLogoSmallImage, logoSmallBitmap_.get()}, {widLogoImage, logoBitmap_.get()}};
  for (const auto& p : pictures)
    if (p.bitmap) SendMessageA(Widget(p.id), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(p.bitmap));
}

void TMainDlgForm::ApplySavedSettings(const std::vector<std::string>& args) {
  const TSavedSettings saved = ReadSettings();
  Options = saved.Options;
  if (Options.MainDir.empty() || !instutils::FolderExists(Options.MainDir))
    Options.MainDir = instutils::JoinPath(instutils::SpecialFolder(CSIDL_PROGRAM_FILES), kDefaultFolderName);
  DestDirFromCommandLine(args, Options.MainDir);
  rows_ = components::FillComponentRows(Options.Comps);
  pageStart_.DestDir = Options.MainDir;
  pageStart_.InstallToAll = saved.InstallToAll;
  pageStart_.Launch = saved.Launch;
  LastRunVersion = saved.LastRunVer;
}

void TMainDlgForm::MadeWelcomePage() {
  SetText(widWelcomeLbl, FormatTwo(WidgetDef(widWelcomeLbl)->Text, kProductName, ""));
}

void TMainDlgForm::MadeDestDirPage() {
  folderList_.Attach(Widget(widDestDirLstBx), &driveBox_, [this] { DestDirLstBxChange(); });
  driveBox_.Attach(Widget(widDestDirCmbBx), &folderList_);
  {
    // The edit box keeps the saved or default folder while the list settles.
    settlingDestDir_ = true;
    driveBox_.BuildEntries(pageStart_.DriveMask);
    SetText(widDestDirEdt, pageStart_.DestDir);
    ShowDestDirInFolderList(pageStart_.DestDir);
    settlingDestDir_ = false;
  }
  // Drives that came or went since the wizard was built, followed as the drive timer would have.
  driveBox_.RefreshDrives();
}

void TMainDlgForm::MadeSelCompPage() {
  SetText(widSelCompLbl, kSelCompText);
  HWND list = Widget(widSelCompLstBx);
  for (const components::TComponentRow& row : rows_)
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(components::ComponentName(row.Component)));
  SendMessageA(list, LB_SETCURSEL, components::kInitialHighlightedRow, 0);
}

void TMainDlgForm::MadeStartPage() { SetChecked(widInstallToAllChkBx, pageStart_.InstallToAll); }

void TMainDlgForm::MadeInstallingPage() { KeepNameAfterInstallingLabel(); }

void TMainDlgForm::MadeFinishPage() {
  SetText(widFinishLbl, FormatTwo(WidgetDef(widFinishLbl)->Text, kProductName, ""));
  SetChecked(widFinishChkBx, pageStart_.Launch);
}

void TMainDlgForm::StartTimers() {
  SetTimer(wnd_, kProgressTimer, kProgressInterval, nullptr);
  SetTimer(wnd_, kDriveTimer, kDriveInterval, nullptr);
  timersStarted_ = true;
}

int TMainDlgForm::ShowModal() {
  if (!wnd_) return 2;
  CentreOnScreen();
  ShowWindow(wnd_, SW_SHOW);
  SetForegroundWindow(wnd_);
  ModalResult = 0;
  while (ModalResult == 0) {
    MSG msg;
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {  // WM_QUIT or a broken queue: end as cancelled, pass the quit on
      if (got == 0) PostQuitMessage(int(msg.wParam));
      ModalResult = 2;
      break;
    }
    if (!IsDialogMessageA(wnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (ModalResult != 0 && !FormCloseQuery()) ModalResult = 0;
  }
  ShowWindow(wnd_, SW_HIDE);
  return ModalResult;
}

HWND TMainDlgForm::Widget(TWidgetId id) const {
  auto it = widgets_.find(id);
  if (it != widgets_.end()) return it->second;
  const TWidgetDef* def = WidgetDef(id);
  const int page = def ? PageOf(*def) : kNoPage;
  if (page == kNoPage || PageMade(page)) return nullptr;
  const_cast<TMainDlgForm*>(this)->MakePage(page);  // made on first use: see the declaration
  it = widgets_.find(id);
  return it == widgets_.end() ? nullptr : it->second;
}

HWND TMainDlgForm::PageSheet(int page) const {
  if (page < 0 || page >= kPageCount) return nullptr;
  if (!PageMade(page)) const_cast<TMainDlgForm*>(this)->MakePage(page);
  const TPanel* sheet = sheets_[size_t(page)];
  return sheet ? sheet->Handle() : nullptr;
}

int TMainDlgForm::CurrentPage() const {
  for (TPanel* sheet : sheets_)
    if (sheet && IsWindowVisible(sheet->Handle())) return sheet->Tag;
  // Before the window is shown nothing is visible: the style bit still tells.
  for (TPanel* sheet : sheets_)
    if (sheet && (GetWindowLongPtrA(sheet->Handle(), GWL_STYLE) & WS_VISIBLE)) return sheet->Tag;
  return kNoPage;
}

bool TMainDlgForm::IsPortableInstall() const { return components::IsPortableInstall(Options.MainDir); }

LRESULT TMainDlgForm::LicenseMemoMessage(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT r = licenseMemo_.DefaultMessage(msg, wp, lp);
  // A read-only text: Enter and Esc stay the wizard's Next and Cancel, and
  // arriving by Tab does not select the whole licence.
  if (msg == WM_GETDLGCODE) r &= ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | DLGC_HASSETSEL);
  return r;
}

INT_PTR TMainDlgForm::FormCommand(WPARAM wp, LPARAM) {
  const WORD id = LOWORD(wp), code = HIWORD(wp);
  if (id == widDestDirLstBx && code == LBN_SELCHANGE) {
    DestDirLstBxClick();
    return TRUE;
  }
  if (id == widDestDirCmbBx && code == CBN_SELCHANGE) {
    DestDirCmbBxChange();
    return TRUE;
  }
  if (code != BN_CLICKED) return FALSE;
  switch (id) {
    case widBackBtn:
    case widNextBtn:
      BNClick(Widget(TWidgetId(id)));
      return TRUE;
    case widCancelBtn:  // the button, or Esc through the dialog manager
      if (IsWindowEnabled(Widget(widCancelBtn))) CancelBtnClick();
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR TMainDlgForm::FormTimer(WPARAM wp, LPARAM) {
  if (wp == kProgressTimer)
    InstallProgressTimer();
  else if (PageMade(2))
    driveBox_.RefreshDrives();
  else if (TDriveBox::LogicalDriveMask() != pageStart_.DriveMask)
    MakePage(2);  // the box follows the change as it would have from the start
  return TRUE;
}

INT_PTR TMainDlgForm::FormClose(WPARAM, LPARAM) {
  // Close box and Alt+F4 end the modal run through the close query, also on
  // the last page where Cancel is disabled.
  ModalResult = 2;
  return TRUE;
}

INT_PTR TMainDlgForm::FormActivateApp(WPARAM wp, LPARAM) {
  if (wp && CurrentPage() == 3) UpdateDiskSpace();
  return FALSE;
}

INT_PTR TMainDlgForm::FormDestroy(WPARAM, LPARAM) {
  if (timersStarted_) {
    KillTimer(wnd_, kProgressTimer);
    KillTimer(wnd_, kDriveTimer);
    timersStarted_ = false;
  }
  return FALSE;
}

INT_PTR TMainDlgForm::FormCtlColorStatic(WPARAM wp, LPARAM lp) {
  // The read-only licence text reads as a document, not as a disabled box.
  if (reinterpret_cast<HWND>(lp) != Widget(widLicenseMemo)) return FALSE;
  HDC dc = reinterpret_cast<HDC>(wp);
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
}

bool TMainDlgForm::Checked(TWidgetId id) const {
  return SendMessageA(Widget(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TMainDlgForm::SetChecked(TWidgetId id, bool on) {
  SendMessageA(Widget(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string TMainDlgForm::Text(TWidgetId id) const {
  HWND w = Widget(id);
  const int n = GetWindowTextLengthA(w);
  std::string s(size_t(n) + 1, '\0');
  s.resize(size_t(GetWindowTextA(w, &s[0], n + 1)));
  return s;
}

void TMainDlgForm::SetText(TWidgetId id, const std::string& text) {
  HWND w = Widget(id);
  const std::string shown = instutils::WithCrLf(text);
  const TWidgetDef* def = WidgetDef(id);
  if (def && def->Kind == wkLabel && def->W == 0) {  // auto-sized label: fit the text first
    RECT r = {0, 0, 0, 0};
    {
      base::WindowDc dc(w);
      base::SelectedObject font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(w, WM_GETFONT, 0, 0)));
      DrawTextA(dc.get(), shown.empty() ? " " : shown.c_str(), -1, &r, DT_CALCRECT | DT_LEFT);
    }
    Resize(w, r.right + 1, r.bottom, ui::luPixels);  // a text extent: pixels already
  }
  SetWindowTextA(w, shown.c_str());
  InvalidateRect(w, nullptr, TRUE);
}

void TMainDlgForm::Enable(TWidgetId id, bool on) { EnableWindow(Widget(id), on ? TRUE : FALSE); }

}  // namespace wizard
