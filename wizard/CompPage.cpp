// The component page: the owner-drawn check list, its check clicks and the
// disk-space figures; and the routing of the owner-drawn lists' measuring and
// drawing.
#include <algorithm>

#include "base/Dpi.h"

#include "instutils/InstUtils.h"
#include "wizard/MainDlg.h"

namespace wizard {

namespace {

constexpr char kUnknownSpace[] = "Unknown";

int FontHeight(HWND wnd, HFONT font) {
  base::WindowDc dc(wnd);
  base::SelectedObject selected(dc.get(), font);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc.get(), &tm);
  return tm.tmHeight;
}

SIZE TextSize(HDC dc, const std::string& text) {
  SIZE s{};
  GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &s);
  return s;
}

}  // namespace

// The system's check mark size is for the system's DPI; the window may be
// shown at another.
int TMainDlgForm::CheckBoxSize() const {
  return MulDiv(GetSystemMetrics(SM_CXMENUCHECK), Dpi(), base::SystemDpi());
}

int TMainDlgForm::CheckBoxWidth() const { return CheckBoxSize() + Scaled(4); }

int TMainDlgForm::ItemHeight(TWidgetId list) const {
  const int font = FontHeight(wnd_, dialogFont_.get());
  switch (list) {
    case widSelCompLstBx: return std::max(font, CheckBoxSize()) + Scaled(3);
    case widDestDirLstBx: return folderList_.ItemHeight(font);
    case widDestDirCmbBx: return driveBox_.ItemHeight(font);
    default: return font + Scaled(4);
  }
}

INT_PTR TMainDlgForm::FormMeasureItem(WPARAM, LPARAM lp) {
  auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
  m->itemHeight = UINT(ItemHeight(TWidgetId(m->CtlID)));
  SetDialogResult(TRUE);
  return TRUE;
}

INT_PTR TMainDlgForm::FormDrawItem(WPARAM, LPARAM lp) {
  const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
  switch (item.CtlID) {
    case widSelCompLstBx: SelCompLstBxDrawItem(item); break;
    case widDestDirLstBx: folderList_.DrawItem(item); break;
    case widDestDirCmbBx: driveBox_.DrawItem(item); break;
    default: break;
  }
  SetDialogResult(TRUE);
  return TRUE;
}

void TMainDlgForm::SelCompLstBxDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.itemID == UINT(-1) || item.itemID >= rows_.size()) return;
  const components::TComponentRow& row = rows_[item.itemID];
  HDC dc = item.hDC;
  // The list's own part: the check box at the row's left.
  RECT check = item.rcItem;
  check.right = check.left + CheckBoxWidth();
  FillRect(dc, &check, GetSysColorBrush(COLOR_WINDOW));
  const int box = CheckBoxSize();
  RECT boxRect = {check.left + Scaled(2), check.top + (check.bottom - check.top - box) / 2, 0, 0};
  boxRect.right = boxRect.left + box;
  boxRect.bottom = boxRect.top + box;
  UINT state = DFCS_BUTTONCHECK;
  if (row.State == components::cbChecked) state |= DFCS_CHECKED;
  if (row.State == components::cbGrayed) state = DFCS_BUTTON3STATE | DFCS_CHECKED;
  DrawFrameControl(dc, &boxRect, DFC_BUTTON, state);

  // The row itself: background, name, size.
  RECT r = item.rcItem;
  r.left = check.right;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  COLORREF colour = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  if (row.Component == 0) colour = GetSysColor(COLOR_GRAYTEXT);
  SetTextColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);
  base::SelectedObject font(dc, dialogFont_.get());
  const std::string name = components::ComponentName(row.Component);
  const int height = r.bottom - r.top;
  const SIZE nameSize = TextSize(dc, name);
  const int pad = Scaled(2);
  TextOutA(dc, r.left + pad, r.top + (height - nameSize.cy) / 2, name.c_str(), int(name.size()));
  const int32_t bytes = int32_t(SendMessageA(Widget(widSelCompLstBx), LB_GETITEMDATA, item.itemID, 0));
  const std::string size = instutils::FormatSize(instutils::SizeOnDisk(Options.MainDir, bytes));
  const SIZE sizeSize = TextSize(dc, size);
  TextOutA(dc, r.right - pad - sizeSize.cx, r.top + (height - sizeSize.cy) / 2, size.c_str(), int(size.size()));
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
}

LRESULT TMainDlgForm::SelCompLstBxMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SelCompLstBxMouseDown(short(LOWORD(lp)), short(HIWORD(lp)));
      break;
    case WM_CHAR:
      if (wp == ' ') {  // Space toggles; the list's own type-ahead must not see it
        SelCompLstBxKeyToggle();
        return 0;
      }
      break;
    default:
      break;
  }
  return selCompLstBx_.DefaultMessage(msg, wp, lp);
}

void TMainDlgForm::SelCompLstBxMouseDown(int x, int y) {
  if (x >= CheckBoxWidth()) return;
  const LRESULT hit = SendMessageA(Widget(widSelCompLstBx), LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
  if (HIWORD(hit) != 0) return;  // below the last row
  SelCompLstBxClickCheck(int(LOWORD(hit)));
}

void TMainDlgForm::SelCompLstBxKeyToggle() {
  const LRESULT row = SendMessageA(Widget(widSelCompLstBx), LB_GETCURSEL, 0, 0);
  if (row != LB_ERR) SelCompLstBxClickCheck(int(row));
}

void TMainDlgForm::SelCompLstBxClickCheck(int row) {
  if (row < 0 || row >= int(rows_.size())) return;
  const components::TComponentRows before = rows_;
  components::FlipComponentRow(rows_, row);
  if (!components::RestoreProgramRow(rows_)) UpdateDiskSpace();
  InvalidateRect(Widget(widSelCompLstBx), nullptr, FALSE);
  // A screen reader learns of a check only from the event: nothing else it reads has changed.
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].State != before[i].State)
      ui::NotifyItemEvent(Widget(widSelCompLstBx), EVENT_OBJECT_STATECHANGE, int(i));
}

std::string TMainDlgForm::SelCompSizeText(int row) const {
  const int32_t bytes = int32_t(SendMessageA(Widget(widSelCompLstBx), LB_GETITEMDATA, WPARAM(row), 0));
  return instutils::FormatSize(instutils::SizeOnDisk(Options.MainDir, bytes));
}

std::string TMainDlgForm::TComponentListItems::ItemName(int item) const {
  const auto& rows = form_.rows_;
  return item >= 0 && size_t(item) < rows.size() ? components::ComponentName(rows[size_t(item)].Component) : "";
}

std::string TMainDlgForm::TComponentListItems::ItemValue(int item) const {
  return item >= 0 && size_t(item) < form_.rows_.size() ? form_.SelCompSizeText(item) : std::string();
}

LONG TMainDlgForm::TComponentListItems::ItemState(int item) const {
  if (item < 0 || size_t(item) >= form_.rows_.size()) return 0;
  switch (form_.rows_[size_t(item)].State) {
    case components::cbChecked: return STATE_SYSTEM_CHECKED;
    case components::cbGrayed: return STATE_SYSTEM_CHECKED | STATE_SYSTEM_UNAVAILABLE;  // required
    default: return 0;
  }
}

void TMainDlgForm::UpdateDiskSpace() {
  HWND list = Widget(widSelCompLstBx);
  std::vector<int32_t> sizes;
  for (size_t i = 0; i < rows_.size(); ++i) sizes.push_back(int32_t(SendMessageA(list, LB_GETITEMDATA, i, 0)));
  const int32_t required = components::RequiredBytes(rows_, sizes);
  SetText(widSelCompDiskSpaceReqLbl2, instutils::FormatSize(required));
  int64_t available = 0;
  const bool known = components::AvailableSpace(Options.MainDir, available);
  SetText(widSelCompDiskSpaceAvailLbl2, known ? instutils::FormatSize(available) : kUnknownSpace);
  Enable(widNextBtn, components::SpaceSuffices(known, available, required));
}

}  // namespace wizard
