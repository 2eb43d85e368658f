// The wizard window described as data: every widget with its kind, parent,
// rectangle, text and style, and the per-page table the navigation runs on.
#pragma once
#include <windows.h>

#include <cstdint>

namespace wizard {

// Control IDs; also the index into nothing: look widgets up with WidgetDef().
enum TWidgetId : uint16_t {
  widNone = 0,
  widNextBtn = IDOK,        // the dialog manager's Enter
  widCancelBtn = IDCANCEL,  // the dialog manager's Esc
  widBackBtn = 100,
  widTopPanel,
  widTopLbl,
  widLogoSmallImage,
  widLogoPanel,
  widLogoImage,
  widLogoLine,
  widSeparator,
  widPgCtrl,
  widWelcomeTabSheet,
  widWelcomeLbl,
  widLicenseTabSheet,
  widLicenseLbl,
  widLicenseMemo,
  widLicenseChkBx,
  widDestDirTabSheet,
  widDestDirLbl,
  widDestDirEdt,
  widDestDirLstBx,
  widDestDirCmbBx,
  widSelCompTabSheet,
  widSelCompLbl,
  widSelCompLstBx,
  widSelCompPanel,
  widSelCompDiskSpaceReqLbl,
  widSelCompDiskSpaceReqLbl2,
  widSelCompDiskSpaceAvailLbl,
  widSelCompDiskSpaceAvailLbl2,
  widStartTabSheet,
  widStartLbl,
  widInstallToAllChkBx,
  widInstallingTabSheet,
  widInstallingLbl,
  widInstallingLbl2,
  widInstallingWaitLbl,
  widInstallingProgressBar,
  widAssocTabSheet,
  widAssocLbl,
  widAssocChkBx1,
  widAssocChkBx2,
  widAssocChkBx3,
  widAssocChkBx4,
  widFinishTabSheet,
  widFinishLbl,
  widFinishChkBx,
  widButtonBar,
};

enum TWidgetKind : uint8_t {
  wkPanel,        // container: background, optional bevel
  wkPageControl,  // container of the sheets, no tab headers
  wkTabSheet,     // one page; its tag is its page number
  wkLabel,        // static text; width 0: sizes itself to its text
  wkImage,        // static bitmap, drawn unscaled at its top-left
  wkEtchedHorz,
  wkEtchedVert,
  wkButton,
  wkCheckBox,
  wkEdit,
  wkMemo,         // read-only multi-line edit with a vertical scroll bar
  wkListBox,      // owner-drawn, fixed rows, keeps its strings
  wkComboBox,     // owner-drawn drop-down list, keeps its strings
  wkProgressBar,
};

// Font of a widget's text.
enum TWidgetFont : uint8_t { wfDialog, wfHeader, wfBold };

// Looks of a container.
enum TPanelLook : uint8_t { plPlain, plWhiteBevelled, plBevelled };

struct TWidgetDef {
  const char* Name;
  TWidgetKind Kind;
  TWidgetId Id;
  TWidgetId Parent;  // widNone: the window itself
  int X, Y, W, H;    // in the parent's client area; H 0: the kind's natural height
  const char* Text;
  DWORD Style;       // added to the kind's own styles
  TWidgetFont Font;
  TPanelLook Look;   // containers only
  bool Checked = false;  // check boxes: checked from the start
};

// In creation order: parents first, then their children, in tab order.
extern const TWidgetDef kWidgets[];
extern const int kWidgetCount;
const TWidgetDef* WidgetDef(TWidgetId id);

constexpr int kClientWidth = 492;
constexpr int kClientHeight = 351;
constexpr int kPageCount = 8;  // sheets 0..7; 8 is the finish step
constexpr int kFinishStep = 8;
constexpr int kNoPage = 255;   // the "from" of the first page shown

extern const char* const PageTitles[kPageCount];

// Natural heights of the kinds the layout leaves open.
constexpr int kCheckBoxHeight = 17;
constexpr int kEditHeight = 21;
constexpr int kComboBoxDropHeight = 200;

// The widget's rectangle in its parent, at 96 DPI like the whole table; the
// kind's natural height where the table leaves it open.
RECT WidgetRect(const TWidgetDef& def);

// The page whose sheet is or holds the widget (sheets count in table order);
// kNoPage for the frame around the pages.
int PageOf(const TWidgetDef& def);

}  // namespace wizard
