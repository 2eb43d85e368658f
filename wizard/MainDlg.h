// The setup's one window: the wizard with its header, picture strip, eight
// pages and the Back, Next and Cancel buttons. It is built from the widget
// table, reads the saved settings and the command line while it is built, and
// changes pages only through GoToPage.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/WinHandles.h"
#include "components/Components.h"
#include "payload/InstallRun.h"
#include "registration/Settings.h"
#include "ui/Window.h"
#include "wizard/DestDirPage.h"
#include "wizard/Panels.h"
#include "wizard/WizardLayout.h"

namespace wizard {


// The destination preset by the first argument "-d<folder>" (exactly "-d",
// case-sensitive); false when the first argument is no such switch.
bool DestDirFromCommandLine(const std::vector<std::string>& args, std::string& folder);

// "%s" in format replaced by first, then second; nothing else is interpreted.
std::string FormatTwo(const std::string& format, const std::string& first, const std::string& second);

class TMainDlgForm : public ui::TWindowBase, private TQuestionAsker {
 public:
  // args: the command-line arguments after the program name.
  TMainDlgForm(HINSTANCE instance, const std::vector<std::string>& args);
  ~TMainDlgForm() override;

  // Shows the window centred and runs its messages until the modal result is
  // set and the close query agrees; returns the result (1 completed, 2 not).
  int ShowModal();

  // A page's controls are made when the page or one of them is first asked
  // for, so both lookups may make them; the wizard's state is the same as if
  // they had been there from the start.
  HWND Widget(TWidgetId id) const;
  HWND PageSheet(int page) const;  // null when no sheet carries the number
  bool PageMade(int page) const { return page >= 0 && page < kPageCount && sheets_[size_t(page)] != nullptr; }
  int CurrentPage() const;         // the visible sheet's tag

  // Navigation.
  void GoToPage(int from, int to);
  void BNClick(HWND button);  // Back or Next
  void CancelBtnClick();
  bool FormCloseQuery();

  // The component page.
  void UpdateDiskSpace();
  void SelCompLstBxClickCheck(int row);
  const components::TComponentRows& ComponentRows() const { return rows_; }

  // The destination page.
  void NormaliseDestDir();
  void DestDirLstBxChange();  // the folder list's current folder changed
  void DestDirLstBxClick();   // an entry picked by mouse or keyboard
  void DestDirCmbBxChange();  // a drive picked
  char CurrentDrive() const { return PageSheet(2), driveBox_.Drive(); }
  const std::string& ListedFolder() const { return PageSheet(2), folderList_.Folder(); }

  // Portable when the destination lies on a drive that can be carried away;
  // asked afresh on every call.
  bool IsPortableInstall() const;

  // What the saved settings are made of when the wizard has closed.
  TSettingsToSave SettingsToSave() const;

  // The install run's progress, questions and end, on the progress timer.
  void InstallProgressTimer();
  uint8_t InstallState() const { return InstallRun ? InstallRun->State() : uint8_t(tsIdle); }
  // After the wizard: stops a worker that is still going and waits for it.
  void WaitForInstallRun();

  TOptions Options;
  components::TComponentSet ComponentSet = 0;
  int32_t LastRunVersion = kAbsentNumber;
  double SharedDataStamp = 0;  // written to install_stamp by the plan
  std::unique_ptr<TInstallRun> InstallRun;
  bool QuitConfirmed = false;
  bool FormReady = false;
  int ModalResult = 0;

 private:
  struct TMessageRoute {
    UINT Message;
    INT_PTR (TMainDlgForm::*Handler)(WPARAM, LPARAM);
  };
  struct TPageDef;
  static const TMessageRoute kMessageRoutes[];
  static const TPageDef kPages[kPageCount + 1];

  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  // Construction, in order.
  void CreateWindowAndWidgets();
  void CreateFonts();  // at the window's DPI
  HFONT FontOf(const TWidgetDef& def) const;
  void Relayout();
  void KeepNameAfterInstallingLabel();
  HWND CreateWidget(const TWidgetDef& def, HWND parent, int page);
  void MakePage(int page);
  void SetUpMadePage(int page);  // runs the page table's Made
  void LoadPictures();
  void ApplySavedSettings(const std::vector<std::string>& args);
  void ShowDestDirInFolderList(const std::string& folder);
  void StartTimers();

  // What each page sets up once its controls are made (the page table's Made).
  void MadeWelcomePage();
  void MadeDestDirPage();
  void MadeSelCompPage();
  void MadeStartPage();
  void MadeInstallingPage();
  void MadeFinishPage();

  // Message handlers.
  INT_PTR FormCommand(WPARAM wp, LPARAM lp);
  INT_PTR FormTimer(WPARAM wp, LPARAM lp);
  INT_PTR FormClose(WPARAM wp, LPARAM lp);
  INT_PTR FormActivateApp(WPARAM wp, LPARAM lp);
  INT_PTR FormDestroy(WPARAM wp, LPARAM lp);
  INT_PTR FormMeasureItem(WPARAM wp, LPARAM lp);
  INT_PTR FormDrawItem(WPARAM wp, LPARAM lp);
  INT_PTR FormCtlColorStatic(WPARAM wp, LPARAM lp);
  INT_PTR FormDpiChanged(WPARAM wp, LPARAM lp);
  INT_PTR FormLoadPictures(WPARAM wp, LPARAM lp);

  // Page entry work; false stays on the page being left.
  bool EnterLicensePage(int from);
  bool EnterDestDirPage(int from);
  bool EnterSelCompPage(int from);
  bool FixDestDir();
  bool EnterStartPage(int from);
  bool EnterInstallingPage(int from);
  bool EnterAssocPage(int from);
  bool EnterFinishPage(int from);
  bool FinishStep(int from);
  void StartInstallRun();
  int32_t Ask(const std::string& text, uint8_t dlgType, uint16_t buttons);
  // The questions of the extraction (the licence here, the run's files
  // through its Poll on the progress timer), on the wizard's thread.
  TFileAnswer CannotWrite(const std::string& target) override;
  void RunFailed(const std::string& text) override;
  bool LoadLicense();
  void SetButtons(int page);
  bool CanKeepFocus(HWND focus) const;  // false: the focus is ours and on nothing the user sees
  void ShowSheet(int page);
  void SetHeader(int page);

  // The component list.
  // What screen readers read of it: the rows as check buttons, the program's
  // own row checked and unavailable, each with the size drawn beside it.
  class TComponentListItems : public ui::TAccessibleList {
   public:
    explicit TComponentListItems(const TMainDlgForm& form) : form_(form) {}
    std::string ListName() const override { return "Components"; }
    std::string ItemName(int item) const override;
    std::string ItemValue(int item) const override;
    LONG ItemRole(int) const override { return ROLE_SYSTEM_CHECKBUTTON; }
    LONG ItemState(int item) const override;

   private:
    const TMainDlgForm& form_;
  };
  std::string SelCompSizeText(int row) const;
  void SelCompLstBxDrawItem(const DRAWITEMSTRUCT& item);
  void SelCompLstBxMouseDown(int x, int y);
  void SelCompLstBxKeyToggle();
  LRESULT SelCompLstBxMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT LicenseMemoMessage(UINT msg, WPARAM wp, LPARAM lp);
  int CheckBoxSize() const;   // the drawn box, at the window's DPI
  int CheckBoxWidth() const;  // the row's part left of the name
  int ItemHeight(TWidgetId list) const;  // an owner-drawn list's rows

  bool Checked(TWidgetId id) const;
  void SetChecked(TWidgetId id, bool on);
  std::string Text(TWidgetId id) const;
  void SetText(TWidgetId id, const std::string& text);
  void Enable(TWidgetId id, bool on);

  HINSTANCE instance_;
  std::vector<WORD> template_;
  std::map<TWidgetId, HWND> widgets_;
  std::vector<std::unique_ptr<TPanel>> panels_;
  std::array<TPanel*, kPageCount> sheets_{};
  base::UniqueFont dialogFont_, headerFont_, boldFont_;
  base::UniqueBitmap logoBitmap_, logoSmallBitmap_;
  base::UniqueIcon smallIcon_;  // the caption's; the window goes first (destructor)
  components::TComponentRows rows_;
  TComponentListItems selCompItems_{*this};  // outlives the list's tie
  ui::TSubclassedControl selCompLstBx_, licenseMemo_;
  TDriveBox driveBox_{instance_};
  TFolderList folderList_{instance_};
  // What the pages not yet made start from, as the settings and the command line left it.
  struct TPageStart {
    std::string DestDir;
    DWORD DriveMask = 0;  // the drives when the wizard was built
    bool InstallToAll = false;
    bool Launch = false;
  } pageStart_;
  bool settlingDestDir_ = false;  // the folder page is being made
  bool timersStarted_ = false;
  bool asking_ = false;  // one of the wizard's questions is open
};

}  // namespace wizard
