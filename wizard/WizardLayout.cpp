#include "wizard/WizardLayout.h"

#include <commctrl.h>
#include "contract/Names.h"

#include "resources/Version.h"

namespace wizard {

namespace {
// The page container's inner area: its frame lies under the panels around it.
constexpr int kSheetX = 4, kSheetY = 4, kSheetW = 367, kSheetH = 260;
#define SHEET(name, id) {name, wkTabSheet, id, widPgCtrl, kSheetX, kSheetY, kSheetW, kSheetH, "", 0, wfDialog, plPlain}
}  // namespace

// Order matters twice: containers before their children, and within a parent
// the order is the tab order (and the stacking order: earlier lies on top).
// The panels above the page container come first so that they lie on top of
// its frame; the picture strip reaches into the button bar, which lies on top
// of it and under its own buttons. Tab from Cancel still wraps to the page.
const TWidgetDef kWidgets[] = {
    {"TopPanel", wkPanel, widTopPanel, widNone, 0, 0, 492, 46, "", 0, wfDialog, plWhiteBevelled},
    {"TopLbl", wkLabel, widTopLbl, widTopPanel, 20, 14, 0, 0, "", SS_NOPREFIX, wfHeader, plPlain},
    {"LogoSmallImage", wkImage, widLogoSmallImage, widTopPanel, 440, 6, 34, 34, "", 0, wfDialog, plPlain},
    {"Separator", wkEtchedHorz, widSeparator, widNone, 1, 306, 491, 2, "", 0, wfDialog, plPlain},
    {"BackBtn", wkButton, widBackBtn, widNone, 210, 319, 85, 22, "", 0, wfDialog, plPlain},
    {"NextBtn", wkButton, widNextBtn, widNone, 295, 319, 85, 22, "", BS_DEFPUSHBUTTON, wfDialog, plPlain},
    {"CancelBtn", wkButton, widCancelBtn, widNone, 392, 319, 85, 22, "", 0, wfDialog, plPlain},
    {"ButtonBar", wkPanel, widButtonBar, widNone, 0, 307, 492, 44, "", 0, wfDialog, plPlain},
    {"LogoPanel", wkPanel, widLogoPanel, widNone, 0, 46, 123, 301, "", 0, wfDialog, plPlain},
    {"LogoImage", wkImage, widLogoImage, widLogoPanel, 1, 0, 120, 260, "", 0, wfDialog, plPlain},
    {"LogoLine", wkEtchedVert, widLogoLine, widLogoPanel, 121, 0, 2, 301, "", 0, wfDialog, plPlain},
    {"PgCtrl", wkPageControl, widPgCtrl, widNone, 120, 41, 375, 268, "", 0, wfDialog, plPlain},

    SHEET("WelcomeTabSheet", widWelcomeTabSheet),
    {"WelcomeLbl", wkLabel, widWelcomeLbl, widWelcomeTabSheet, 12, 27, 349, 115,
     "This program will install %s (version " VELLUMAR_VERSION_TEXT "%s) on your computer.\r\r\r\r\r"
     "Click Next to continue. Click Cancel to quit Setup.",
     0, wfDialog, plPlain},

    SHEET("LicenseTabSheet", widLicenseTabSheet),
    {"LicenseLbl", wkLabel, widLicenseLbl, widLicenseTabSheet, 12, 7, 0, 0,
     "Please read the following License Agreement:", 0, wfDialog, plPlain},
    {"LicenseMemo", wkMemo, widLicenseMemo, widLicenseTabSheet, 12, 25, 345, 207, "", 0, wfDialog, plPlain},
    // Check boxes are as wide as their text needs in Tahoma 8 pt, the dialog
    // font since Windows 2000; narrower, their last words were cut off.
    {"LicenseChkBx", wkCheckBox, widLicenseChkBx, widLicenseTabSheet, 12, 237, 345, 0,
     "I &accept all the terms of the above License Agreement", 0, wfDialog, plPlain, true},

    SHEET("DestDirTabSheet", widDestDirTabSheet),
    // Room for two lines, as on the component page: in Tahoma 8 pt the text
    // is wider than the sheet.
    {"DestDirLbl", wkLabel, widDestDirLbl, widDestDirTabSheet, 11, 7, 345, 30,
     "Specify the &folder where you want to install " PRODUCT_NAME ":", 0, wfDialog, plPlain},
    {"DestDirEdt", wkEdit, widDestDirEdt, widDestDirTabSheet, 11, 43, 345, 0, "", 0, wfDialog, plPlain},
    {"DestDirLstBx", wkListBox, widDestDirLstBx, widDestDirTabSheet, 11, 65, 345, 157, "", 0, wfDialog, plPlain},
    {"DestDirCmbBx", wkComboBox, widDestDirCmbBx, widDestDirTabSheet, 11, 225, 345, 0, "", 0, wfDialog, plPlain},

    SHEET("SelCompTabSheet", widSelCompTabSheet),
    {"SelCompLbl", wkLabel, widSelCompLbl, widSelCompTabSheet, 11, 7, 345, 30, "", 0, wfDialog, plPlain},
    {"SelCompLstBx", wkListBox, widSelCompLstBx, widSelCompTabSheet, 11, 43, 345, 148, "", 0, wfDialog, plPlain},
    {"SelCompPanel", wkPanel, widSelCompPanel, widSelCompTabSheet, 11, 200, 345, 49, "", 0, wfDialog, plBevelled},
    {"SelCompDiskSpaceReqLbl", wkLabel, widSelCompDiskSpaceReqLbl, widSelCompPanel, 8, 8, 0, 0,
     "Required disk space:", 0, wfDialog, plPlain},
    {"SelCompDiskSpaceReqLbl2", wkLabel, widSelCompDiskSpaceReqLbl2, widSelCompPanel, 185, 8, 150, 13, "",
     SS_RIGHT | SS_NOPREFIX, wfDialog, plPlain},
    {"SelCompDiskSpaceAvailLbl", wkLabel, widSelCompDiskSpaceAvailLbl, widSelCompPanel, 8, 25, 0, 0,
     "Available disk space:", 0, wfDialog, plPlain},
    {"SelCompDiskSpaceAvailLbl2", wkLabel, widSelCompDiskSpaceAvailLbl2, widSelCompPanel, 185, 25, 150, 13, "",
     SS_RIGHT | SS_NOPREFIX, wfDialog, plPlain},

    SHEET("StartTabSheet", widStartTabSheet),
    {"StartLbl", wkLabel, widStartLbl, widStartTabSheet, 11, 7, 345, 58,
     "You are now ready to install " PRODUCT_NAME ".\r\r"
     "Click Next to begin installation. Click Back if you want to review or change installation settings.",
     0, wfDialog, plPlain},
    {"InstallToAllChkBx", wkCheckBox, widInstallToAllChkBx, widStartTabSheet, 11, 209, 345, 0,
     "Install for &anyone who uses this computer", 0, wfDialog, plPlain},

    SHEET("InstallingTabSheet", widInstallingTabSheet),
    {"InstallingLbl", wkLabel, widInstallingLbl, widInstallingTabSheet, 11, 170, 0, 0, "Installing", 0, wfDialog,
     plPlain},
    {"InstallingLbl2", wkLabel, widInstallingLbl2, widInstallingTabSheet, 58, 170, 0, 0, "", 0, wfBold, plPlain},
    {"InstallingWaitLbl", wkLabel, widInstallingWaitLbl, widInstallingTabSheet, 290, 170, 0, 0, "Please wait...", 0,
     wfDialog, plPlain},
    {"InstallingProgressBar", wkProgressBar, widInstallingProgressBar, widInstallingTabSheet, 11, 190, 345, 16, "", 0,
     wfDialog, plPlain},

    SHEET("AssocTabSheet", widAssocTabSheet),
    {"AssocLbl", wkLabel, widAssocLbl, widAssocTabSheet, 11, 7, 320, 32,
     "Please check the document types that you want to associate with " PRODUCT_NAME ":", 0, wfDialog,
     plPlain},
    {"AssocChkBx1", wkCheckBox, widAssocChkBx1, widAssocTabSheet, 40, 76, 110, 0, "RTF Documents", 0, wfDialog,
     plPlain},
    {"AssocChkBx2", wkCheckBox, widAssocChkBx2, widAssocTabSheet, 40, 103, 169, 0, "Encrypted COD Documents", 0,
     wfDialog, plPlain},
    {"AssocChkBx3", wkCheckBox, widAssocChkBx3, widAssocTabSheet, 40, 130, 173, 0, "MS Word DOC Documents", 0,
     wfDialog, plPlain},
    {"AssocChkBx4", wkCheckBox, widAssocChkBx4, widAssocTabSheet, 40, 157, 180, 0, "MS Word DOCX Documents", 0,
     wfDialog, plPlain},

    SHEET("FinishTabSheet", widFinishTabSheet),
    {"FinishLbl", wkLabel, widFinishLbl, widFinishTabSheet, 11, 7, 345, 150,
     "%s " VELLUMAR_VERSION_TEXT "%s has been successfully installed on your system.\r\rClick Finish to exit this Setup.", 0,
     wfDialog, plPlain},
    {"FinishChkBx", wkCheckBox, widFinishChkBx, widFinishTabSheet, 40, 190, 220, 0,
     "&Launch " PRODUCT_NAME, 0, wfDialog, plPlain},
};
#undef SHEET

const int kWidgetCount = int(sizeof(kWidgets) / sizeof(kWidgets[0]));

const TWidgetDef* WidgetDef(TWidgetId id) {
  for (const TWidgetDef& w : kWidgets)
    if (w.Id == id) return &w;
  return nullptr;
}

RECT WidgetRect(const TWidgetDef& def) {
  int h = def.H;
  if (h == 0) h = def.Kind == wkCheckBox ? kCheckBoxHeight : def.Kind == wkEdit ? kEditHeight
                  : def.Kind == wkComboBox ? kComboBoxDropHeight : 13;
  return {def.X, def.Y, def.X + def.W, def.Y + h};
}

int PageOf(const TWidgetDef& def) {
  const TWidgetDef* w = &def;
  while (w && w->Kind != wkTabSheet) w = w->Parent == widNone ? nullptr : WidgetDef(w->Parent);
  if (!w) return kNoPage;
  int page = 0;
  for (const TWidgetDef* d = kWidgets; d != w; ++d)
    if (d->Kind == wkTabSheet) ++page;
  return page;
}

const char* const PageTitles[kPageCount] = {
    "Welcome to the " PRODUCT_EDITION " Setup",
    "License Agreement",
    "Choose Destination Folder",
    "Select Components",
    "Ready to Install",
    "Installing",
    "Associate With Document Types",
    "Installation Complete",
};

}  // namespace wizard
