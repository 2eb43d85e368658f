// The wizard window in process: construction from the saved settings and the
// command line, page changes with their buttons, the questions (scripted), the
// component page's figures, and the keyboard on the shown window.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/support/Names.h"
#include "instutils/InstUtils.h"
#include "instutils/Logs.h"
#include "instutils/ShellFolders.h"
#include "payload/AttachFiles.h"
#include "payload/InstallRun.h"
#include "payload/TestSeams.h"
#include <commctrl.h>
#include "registration/RunCommand.h"
#include "instutils/ProbeSeams.h"
#include "resources/Version.h"
#include "tests/payload/TestCatalogue.h"
#include "ui/MessageDlg.h"
#include "tests/support/WindowText.h"
#include "wizard/MainDlg.h"
#include "wizard/TestSeams.h"
#include "base/Threads.h"
#include "base/Dpi.h"
#include "ui/Window.h"

namespace {

using wizard::TMainDlgForm;
using namespace wizard;

const char kSettingsRoot[] = NAME_KEY;
const char kInstallKey[] = NAME_KEY "\\Install";

// The scripted message dialog: every question is recorded and answered from the queue.
struct Asked {
  std::string text;
  uint8_t type;
  uint16_t buttons;
  uint8_t runState;  // the install run's state while the question was open
};
std::vector<Asked> g_asked;
std::deque<int32_t> g_answers;
const TMainDlgForm* g_form = nullptr;  // the one built last

int32_t Scripted(const std::string& text, uint8_t type, uint16_t buttons) {
  g_asked.push_back({text, type, buttons, g_form ? g_form->InstallState() : uint8_t(tsIdle)});
  if (g_answers.empty()) {
    ADD_FAILURE() << "unexpected question: " << text;
    return ui::mrCancel;
  }
  const int32_t a = g_answers.front();
  g_answers.pop_front();
  return a;
}

// The program file a run into dest + "Writer" will write, there already and
// to be held open by the test.
std::string LockedProgram(const testing_payload::ScratchFolder& dest) {
  CreateDirectoryA((dest / "Writer").c_str(), nullptr);
  const std::string program = dest / "Writer\\vlm.exe";
  EXPECT_TRUE(testing_payload::WriteFileBytes(program, "old"));
  return program;
}

// A write that fails, like a full disk.
BOOL WINAPI FailingWrite(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) { return FALSE; }

// The progress timer's ticks until done, or 15 s.
template <typename Done>
bool TickUntil(TMainDlgForm& f, Done done) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > 15000) return false;
    f.InstallProgressTimer();
    Sleep(1);
  }
  return true;
}

// The keyboard test's safety net: ends a shown wizard whose keys went astray.
TMainDlgForm* g_running = nullptr;
void CALLBACK EndRunningWizard(HWND, UINT, UINT_PTR, DWORD) {
  g_running->QuitConfirmed = true;
  g_running->ModalResult = 2;
}

// What the wizard starts, recorded instead of run.
std::vector<std::string> g_commands;
UINT WINAPI RecordCommand(LPCSTR commandLine, UINT) {
  g_commands.push_back(commandLine);
  return 32;
}

// Free space on any volume, or a failing query.
int64_t g_free = int64_t(1) << 40;
bool g_freeFails = false;
BOOL WINAPI FakeFreeSpace(LPCSTR, PULARGE_INTEGER avail, PULARGE_INTEGER total, PULARGE_INTEGER free) {
  if (g_freeFails) return FALSE;
  avail->QuadPart = total->QuadPart = free->QuadPart = uint64_t(g_free);
  return TRUE;
}

void SetDword(const char* name, DWORD v) {
  HKEY k;
  RegCreateKeyExA(HKEY_CURRENT_USER, kInstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
  RegSetValueExA(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), 4);
  RegCloseKey(k);
}

void SetString(const char* name, const std::string& s) {
  HKEY k;
  RegCreateKeyExA(HKEY_CURRENT_USER, kInstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
  RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(s.c_str()), DWORD(s.size() + 1));
  RegCloseKey(k);
}

DWORD ValueCount(const char* key) {
  HKEY k;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return DWORD(-1);
  DWORD values = 0;
  RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(k);
  return values;
}

using testsupport::TextOf;

bool Styled(HWND w, DWORD bit) { return (GetWindowLongPtrA(w, GWL_STYLE) & bit) != 0; }

std::string DefaultFolder() { return instutils::JoinPath(instutils::SpecialFolder(CSIDL_PROGRAM_FILES), NAME_SHORT); }

// A hidden top-level window that marks a running copy of the word processor.
class RunningCopy {
 public:
  RunningCopy() {
    wnd_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    SetPropA(wnd_, "1.x Quarrytide", reinterpret_cast<HANDLE>(1));
  }
  ~RunningCopy() {
    RemovePropA(wnd_, "1.x Quarrytide");
    DestroyWindow(wnd_);
  }

 private:
  HWND wnd_;
};

class WizardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsRoot);
    instutils::BindSpecialFolderLookup();
    instutils::ResetLogs();
    catalogue_ = testing_payload::NewTestCatalogue();
    AttachedFiles = catalogue_.get();
    g_asked.clear();
    g_answers.clear();
    g_free = int64_t(1) << 40;
    g_freeFails = false;
    wizard::SetMessageDlgFunction(&Scripted);
    components::SetFreeSpaceFunction(&FakeFreeSpace);
    SetWinExecFunction(&RecordCommand);
    g_commands.clear();
  }
  void TearDown() override {
    form_.reset();
    g_form = nullptr;
    ui::TWindowBase::SetDpiForTesting(0);
    AttachedFiles = nullptr;
    wizard::SetMessageDlgFunction(nullptr);
    SetFileDoneFunction(nullptr);
    SetWriteFileFunction(nullptr);
    components::SetFreeSpaceFunction(nullptr);
    SetWinExecFunction(nullptr);
    SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsRoot);
    EXPECT_TRUE(g_answers.empty()) << "a scripted answer was never asked for";
  }

  TMainDlgForm& Build(const std::vector<std::string>& args = {}) {
    form_.reset();
    form_ = std::make_unique<TMainDlgForm>(GetModuleHandleA(nullptr), args);
    g_form = form_.get();
    return *form_;
  }
  HWND W(TWidgetId id) { return form_->Widget(id); }
  void Next() { form_->BNClick(W(widNextBtn)); }
  void Back() { form_->BNClick(W(widBackBtn)); }
  void WalkTo(int page) {
    while (form_->CurrentPage() < page) {
      const int before = form_->CurrentPage();
      Next();
      ASSERT_NE(form_->CurrentPage(), before) << "Next did not leave page " << before;
    }
  }
  components::TCheckState RowState(int row) { return form_->ComponentRows()[size_t(row)].State; }

  std::unique_ptr<TAttachedFiles> catalogue_;
  std::unique_ptr<TMainDlgForm> form_;
};

TEST_F(WizardTest, FirstRunShowsDefaultsFormattedTextsAndWelcomePage) {
  TMainDlgForm& f = Build();
  ASSERT_NE(f.Handle(), nullptr);
  EXPECT_EQ(TextOf(f.Handle()), NAME_EDITION " - Setup");
  // Its own taskbar button, with the program's icon.
  EXPECT_EQ(GetWindow(f.Handle(), GW_OWNER), nullptr);
  EXPECT_TRUE(GetWindowLongPtrA(f.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_NE(SendMessageA(f.Handle(), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_EQ(TextOf(W(widWelcomeLbl)),
            "This program will install " NAME_EDITION " (version " VELLUMAR_VERSION_TEXT ") on your computer."
            "\r\n\r\n\r\n\r\n\r\nClick Next to continue. Click Cancel to quit Setup.");
  EXPECT_EQ(TextOf(W(widFinishLbl)),
            NAME_EDITION " " VELLUMAR_VERSION_TEXT " has been successfully installed on your system.\r\n\r\n"
            "Click Finish to exit this Setup.");
  EXPECT_EQ(TextOf(W(widDestDirEdt)), DefaultFolder());
  EXPECT_EQ(SendMessageA(W(widInstallToAllChkBx), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(W(widFinishChkBx), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(f.Options.Extensions, "B");
  // Each page has its own sheet, found by its number.
  for (int page = 0; page < kPageCount; ++page)
    for (int other = page + 1; other < kPageCount; ++other) EXPECT_NE(f.PageSheet(page), f.PageSheet(other));
  EXPECT_EQ(f.PageSheet(kFinishStep), nullptr);
  EXPECT_EQ(f.CurrentPage(), 0);
  EXPECT_EQ(TextOf(W(widTopLbl)), "Welcome to the " NAME_EDITION " Setup");
  // The component list: every row checked, the program's row grayed, row 1 highlighted.
  EXPECT_EQ(RowState(0), components::cbGrayed);
  for (int row = 1; row < components::kComponentCount; ++row) EXPECT_EQ(RowState(row), components::cbChecked);
  EXPECT_EQ(SendMessageA(W(widSelCompLstBx), LB_GETCURSEL, 0, 0), 1);
  char name[64] = {};
  SendMessageA(W(widSelCompLstBx), LB_GETTEXT, 4, reinterpret_cast<LPARAM>(name));
  EXPECT_STREQ(name, "Clip library");
}

TEST_F(WizardTest, SavedSettingsAndTheDestinationSwitch) {
  SetDword("INSTALLTOALL", 0);
  SetDword("LAUNCH", 0);
  SetDword("COMPS (1.6.6.2)", 0x7FFFFFEE);  // clip library off; bit 0 has no effect
  SetString("EXTENSIONS", "AD");
  testing_payload::ScratchFolder scratch;
  std::string saved = scratch.path();
  saved.pop_back();
  SetString("MAINDIR", saved);
  {
    TMainDlgForm& f = Build();
    EXPECT_EQ(TextOf(W(widDestDirEdt)), saved);
    EXPECT_EQ(SendMessageA(W(widInstallToAllChkBx), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(W(widFinishChkBx), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(f.Options.Extensions, "AD");
    EXPECT_EQ(RowState(0), components::cbGrayed);
    EXPECT_EQ(RowState(4), components::cbUnchecked);
    EXPECT_EQ(RowState(3), components::cbChecked);
  }
  // A saved folder that has gone falls back to the default.
  SetString("MAINDIR", saved + "\\gone");
  Build();
  EXPECT_EQ(TextOf(W(widDestDirEdt)), DefaultFolder());

  const struct {
    std::vector<std::string> args;
    std::string shown;
  } cases[] = {
      {{"-dD:\\Tools\\Writer"}, "D:\\Tools\\Writer"},  // not checked for existence
      {{"-d  X:\\a "}, "  X:\\a "},                    // not trimmed
      {{"-d"}, ""},
      {{"-DD:\\Tools"}, DefaultFolder()},
      {{"/dD:\\Tools"}, DefaultFolder()},
      {{"x", "-dD:\\Tools"}, DefaultFolder()},  // only the first argument counts
  };
  SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsRoot);
  for (const auto& c : cases) {
    Build(c.args);
    EXPECT_EQ(TextOf(W(widDestDirEdt)), c.shown) << c.args.back();
  }
}

// The buttons let a user go back while nothing is installed yet, never leave
// a page or go back while the run writes, and not cancel what is done.
TEST_F(WizardTest, ButtonsAllowOnlyWhatThePageCanDo) {
  testing_payload::ScratchFolder dest;
  TMainDlgForm& f = Build({"-d" + dest.path() + "Writer"});
  auto check = [&](int page) {
    SCOPED_TRACE("page " + std::to_string(page));
    ASSERT_EQ(f.CurrentPage(), page);
    EXPECT_EQ(TextOf(W(widTopLbl)), PageTitles[page]);
    EXPECT_TRUE(Styled(f.PageSheet(page), WS_VISIBLE));
    const bool backShown = Styled(W(widBackBtn), WS_VISIBLE);
    EXPECT_EQ(backShown, page > 0) << "nothing to go back to only on the first page";
    if (backShown) {
      EXPECT_EQ(IsWindowEnabled(W(widBackBtn)) != 0, page < 5) << "back into or past the install run";
    }
    EXPECT_EQ(IsWindowEnabled(W(widNextBtn)) != 0, page != 5) << "on while the run writes";
    EXPECT_EQ(TextOf(W(widNextBtn)), page == 7 ? "&Finish" : "&Next >");
    EXPECT_EQ(IsWindowEnabled(W(widCancelBtn)) != 0, page != 7) << "Cancel after everything is done";
  };
  for (int page = 0; page <= 4; ++page) {
    if (page) Next();
    check(page);
  }
  for (int page = 3; page >= 0; --page) {
    Back();
    check(page);
  }
  WalkTo(4);
  Next();  // the install run starts; the buttons stay put until it ends
  check(5);
  f.InstallRun->Wait();
  EXPECT_EQ(f.InstallState(), tsFinished);
  f.InstallProgressTimer();
  check(6);
  const std::string program = dest.path() + "Writer\\vlm.exe";
  EXPECT_TRUE(testing_payload::Exists(program));
  // The saved letters ("B" by default) preset the boxes; the finish page
  // registers the checked types through the installed program, Finish starts it.
  EXPECT_EQ(SendMessageA(W(widAssocChkBx2), BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageA(W(widAssocChkBx4), BM_SETCHECK, BST_CHECKED, 0);
  g_commands.clear();
  f.GoToPage(6, 7);
  check(7);
  ASSERT_EQ(g_commands.size(), 1u);
  EXPECT_EQ(g_commands[0], "\"" + program + "\" -assoc vdoc_cod_docx");
  EXPECT_EQ(f.Options.Extensions, "BD");
  for (int page = 0; page < 7; ++page)
    EXPECT_FALSE(Styled(f.PageSheet(page), WS_VISIBLE)) << "page " << page << " still shown";
  // Finish ends the wizard as completed, without a question.
  Next();
  ASSERT_EQ(g_commands.size(), 2u);
  EXPECT_EQ(g_commands[1], "\"" + program + "\"");
  EXPECT_EQ(f.ModalResult, 1);
  EXPECT_TRUE(f.QuitConfirmed);
  EXPECT_TRUE(f.FormCloseQuery());
  EXPECT_TRUE(g_asked.empty());
}

TEST_F(WizardTest, LicenceIsLoadedOnceAndARunningCopyBlocksOnlyTheFirstVisit) {
  TMainDlgForm& f = Build();
  {
    RunningCopy copy;
    g_answers = {ui::mrOk};
    Next();
    ASSERT_EQ(g_asked.size(), 1u);
    EXPECT_EQ(g_asked[0].text.rfind("A copy of " NAME_PRODUCT " is already running on your system.\r", 0), 0u);
    EXPECT_EQ(g_asked[0].type, ui::mtInformation);
    EXPECT_EQ(g_asked[0].buttons, ui::ButtonBit(ui::mbOK));
    EXPECT_EQ(f.CurrentPage(), 0);
    EXPECT_EQ(GetWindowTextLengthA(W(widLicenseMemo)), 0);
  }
  Next();
  ASSERT_EQ(f.CurrentPage(), 1);
  EXPECT_EQ(TextOf(W(widLicenseMemo)), "Licence terms.\r\n");
  EXPECT_TRUE(IsWindowEnabled(W(widNextBtn)) && IsWindowEnabled(W(widCancelBtn)));
  // Nothing of the licence reaches the installation log, and no temporary file stays.
  EXPECT_EQ(instutils::LogList, nullptr);
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((instutils::TempFolder() + instutils::TempPrefix() + "*").c_str(), &fd);
  EXPECT_EQ(find, INVALID_HANDLE_VALUE) << fd.cFileName;
  if (find != INVALID_HANDLE_VALUE) FindClose(find);

  SetWindowTextA(W(widLicenseMemo), "kept");
  Back();
  RunningCopy copy;  // asked only on the first visit
  Next();
  EXPECT_EQ(f.CurrentPage(), 1);
  EXPECT_EQ(TextOf(W(widLicenseMemo)), "kept");
  EXPECT_EQ(g_asked.size(), 1u);
}

TEST_F(WizardTest, DeclinedLicenceAsksAndYesEndsWithoutWritingSettings) {
  TMainDlgForm& f = Build();
  Next();
  SendMessageA(W(widLicenseChkBx), BM_SETCHECK, BST_UNCHECKED, 0);
  g_answers = {ui::mrNo};
  Next();
  ASSERT_EQ(g_asked.size(), 1u);
  EXPECT_EQ(g_asked[0].text.rfind("To install this program, you need to agree to all the terms\r", 0), 0u);
  EXPECT_EQ(g_asked[0].buttons, ui::ButtonBit(ui::mbYes) | ui::ButtonBit(ui::mbNo));
  EXPECT_EQ(f.CurrentPage(), 1);
  EXPECT_EQ(f.ModalResult, 0);
  g_answers = {ui::mrYes};
  Next();
  EXPECT_EQ(f.CurrentPage(), 1);
  EXPECT_EQ(f.ModalResult, 2);
  EXPECT_TRUE(f.QuitConfirmed);
  EXPECT_TRUE(f.FormCloseQuery());  // no close question after that
  EXPECT_EQ(g_asked.size(), 2u);
  // Both keys exist from the reading at start, and nothing was written.
  EXPECT_EQ(ValueCount(kInstallKey), 0u);
  EXPECT_EQ(ValueCount(NAME_KEY "\\Internal"), 0u);
}

TEST_F(WizardTest, CloseQuestionNoStaysAbortEndsAndIsAskedOnce) {
  TMainDlgForm& f = Build();
  Next();
  g_answers = {ui::mrNo, ui::mrAbort};
  f.CancelBtnClick();
  EXPECT_EQ(f.ModalResult, 2);
  EXPECT_FALSE(f.FormCloseQuery());
  EXPECT_FALSE(f.QuitConfirmed);
  ASSERT_EQ(g_asked.size(), 1u);
  EXPECT_EQ(g_asked[0].type, ui::mtConfirmation);
  EXPECT_EQ(g_asked[0].buttons, ui::ButtonBit(ui::mbNo) | ui::ButtonBit(ui::mbAbort));
  EXPECT_EQ(g_asked[0].text.rfind("Setup is not complete. If you quit this setup program now,\r", 0), 0u);
  EXPECT_TRUE(f.FormCloseQuery());
  EXPECT_TRUE(f.FormCloseQuery());
  EXPECT_EQ(g_asked.size(), 2u);
  EXPECT_EQ(ValueCount(kInstallKey), 0u);
}

TEST_F(WizardTest, TypedDestinationIsNormalisedWhenTheComponentPageIsEntered) {
  const std::string pf = instutils::SpecialFolder(CSIDL_PROGRAM_FILES);
  std::string pfOtherCase = pf;
  CharLowerBuffA(&pfOtherCase[0], DWORD(pfOtherCase.size()));
  std::string pfSlashes = pf;
  std::replace(pfSlashes.begin(), pfSlashes.end(), '\\', '/');
  const struct {
    std::string typed, stored;
  } cases[] = {
      {"  D:\\Apps\\Writer\\  ", "D:\\Apps\\Writer"},
      {"D:\\Apps\\Writer\\\\", "D:\\Apps\\Writer\\" NAME_SHORT},
      {"D:\\", "D:\\" NAME_SHORT},
      {"D:", "D:\\" NAME_SHORT},
      {pfOtherCase, pfOtherCase + "\\" NAME_SHORT},
      {"D:/", "D:\\" NAME_SHORT},
      {pfSlashes, pf + "\\" NAME_SHORT},
      {pf + ".", pf + "\\" NAME_SHORT},
      {"Apps\\Writer", std::string(1, char(tolower(pf[0]))) + ":\\" NAME_SHORT},
      {"", std::string(1, char(tolower(pf[0]))) + ":\\" NAME_SHORT},
  };
  TMainDlgForm& f = Build();
  WalkTo(2);
  for (const auto& c : cases) {
    SetWindowTextA(W(widDestDirEdt), c.typed.c_str());
    Next();
    EXPECT_EQ(f.Options.MainDir, c.stored) << "typed [" << c.typed << "]";
    EXPECT_EQ(TextOf(W(widDestDirEdt)), c.stored);
    Back();
  }
  // Back from the ready page re-sizes without normalising again.
  SetWindowTextA(W(widDestDirEdt), "D:\\x\\");
  Next();
  Next();
  SetWindowTextA(W(widDestDirEdt), "E:\\y\\");
  Back();
  EXPECT_EQ(f.Options.MainDir, "D:\\x");
}

TEST_F(WizardTest, ComponentRowsAndTheDiskSpaceGate) {
  TMainDlgForm& f = Build();
  WalkTo(2);
  testing_payload::ScratchFolder dest;
  SetWindowTextA(W(widDestDirEdt), dest.path().c_str());
  WalkTo(3);
  HWND list = W(widSelCompLstBx);
  auto required = [&] {
    int64_t sum = 0;
    for (int row = 0; row < components::kComponentCount; ++row)
      if (RowState(row) != components::cbUnchecked) sum += int32_t(SendMessageA(list, LB_GETITEMDATA, row, 0));
    return sum;
  };
  // The program's row: its size counts, it covers vlm.exe and the licence.
  const int32_t programRow = int32_t(SendMessageA(list, LB_GETITEMDATA, 0, 0));
  EXPECT_EQ(programRow, AttachedFiles->RequiredSpace("vlm.exe\rLicense.txt", f.Options.MainDir));
  EXPECT_GE(programRow, testing_payload::kVlmSize);
  const std::string all = TextOf(W(widSelCompDiskSpaceReqLbl2));
  EXPECT_EQ(all, instutils::FormatSize(required()));

  // A click on the program row's box changes nothing; Space on the highlighted row toggles it.
  const int rowHeight = int(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, rowHeight / 2));
  SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(6, rowHeight / 2));
  EXPECT_EQ(RowState(0), components::cbGrayed);
  EXPECT_EQ(TextOf(W(widSelCompDiskSpaceReqLbl2)), all);
  SendMessageA(list, LB_SETCURSEL, 2, 0);
  SendMessageA(list, WM_CHAR, ' ', 0);
  EXPECT_EQ(RowState(2), components::cbUnchecked);
  EXPECT_EQ(TextOf(W(widSelCompDiskSpaceReqLbl2)), instutils::FormatSize(required()));
  SendMessageA(list, WM_CHAR, ' ', 0);
  EXPECT_EQ(RowState(2), components::cbChecked);

  // Next is enabled exactly while the free space covers what is required,
  // from the moment the page is entered.
  const int64_t need = required();
  g_free = need;
  Back();
  Next();
  EXPECT_TRUE(IsWindowEnabled(W(widNextBtn)));
  EXPECT_EQ(TextOf(W(widSelCompDiskSpaceAvailLbl2)), instutils::FormatSize(need));
  g_free = need - 1;
  Back();
  Next();
  EXPECT_FALSE(IsWindowEnabled(W(widNextBtn)));
  f.SelCompLstBxClickCheck(4);  // one component less: enough again
  EXPECT_TRUE(IsWindowEnabled(W(widNextBtn)));
  // An unknown free space does not block: the extraction reports what cannot be written.
  g_freeFails = true;
  f.SelCompLstBxClickCheck(4);
  EXPECT_TRUE(IsWindowEnabled(W(widNextBtn)));
  EXPECT_EQ(TextOf(W(widSelCompDiskSpaceAvailLbl2)), "Unknown");
  // Coming back to the application refreshes the figures.
  g_freeFails = false;
  g_free = 0;
  SendMessageA(f.Handle(), WM_ACTIVATEAPP, TRUE, 0);
  EXPECT_FALSE(IsWindowEnabled(W(widNextBtn)));
}

// The progress timer's side of a real run, which the test holds after its
// first file: progress and component shown; the question about a locked file
// asked once, on this thread, while the worker waits; its answer taken up;
// the end of the run moves on.
TEST_F(WizardTest, TheTimerShowsTheRunAsksItsQuestionAndMovesOnAtItsEnd) {
  testing_payload::ScratchFolder dest;
  TMainDlgForm& f = Build({"-d" + dest.path() + "Writer"});
  const std::string locked = LockedProgram(dest);
  base::UniqueFile lock(CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(lock);
  static HANDLE go;
  go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SetFileDoneFunction([](const std::string&) { WaitForSingleObject(go, 15000); });
  WalkTo(4);
  g_answers = {ui::mrIgnore};
  Next();
  ASSERT_TRUE(TickUntil(f, [&] { return f.InstallRun->Progress() > 0; }));
  f.InstallProgressTimer();
  EXPECT_EQ(TextOf(W(widInstallingLbl2)),
            instutils::EscapeAmpersands(components::ComponentName(f.InstallRun->Component())));
  EXPECT_EQ(SendMessageA(W(widInstallingProgressBar), PBM_GETPOS, 0, 0), f.InstallRun->Progress());
  EXPECT_EQ(f.CurrentPage(), 5);
  SetEvent(go);
  ASSERT_TRUE(TickUntil(f, [&] { return f.CurrentPage() == 6; })) << "the run's end did not move on";
  CloseHandle(go);
  ASSERT_EQ(g_asked.size(), 1u);
  EXPECT_EQ(g_asked[0].text, CannotCreateFileMessage(locked));
  EXPECT_EQ(g_asked[0].type, ui::mtError);
  EXPECT_EQ(g_asked[0].buttons, ui::kAbortRetryIgnore);
  EXPECT_EQ(g_asked[0].runState, tsPaused) << "the worker went on under its question";
  lock.reset();
  EXPECT_EQ(testing_payload::ReadFileBytes(locked), "old") << "Ignore kept the file";
}

// The licence cannot be written and its question cannot be shown: the setup
// ends instead of showing an empty licence.
TEST_F(WizardTest, ALicenceQuestionThatCannotBeShownEndsTheSetup) {
  TMainDlgForm& f = Build();
  SetWriteFileFunction(FailingWrite);
  g_answers = {ui::mrNone};
  Next();
  ASSERT_EQ(g_asked.size(), 1u);
  EXPECT_EQ(g_asked[0].buttons, ui::kAbortRetryIgnore);
  EXPECT_EQ(f.CurrentPage(), 0);
  EXPECT_EQ(f.ModalResult, 2);
  EXPECT_TRUE(f.FormCloseQuery()) << "asked about closing after the licence failed";
}

// A close that arrives while the worker's question is open waits for its
// answer and is asked while the worker still waits; after Abort, or a
// question that could not be shown, the run fails with no close question.
TEST_F(WizardTest, AWorkerQuestionHoldsACloseAndAnUnshownQuestionFailsTheRun) {
  for (const int32_t answer : {ui::mrIgnore, ui::mrAbort, ui::mrNone}) {
    SCOPED_TRACE(answer);
    testing_payload::ScratchFolder dest;
    TMainDlgForm& f = Build({"-d" + dest.path() + "Writer"});
    const std::string locked = LockedProgram(dest);
    base::UniqueFile lock(CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    WalkTo(4);
    g_asked.clear();
    g_answers = {answer, ui::mrNo};
    Next();
    ASSERT_TRUE(TickUntil(f, [&] { return f.InstallState() == tsAsking; }));
    f.ModalResult = 2;  // the close came in while the question was shown
    f.InstallProgressTimer();
    if (answer == ui::mrIgnore) {
      ASSERT_EQ(g_asked.size(), 2u);
      EXPECT_EQ(g_asked[1].runState, tsPaused) << "the worker went on under the close question";
      EXPECT_EQ(f.ModalResult, 0) << "No keeps the wizard open";
      EXPECT_TRUE(TickUntil(f, [&] { return f.CurrentPage() == 6; })) << "the run did not go on";
    } else {
      g_answers.clear();
      EXPECT_TRUE(TickUntil(f, [&] { return f.InstallState() == tsFailed; }));
      EXPECT_TRUE(f.FormCloseQuery());
      EXPECT_EQ(g_asked.size(), 1u) << "a failed run was asked about closing";
    }
  }
}

// A destination on a drive that can be carried away: no install-for-anyone
// box, and never the associations page; asked afresh, never remembered.
TEST_F(WizardTest, PortableDestinationHidesTheScopeAndSkipsTheAssociations) {
  static std::string removableDrive;
  removableDrive = "R:";
  SetDriveTypeFunction([](const std::string& path) -> UINT {
    return instutils::DrivePart(path) == removableDrive ? DRIVE_REMOVABLE : DRIVE_FIXED;
  });
  TMainDlgForm& f = Build({"-dR:\\Writer"});
  WalkTo(4);
  EXPECT_FALSE(Styled(W(widInstallToAllChkBx), WS_VISIBLE));
  f.GoToPage(5, 6);
  EXPECT_EQ(f.CurrentPage(), 7);
  removableDrive = "Q:";  // the same folder, now on a fixed drive
  f.GoToPage(3, 4);
  EXPECT_TRUE(Styled(W(widInstallToAllChkBx), WS_VISIBLE));
  f.GoToPage(5, 6);
  EXPECT_EQ(f.CurrentPage(), 6);
  SetDriveTypeFunction(nullptr);
}

// Back from the licence text, the click's notification alone (the focus
// still in the text): the focus goes where it can be seen.
TEST_F(WizardTest, BackLeavesTheFocusOnAShownControl) {
  TMainDlgForm& f = Build();
  ShowWindow(f.Handle(), SW_SHOW);
  Next();
  ASSERT_EQ(GetFocus(), W(widLicenseMemo));
  SendMessageA(f.Handle(), WM_COMMAND, MAKEWPARAM(widBackBtn, BN_CLICKED), LPARAM(W(widBackBtn)));
  EXPECT_EQ(GetFocus(), W(widNextBtn));
}

// Shown as the setup shows it: placing the hidden window does not take the
// focus, and by its first paint both pictures are in place at their own size.
TEST_F(WizardTest, TheShownWizardPaintsWithItsPictures) {
  TMainDlgForm& f = Build();
  f.CentreOnScreen();
  EXPECT_NE(GetActiveWindow(), f.Handle());
  ShowWindow(f.Handle(), SW_SHOW);
  EXPECT_EQ(GetActiveWindow(), f.Handle());
  const struct {
    TWidgetId id;
    LONG width, height;
  } pictures[] = {{widLogoSmallImage, 32, 32}, {widLogoImage, 120, 260}};
  bool painted = false;
  MSG msg;
  while (!painted && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_PAINT) {
      painted = true;
      for (const auto& p : pictures) {
        BITMAP bm = {};
        auto* shown = reinterpret_cast<HBITMAP>(SendMessageA(W(p.id), STM_GETIMAGE, IMAGE_BITMAP, 0));
        ASSERT_TRUE(shown && GetObjectA(shown, sizeof bm, &bm)) << "picture " << p.id;
        EXPECT_EQ(bm.bmWidth, p.width);
        EXPECT_EQ(bm.bmHeight, p.height);
      }
    }
    DispatchMessageA(&msg);
  }
  EXPECT_TRUE(painted);
}

// Below the separator nothing but the buttons shows: the bar lies over the picture strip.
TEST_F(WizardTest, NothingButTheButtonsShowsInTheButtonBar) {
  TMainDlgForm& f = Build();
  const std::set<HWND> allowed = {f.Handle(), W(widButtonBar), W(widBackBtn), W(widNextBtn), W(widCancelBtn)};
  for (int y = 308; y < kClientHeight; ++y)
    for (int x = 0; x < kClientWidth; ++x)
      ASSERT_TRUE(allowed.count(ChildWindowFromPointEx(f.Handle(), POINT{x, y}, CWP_SKIPINVISIBLE))) << x << "," << y;
}

// The shown window with real key presses: Enter is Next also from inside the
// licence text, Alt with a caption's letter presses that control, Esc asks
// the close question also from inside the licence text.
TEST_F(WizardTest, KeyboardDrivesTheShownWizard) {
  TMainDlgForm& f = Build();
  HWND wnd = f.Handle();
  HWND sheet1 = f.PageSheet(1), sheet2 = f.PageSheet(2), box = W(widLicenseChkBx);
  base::Thread keys([wnd, sheet1, sheet2, box] {
    auto waitFor = [](auto cond) {
      for (int i = 0; i < 500 && !cond(); ++i) Sleep(10);
      return cond();
    };
    auto press = [](WORD vk, bool alt) {
      std::vector<INPUT> in;
      auto key = [&](WORD k, bool up) {
        INPUT i = {};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = k;
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
      };
      if (alt) key(VK_MENU, false);
      key(vk, false);
      key(vk, true);
      if (alt) key(VK_MENU, true);
      SendInput(UINT(in.size()), in.data(), sizeof(INPUT));
    };
    auto shown = [](HWND w) { return [w] { return IsWindowVisible(w) != 0; }; };
    if (!waitFor([&] { return IsWindowVisible(wnd) && GetForegroundWindow() == wnd; })) return;
    press(VK_RETURN, false);
    if (!waitFor(shown(sheet1))) return;
    press(VK_RETURN, false);  // the focus is in the licence text
    if (!waitFor(shown(sheet2))) return;
    press('B', true);  // "< &Back"
    if (!waitFor(shown(sheet1))) return;
    press(VK_ESCAPE, false);  // close question, answered No
    if (!waitFor([] { return g_asked.size() == 1; })) return;
    // The answer is given inside the Esc's handling: the keys wait until the
    // wizard holds the keyboard again.
    if (!waitFor([&] { return GetForegroundWindow() == wnd; })) return;
    Sleep(50);
    press('A', true);  // "I &accept ..."
    if (!waitFor([&] { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_UNCHECKED; })) return;
    press(VK_ESCAPE, false);  // close question, answered Abort
  });
  g_answers = {ui::mrNo, ui::mrAbort};
  // The safety net ends the wizard should the keys go astray.
  g_running = &f;
  SetTimer(wnd, 77, 8000, &EndRunningWizard);
  const int result = f.ShowModal();
  keys.Join();
  KillTimer(wnd, 77);
  EXPECT_EQ(result, 2);
  EXPECT_EQ(f.CurrentPage(), 1);
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(g_asked.size(), 2u);
  EXPECT_TRUE(g_answers.empty());
}

// On the page shown: every control lies in its parent, every text fits its
// control in the control's own font, and no text runs over another of its parent.
void ExpectEveryTextFits(const TMainDlgForm& f, int dpi) {
  SCOPED_TRACE("page " + std::to_string(f.CurrentPage()));
  std::vector<std::pair<HWND, RECT>> texts;
  for (int i = 0; i < kWidgetCount; ++i) {
    const TWidgetDef& def = kWidgets[i];
    HWND w = f.Widget(def.Id), up = w;
    while (up != f.Handle() && (GetWindowLongPtrA(up, GWL_STYLE) & WS_VISIBLE)) up = GetParent(up);
    if (up != f.Handle()) continue;  // on another page
    RECT box = {}, parent = {}, client = {};
    GetWindowRect(w, &box);
    MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&box), 2);
    GetClientRect(GetParent(w), &parent);
    GetClientRect(w, &client);
    // The page container reaches under the panels; etched lines are drawn where they lie.
    const bool decor = def.Kind == wkPageControl || def.Kind == wkEtchedHorz || def.Kind == wkEtchedVert;
    EXPECT_TRUE(decor || (box.left >= 0 && box.top >= 0 && box.right <= parent.right && box.bottom <= parent.bottom))
        << def.Name << " reaches out of its parent";
    if ((def.Kind != wkLabel && def.Kind != wkCheckBox && def.Kind != wkButton) || TextOf(w).empty()) continue;
    // A check box's text starts after its box, drawn at the DPI, and a gap.
    const LONG room = client.right - (def.Kind == wkCheckBox ? MulDiv(GetSystemMetrics(SM_CXMENUCHECK) + 4, dpi, 96) : 0);
    const UINT prefix = def.Style & SS_NOPREFIX ? DT_NOPREFIX : 0;
    const SIZE need = testsupport::TextNeeds(w, room, def.Kind == wkLabel ? DT_WORDBREAK | prefix : DT_SINGLELINE);
    EXPECT_TRUE(need.cx <= room && need.cy <= client.bottom) << def.Name << ": \"" << TextOf(w) << "\" is cut";
    RECT ink = box;  // where a label's text lies, left or right aligned
    if (def.Kind == wkLabel) {
      if (def.Style & SS_RIGHT) ink.left = ink.right - need.cx;
      else ink.right = ink.left + need.cx;
      ink.bottom = ink.top + need.cy;
    }
    RECT both;
    for (const auto& other : texts)
      if (GetParent(other.first) == GetParent(w) && IntersectRect(&both, &other.second, &ink))
        ADD_FAILURE() << def.Name << " runs over \"" << TextOf(other.first) << "\"";
    texts.push_back({w, ink});
  }
}

}  // namespace

// Every page at the DPIs users have: 96, 120 (Windows 2000/XP "large fonts",
// 125 %), 144 (150 %) and 192 (200 %); then a window moved to another DPI.
// Wine reads the DPI from the prefix's registry when the prefix starts, so a
// test in process cannot change it: the window base's seam makes the wizard
// lay itself out and make its fonts for the DPI given, and the texts are
// measured in those fonts, as a user at that DPI would see them.
TEST_F(WizardTest, EveryTextFitsItsControlOnEveryPageAtEveryDpi) {
  static HANDLE go;
  go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SetFileDoneFunction([](const std::string&) { WaitForSingleObject(go, 15000); });
  for (int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
    ui::TWindowBase::SetDpiForTesting(dpi);
    ResetEvent(go);
    testing_payload::ScratchFolder dest;
    TMainDlgForm& f = Build({"-d" + dest.path() + "Writer"});
    RECT client = {};
    GetClientRect(f.Handle(), &client);
    EXPECT_EQ(client.right, MulDiv(kClientWidth, dpi, 96));
    EXPECT_EQ(client.bottom, MulDiv(kClientHeight, dpi, 96));
    for (int page = 0; page < kPageCount; ++page) {
      ASSERT_EQ(f.CurrentPage(), page);
      if (page == 5) {  // the run held after its first file, the file's component shown
        ASSERT_TRUE(TickUntil(f, [&] { return f.InstallRun->Progress() > 0; }));
        f.InstallProgressTimer();
      }
      ExpectEveryTextFits(f, dpi);
      if (page == 5) {
        SetEvent(go);
        ASSERT_TRUE(TickUntil(f, [&] { return f.CurrentPage() == 6; }));
      } else if (page < kPageCount - 1) {
        Next();
      }
    }
    form_.reset();
  }
  CloseHandle(go);
  // Moved to a monitor of 144 DPI: it takes the rectangle offered and lays itself out again.
  ui::TWindowBase::SetDpiForTesting(96);
  TMainDlgForm& f = Build();
  ui::TWindowBase::SetDpiForTesting(144);
  RECT offered = {10, 20, 800, 600}, window = {}, client = {};
  SendMessageA(f.Handle(), base::kWmDpiChanged, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&offered));
  GetWindowRect(f.Handle(), &window);
  GetClientRect(f.Handle(), &client);
  EXPECT_EQ(std::vector<LONG>({window.left, window.top, client.right, client.bottom}), std::vector<LONG>({10, 20, 738, 527}));
  WalkTo(3);
  ExpectEveryTextFits(f, 144);
}
