// The page state machine: GoToPage with its page table, the buttons, the
// questions, and the close query.
#include <atomic>

#include "instutils/InstUtils.h"
#include "instutils/Logs.h"
#include "instutils/ShellFolders.h"
#include "payload/AttachFiles.h"
#include "payload/InstallRun.h"
#include "components/InstallPlan.h"
#include "components/Locations.h"
#include "contract/ProductInterface.h"
#include <commctrl.h>
#include <shlobj.h>
#include "instutils/Probes.h"
#include "ui/MessageDlg.h"
#include "wizard/MainDlg.h"
#include "wizard/TestSeams.h"

namespace wizard {

namespace {

constexpr char kRunningCopy[] =
    "A copy of " PRODUCT_NAME " is already running on your system.\r"
    "Please close any running instance(s) of " PRODUCT_NAME ", then click OK in this dialog.";
constexpr char kLicenseQuestion[] =
    "To install this program, you need to agree to all the terms\r"
    "of the " PRODUCT_NAME " License Agreement.\r"
    "Do you really want to cancel the " PRODUCT_SHORT_NAME " install?";
constexpr char kCloseQuestion[] =
    "Setup is not complete. If you quit this setup program now,\r"
    PRODUCT_SHORT_NAME " will not be correctly installed.\r\r"
    "You may relaunch the setup program at a later time\r"
    "to complete the installation of " PRODUCT_SHORT_NAME ".\r\r"
    "To continue installing, click No.\r"
    "To quit this setup program, click Abort.";
constexpr char kLicenseRecord[] = "License.txt";
constexpr char kBackCaption[] = "< &Back";
constexpr char kNextCaption[] = "&Next >";
constexpr char kFinishCaption[] = "&Finish";
constexpr char kCancelCaption[] = "Cancel";

// Next on the component page is left as the disk-space check set it.
enum TNextRule : uint8_t { nrEnabled, nrDisabled, nrByDiskSpace };

std::atomic<MessageDlgFunction> dlgFunction{nullptr};

}  // namespace

void SetMessageDlgFunction(MessageDlgFunction fn) { dlgFunction.store(fn); }

struct TMainDlgForm::TPageDef {
  void (TMainDlgForm::*Made)();           // once its controls are made; nullptr: nothing
  bool (TMainDlgForm::*Enter)(int from);  // nullptr: nothing to do
  void (TMainDlgForm::*Shown)();          // after the page is shown; nullptr: nothing
  TWidgetId Focus;                        // widNone: focus stays
  bool BackVisible, BackEnabled;
  TNextRule Next;
  const char* NextCaption;
  bool CancelEnabled;
};

const TMainDlgForm::TPageDef TMainDlgForm::kPages[kPageCount + 1] = {
    /* 0 welcome    */ {&TMainDlgForm::MadeWelcomePage, nullptr, nullptr, widNone, false, true, nrEnabled, kNextCaption, true},
    /* 1 licence    */ {nullptr, &TMainDlgForm::EnterLicensePage, nullptr, widLicenseMemo, true, true, nrEnabled, kNextCaption, true},
    /* 2 folder     */ {&TMainDlgForm::MadeDestDirPage, &TMainDlgForm::EnterDestDirPage, nullptr, widDestDirEdt, true, true, nrEnabled, kNextCaption, true},
    /* 3 components */ {&TMainDlgForm::MadeSelCompPage, &TMainDlgForm::EnterSelCompPage, nullptr, widSelCompLstBx, true, true, nrByDiskSpace, kNextCaption, true},
    /* 4 ready      */ {&TMainDlgForm::MadeStartPage, &TMainDlgForm::EnterStartPage, nullptr, widNextBtn, true, true, nrEnabled, kNextCaption, true},
    /* 5 installing */ {&TMainDlgForm::MadeInstallingPage, &TMainDlgForm::EnterInstallingPage, &TMainDlgForm::StartInstallRun, widNone, true, false, nrDisabled, kNextCaption, true},
    /* 6 documents  */ {nullptr, &TMainDlgForm::EnterAssocPage, nullptr, widAssocChkBx1, true, false, nrEnabled, kNextCaption, true},
    /* 7 finish     */ {&TMainDlgForm::MadeFinishPage, &TMainDlgForm::EnterFinishPage, nullptr, widNone, true, false, nrEnabled, kFinishCaption, false},
    /* 8 the finish step */ {nullptr, &TMainDlgForm::FinishStep, nullptr, widNone, false, false, nrDisabled, "", false},
};

void TMainDlgForm::SetUpMadePage(int page) {
  if (kPages[page].Made) (this->*kPages[page].Made)();
}

void TMainDlgForm::GoToPage(int from, int to) {
  if (to == 6 && IsPortableInstall()) to = 7;  // a portable install has no associations
  if (to < 0 || to > kFinishStep) return;
  const TPageDef& page = kPages[to];
  if (page.Enter && !(this->*page.Enter)(from)) return;
  if (to == kFinishStep) return;  // the wizard has ended
  SetButtons(to);
  SetHeader(to);
  ShowSheet(to);
  if (page.Focus != widNone)
    SendMessageA(wnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Widget(page.Focus)), TRUE);
  else if (!CanKeepFocus(GetFocus()))
    // The focus was on the page just hidden or on a button just disabled:
    // keys would go nowhere the user can see.
    SendMessageA(wnd_, WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(Widget(IsWindowEnabled(Widget(widNextBtn)) ? widNextBtn : widCancelBtn)), TRUE);
  if (page.Shown) (this->*page.Shown)();
}

bool TMainDlgForm::CanKeepFocus(HWND focus) const {
  // Focus elsewhere, or nowhere while another window is active, is not ours to move.
  if (!focus) return GetActiveWindow() != wnd_;
  if (!IsChild(wnd_, focus)) return focus != wnd_;
  if (!IsWindowEnabled(focus)) return false;
  // Shown unless the window itself is hidden: every parent up to it has its style bit.
  for (HWND w = focus; w != wnd_; w = GetParent(w))
    if (!(GetWindowLongPtrA(w, GWL_STYLE) & WS_VISIBLE)) return false;
  return true;
}

void TMainDlgForm::SetButtons(int page) {
  const TPageDef& p = kPages[page];
  HWND back = Widget(widBackBtn);
  ShowWindow(back, p.BackVisible ? SW_SHOWNA : SW_HIDE);
  Enable(widBackBtn, p.BackEnabled);
  SetWindowTextA(back, kBackCaption);
  if (p.Next != nrByDiskSpace) Enable(widNextBtn, p.Next == nrEnabled);
  SetWindowTextA(Widget(widNextBtn), p.NextCaption);
  Enable(widCancelBtn, p.CancelEnabled);
  SetWindowTextA(Widget(widCancelBtn), kCancelCaption);
}

void TMainDlgForm::SetHeader(int page) { SetText(widTopLbl, PageTitles[page]); }

void TMainDlgForm::ShowSheet(int page) {
  HWND shown = PageSheet(page);
  for (TPanel* sheet : sheets_)
    if (sheet && sheet->Handle() != shown) ShowWindow(sheet->Handle(), SW_HIDE);
  if (shown) ShowWindow(shown, SW_SHOWNA);
}

void TMainDlgForm::BNClick(HWND button) {
  if (!IsWindowEnabled(button) || !(GetWindowLongPtrA(button, GWL_STYLE) & WS_VISIBLE)) return;
  const int page = CurrentPage();
  if (page == kNoPage) return;
  GoToPage(page, button == Widget(widBackBtn) ? page - 1 : page + 1);
}

void TMainDlgForm::CancelBtnClick() { ModalResult = 2; }

bool TMainDlgForm::FormCloseQuery() {
  // A question of ours is open (the window is disabled under it): it is
  // answered first, and never joined by the close question.
  if (asking_) return false;
  // A run that has failed ends the wizard anyway: there is nothing to ask.
  if (InstallState() == tsFailed) return QuitConfirmed = true;
  // A running worker waits after the file in hand while the user decides.
  const bool pausedHere = InstallRun && InstallRun->Pause();
  const bool canClose =
      QuitConfirmed ||
      Ask(kCloseQuestion, ui::mtConfirmation, ui::ButtonBit(ui::mbNo) | ui::ButtonBit(ui::mbAbort)) == ui::mrAbort;
  QuitConfirmed = canClose;
  // A stop also drops a question the worker handed over that was never shown.
  if (InstallRun && canClose) InstallRun->Stop();
  if (InstallRun && pausedHere && !canClose) InstallRun->Resume();
  return canClose;
}

int32_t TMainDlgForm::Ask(const std::string& text, uint8_t dlgType, uint16_t buttons) {
  asking_ = true;
  const MessageDlgFunction scripted = dlgFunction.load();
  const int32_t answer = scripted ? scripted(text, dlgType, buttons) : ui::MessageDlg(text, dlgType, buttons);
  asking_ = false;
  return answer;
}

TFileAnswer TMainDlgForm::CannotWrite(const std::string& target) {
  const int32_t answer = Ask(CannotCreateFileMessage(target), ui::mtError, ui::kAbortRetryIgnore);
  // No answer means the question could not be shown. Taken as it is, the
  // file would be skipped: a run would end as a success, the licence page
  // would come up empty.
  if (answer == ui::mrAbort || answer == ui::mrNone) {
    QuitConfirmed = true;  // the run fails and the wizard closes: no close question follows
    return faAbort;
  }
  if (ModalResult != 0 && !FormCloseQuery()) {
    // A close that came while the question was open is asked about now,
    // while the worker still waits for its answer and writes nothing.
    ModalResult = 0;
  }
  return answer == ui::mrIgnore ? faIgnore : faRetry;  // Retry, or the dialog closed: try again
}

void TMainDlgForm::RunFailed(const std::string& text) {
  QuitConfirmed = true;  // the run fails after this: no close question
  Ask(text, ui::mtError, ui::ButtonBit(ui::mbOK));
}

bool TMainDlgForm::EnterLicensePage(int from) {
  if (from != 0 || GetWindowTextLengthA(Widget(widLicenseMemo)) != 0) return true;
  if (IsProductRunning()) {
    Ask(kRunningCopy, ui::mtInformation, ui::ButtonBit(ui::mbOK));
    return false;
  }
  return LoadLicense();
}

bool TMainDlgForm::LoadLicense() {
  Enable(widNextBtn, false);
  Enable(widCancelBtn, false);
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  const std::string temp = instutils::TempFileName();
  instutils::SuspendLogging();
  const bool extracted = AttachedFiles && AttachedFiles->ExtractFile(nullptr, kLicenseRecord, temp, *this);
  instutils::ResumeLogging();
  if (!extracted) {
    QuitConfirmed = true;
    ModalResult = 2;
    return false;
  }
  std::vector<std::string> lines;
  if (instutils::ReadTextLines(temp, lines)) SetText(widLicenseMemo, instutils::JoinTextLines(lines));
  DeleteFileA(temp.c_str());
  return true;
}

bool TMainDlgForm::EnterDestDirPage(int from) {
  if (from != 1 || Checked(widLicenseChkBx)) return true;
  if (Ask(kLicenseQuestion, ui::mtInformation, ui::ButtonBit(ui::mbYes) | ui::ButtonBit(ui::mbNo)) == ui::mrYes) {
    QuitConfirmed = true;
    ModalResult = 2;
  }
  return false;
}

bool TMainDlgForm::EnterSelCompPage(int from) {
  if (from == 2 && !FixDestDir()) return false;
  HWND list = Widget(widSelCompLstBx);
  for (size_t i = 0; i < rows_.size(); ++i) {
    const char* sizing = components::ComponentTable[rows_[i].Component].SizingList;
    const int32_t size = AttachedFiles ? AttachedFiles->RequiredSpace(sizing, Options.MainDir) : 0;
    SendMessageA(list, LB_SETITEMDATA, i, LPARAM(size));
  }
  InvalidateRect(list, nullptr, TRUE);
  UpdateDiskSpace();
  return true;
}

bool TMainDlgForm::EnterStartPage(int) {
  ShowWindow(Widget(widInstallToAllChkBx), IsPortableInstall() ? SW_HIDE : SW_SHOWNA);
  return true;
}

bool TMainDlgForm::EnterInstallingPage(int) {
  if (!IsProductRunning()) return true;
  Ask(kRunningCopy, ui::mtInformation, ui::ButtonBit(ui::mbOK));
  return false;
}

void TMainDlgForm::StartInstallRun() {
  instutils::StartInstallLog(IsPortableInstall() ? std::string()
                                                 : components::DestFile(Options.MainDir, product::kInstallLogFile));
  ComponentSet = components::FixSelection(rows_);
  SharedDataStamp = components::BuildInstallPlan(*AttachedFiles, {ComponentSet, Options.MainDir, LastRunVersion});
  SendMessageA(Widget(widInstallingProgressBar), PBM_SETRANGE32, 0, AttachedFiles->PlannedSize());
  TQuestionAsker& asker = *this;  // a private base: converted here, where it is accessible
  InstallRun = std::make_unique<TInstallRun>(*AttachedFiles, asker);
}

void TMainDlgForm::InstallProgressTimer() {
  if (asking_ || !InstallRun) return;  // the tick comes from inside one of our own questions
  if (InstallRun->State() == tsAsking) {
    InstallRun->Poll();  // the worker's question, asked and answered here
    return;
  }
  switch (InstallRun->State()) {
    case tsRunning: {
      const uint8_t component = InstallRun->Component();
      if (component == 255) return;
      SendMessageA(Widget(widInstallingProgressBar), PBM_SETPOS, WPARAM(InstallRun->Progress()), 0);
      const std::string name = instutils::EscapeAmpersands(components::ComponentName(component));
      if (Text(widInstallingLbl2) != name) SetText(widInstallingLbl2, name);
      return;
    }
    case tsFinished:
      // The page follows the end of the run, never a run told to stop.
      if (InstallRun->TakeEnd()) GoToPage(5, 6);
      return;
    case tsFailed:
      QuitConfirmed = true;
      ModalResult = 2;
      return;
    default:
      return;
  }
}

void TMainDlgForm::WaitForInstallRun() {
  if (!InstallRun) return;
  // Normally the run has ended or been told to stop by the close query; a
  // wizard ended any other way (the end of the session) stops it here.
  InstallRun->Stop();
  InstallRun->Wait();
}

bool TMainDlgForm::FixDestDir() {
  NormaliseDestDir();
  const std::string dest = Text(widDestDirEdt);
  size_t start = 0, length = 0;
  if (FindUnholdablePart(dest, start, length)) {
    // No folder can have this name: the page keeps it, selected where it
    // goes wrong, rather than send it to the extraction or quietly change it.
    HWND edit = Widget(widDestDirEdt);
    SendMessageA(wnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
    SendMessageA(edit, EM_SETSEL, start, start + length);
    MessageBeep(MB_OK);
    return false;
  }
  Options.MainDir = dest;
  return true;
}

void TMainDlgForm::NormaliseDestDir() {
  SetText(widDestDirEdt,
          NormalisedDestDir(Text(widDestDirEdt), driveBox_.Drive(), instutils::SpecialFolder(CSIDL_PROGRAM_FILES)));
}

void TMainDlgForm::DestDirLstBxChange() {
  if (!FormReady || settlingDestDir_) return;  // the edit box keeps the saved or default folder
  SetText(widDestDirEdt, folderList_.Folder());
  NormaliseDestDir();
}

void TMainDlgForm::DestDirLstBxClick() { folderList_.SelectionChanged(); }

void TMainDlgForm::DestDirCmbBxChange() { driveBox_.SelectionChanged(); }

void TMainDlgForm::ShowDestDirInFolderList(const std::string& folder) {
  folderList_.SetFolder(folder);
  if (!folderList_.Folder().empty()) return;
  // No drive letter to go by: the Program Files drive.
  const std::string programFiles = instutils::SpecialFolder(CSIDL_PROGRAM_FILES);
  driveBox_.SetDrive(programFiles.size() >= 2 && programFiles[1] == ':' ? programFiles[0] : 'c');
}

}  // namespace wizard
