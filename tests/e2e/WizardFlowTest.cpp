// The real setup's wizard, worked from outside through its windows, its
// controls and the keyboard, the way a user works it.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Names.h"
#include "InstallPlaces.h"
#include "tests/support/ProcessDriver.h"
#include "tests/common/TestFiles.h"
#include "wizard/WizardLayout.h"

using namespace e2e;
using namespace wizard;

namespace {

const char kRunningProperty[] = "1.x Quarrytide";

const char* const kHeaders[] = {"Welcome to the " NAME_EDITION " Setup", "License Agreement",
                                "Choose Destination Folder", "Select Components", "Ready to Install"};
const TWidgetId kSheets[] = {widWelcomeTabSheet, widLicenseTabSheet, widDestDirTabSheet, widSelCompTabSheet,
                             widStartTabSheet};
const int kPagesShown = 5;

std::string SetupExe() {
  const auto& argv = testing::internal::GetArgvs();
  return argv.size() > 1 ? argv[1] : std::string();
}

void ForgetSavedSettings() { DeleteKeyTree(HKEY_CURRENT_USER, kSettingsKey); }

// Exists and holds no values: the wizard read the settings and wrote none.
void ExpectEmptyKey(const std::string& sub) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kSettingsKey) + "\\" + sub).c_str(), 0, KEY_READ, &key),
            ERROR_SUCCESS)
      << sub;
  DWORD values = 1234;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                   nullptr);
  RegCloseKey(key);
  EXPECT_EQ(values, 0u) << sub << " holds values after a cancelled setup";
}

// Lines without their breaks, trailing empty lines dropped.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

// A hidden top-level window that marks the word processor as running.
class RunningCopyMarker {
 public:
  RunningCopyMarker() {
    wnd_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    SetPropA(wnd_, kRunningProperty, reinterpret_cast<HANDLE>(1));
  }
  ~RunningCopyMarker() { Remove(); }
  bool made() const { return wnd_ != nullptr; }
  void Remove() {
    if (!wnd_) return;
    RemovePropA(wnd_, kRunningProperty);
    DestroyWindow(wnd_);
    wnd_ = nullptr;
  }

 private:
  HWND wnd_ = nullptr;
};

class Wizard {
 public:
  explicit Wizard(const std::string& args = "") : process_(SetupExe(), args) {
    if (process_.started()) wnd_ = WaitForWindowWithControl(process_.id(), kTitle, widPgCtrl, kStartTimeout);
  }
  HWND window() const { return wnd_; }
  DWORD processId() const { return process_.id(); }
  HWND Control(TWidgetId id) const { return FindControl(wnd_, id); }
  std::string Text(TWidgetId id) const { return ControlText(Control(id)); }

  // The page whose sheet is visible, or -1.
  int Page() const {
    for (int page = 0; page < kPagesShown; ++page)
      if (IsWindowVisible(Control(kSheets[page]))) return page;
    return -1;
  }
  bool WaitForPage(int page) const {
    return WaitUntil([&] { return Page() == page && Text(widTopLbl) == kHeaders[page]; }, kStepTimeout);
  }

  // A key to the wizard as the foreground window.
  void Press(WORD vk, bool withAlt = false) const {
    ASSERT_TRUE(BringToFront(wnd_, kStepTimeout)) << "the wizard did not come to the front";
    PressKey(vk, withAlt);
  }

  // The box the wizard shows next: checked for its caption and text start.
  MessageBoxInfo ExpectBox(const std::string& caption, const std::string& textStart) const {
    MessageBoxInfo box = WaitForMessageBox(process_.id(), kStepTimeout);
    EXPECT_NE(box.window, nullptr) << "no box asking: " << textStart;
    if (box.window) {
      EXPECT_EQ(box.caption, caption);
      EXPECT_EQ(box.text.compare(0, textStart.size(), textStart), 0) << box.text;
    }
    return box;
  }

  // Answers a box with a key and waits until it has gone.
  static void AnswerWithKey(const MessageBoxInfo& box, WORD vk) {
    ASSERT_NE(box.window, nullptr);
    ASSERT_TRUE(BringToFront(box.window, kStepTimeout)) << "the box did not come to the front";
    PressKey(vk);
    ASSERT_TRUE(WaitUntilGone(box.window, kStepTimeout)) << "the box stayed after the key";
  }

  static void AnswerWithButton(const MessageBoxInfo& box, int buttonId) {
    ASSERT_NE(box.window, nullptr);
    HWND button = GetDlgItem(box.window, buttonId);
    ASSERT_NE(button, nullptr) << "the box has no button " << buttonId;
    ClickButton(button);
    ASSERT_TRUE(WaitUntilGone(box.window, kStepTimeout)) << "the box stayed after its button";
  }

  void ExpectExitZero() {
    DWORD code = 1234;
    ASSERT_TRUE(process_.WaitForExit(kStepTimeout, &code)) << "the setup did not end";
    EXPECT_EQ(code, 0u);
  }

  // Cancel, then Abort in the close question: the setup ends with 0.
  void Quit() {
    ClickButton(Control(widCancelBtn));
    AnswerWithButton(ExpectBox("Confirm", "Setup is not complete."), IDABORT);
    ExpectExitZero();
  }

 private:
  ChildProcess process_;
  HWND wnd_ = nullptr;
};

// A Unix folder made a removable drive through Wine's mount manager, and
// removed again at the end (Wine still lists the letter until its server
// ends, but no longer answers for it).
class RemovableDrive {
 public:
  RemovableDrive(char letter, const std::string& unixFolder) : letter_(letter) {
    defined_ = Send(unixFolder) && GetDriveTypeA(Root().c_str()) == DRIVE_REMOVABLE;
  }
  ~RemovableDrive() { Send(""); }
  bool defined() const { return defined_; }
  std::string Root() const { return std::string(1, letter_) + ":\\"; }

 private:
  struct Request {  // Wine's mountmgr_unix_drive
    ULONG size, type, fsType;
    DWORD serial;
    ULONGLONG unixDev;
    WCHAR letter;
    USHORT mountPointOffset, deviceOffset, labelOffset;
  };
  static_assert(sizeof(Request) == 32, "the mount manager reads a 32-byte header");

  // An empty folder asks for the drive's removal.
  bool Send(const std::string& unixFolder) {
    std::vector<char> in(sizeof(Request) + (unixFolder.empty() ? 0 : unixFolder.size() + 1), '\0');
    Request r = {};
    r.size = ULONG(in.size());
    r.type = unixFolder.empty() ? 0 : DRIVE_REMOVABLE;
    r.letter = WCHAR(letter_);
    r.mountPointOffset = unixFolder.empty() ? 0 : sizeof(Request);
    memcpy(in.data(), &r, sizeof r);
    memcpy(in.data() + sizeof r, unixFolder.c_str(), in.size() - sizeof r);
    base::UniqueFile manager(CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    const DWORD defineUnixDrive = CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
    DWORD returned = 0;
    return manager &&
           DeviceIoControl(manager.get(), defineUnixDrive, in.data(), DWORD(in.size()), nullptr, 0, &returned, nullptr);
  }
  char letter_;
  bool defined_ = false;
};

// Every file below folder, as paths relative to it.
void CollectFiles(const std::string& folder, const std::string& prefix, std::vector<std::string>& files) {
  WIN32_FIND_DATAA fd;
  base::UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &fd));
  if (!find) return;
  do {
    const std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      CollectFiles(folder + "\\" + name, prefix + name + "\\", files);
    else
      files.push_back(prefix + name);
  } while (FindNextFileA(find.get(), &fd));
}

// Back, Next and Cancel as pages 0 to 4 must show them.
void ExpectButtonsOf(const Wizard& w, int page) {
  SCOPED_TRACE("page " + std::to_string(page));
  HWND back = w.Control(widBackBtn), next = w.Control(widNextBtn), cancel = w.Control(widCancelBtn);
  EXPECT_EQ(IsWindowVisible(back) != FALSE, page != 0) << "Back is hidden on the first page only";
  if (page != 0) {
    EXPECT_TRUE(IsWindowEnabled(back));
    EXPECT_EQ(ControlText(back), "< &Back");
  }
  EXPECT_TRUE(IsWindowVisible(next) && IsWindowEnabled(next));
  EXPECT_EQ(ControlText(next), "&Next >");
  EXPECT_TRUE(IsWindowVisible(cancel) && IsWindowEnabled(cancel));
  EXPECT_EQ(ControlText(cancel), "Cancel");
}

}  // namespace

TEST(WizardFlow, EnterWalksForwardBackReturnsAndOnlyAbortQuits) {
  ForgetSavedSettings();
  Wizard w;
  ASSERT_NE(w.window(), nullptr) << "no wizard window";
  ASSERT_TRUE(w.WaitForPage(0));
  ExpectButtonsOf(w, 0);

  w.Press(VK_RETURN);
  ASSERT_TRUE(w.WaitForPage(1)) << "Enter did not lead from the welcome page to the licence";
  ExpectButtonsOf(w, 1);
  const std::string shipped = testfiles::ReadWholeFile(testfiles::ArgPath(3));
  ASSERT_FALSE(shipped.empty()) << "cannot read the shipped licence";
  EXPECT_EQ(Lines(w.Text(widLicenseMemo)), Lines(shipped)) << "the memo does not hold the shipped licence";

  for (int page = 2; page <= 4; ++page) {
    w.Press(VK_RETURN);
    ASSERT_TRUE(w.WaitForPage(page)) << "Enter did not lead to page " << page;
    ExpectButtonsOf(w, page);
  }

  w.Press(VK_ESCAPE);
  MessageBoxInfo box = w.ExpectBox("Confirm", "Setup is not complete.");
  EXPECT_EQ(w.Page(), 4);
  Wizard::AnswerWithKey(box, VK_ESCAPE);

  for (int page = 3; page >= 0; --page) {
    w.Press('B', true);
    ASSERT_TRUE(w.WaitForPage(page)) << "Alt+B did not lead back to page " << page;
  }
  ExpectButtonsOf(w, 0);

  // Esc in the question means No: the wizard stays where it was.
  w.Press(VK_ESCAPE);
  Wizard::AnswerWithKey(w.ExpectBox("Confirm", "Setup is not complete."), VK_ESCAPE);
  EXPECT_TRUE(IsWindowVisible(w.window()));
  EXPECT_EQ(w.Page(), 0);
  EXPECT_EQ(w.Text(widTopLbl), kHeaders[0]);

  w.Quit();
  ExpectEmptyKey("Install");
  ExpectEmptyKey("Internal");
}

TEST(WizardFlow, OnlyALowerCaseDashDSwitchPresetsTheDestination) {
  char programFiles[MAX_PATH] = {};
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles), S_OK);
  const std::string fallback = std::string(programFiles) + "\\" NAME_SHORT;
  char shortName[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(programFiles, shortName, MAX_PATH), 0u);
  const struct {
    std::string args;
    std::string shown;
  } cases[] = {
      {"-dD:\\Tools\\Writer", "D:\\Tools\\Writer"},  // taken as given, though it does not exist
      {"-DD:\\Tools\\Writer", fallback},
      {"/dD:\\Tools\\Writer", fallback},
      {"-dC:\\foo\\..", "C:\\" NAME_SHORT},  // never the drive root
      {"-d" + std::string(shortName), std::string(shortName) + "\\" NAME_SHORT},  // Program Files itself
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    ForgetSavedSettings();
    Wizard w(c.args);
    ASSERT_NE(w.window(), nullptr);
    w.Press(VK_RETURN);
    ASSERT_TRUE(w.WaitForPage(1));
    w.Press(VK_RETURN);
    ASSERT_TRUE(w.WaitForPage(2));
    w.Press(VK_RETURN);
    ASSERT_TRUE(w.WaitForPage(3));
    EXPECT_EQ(w.Text(widDestDirEdt), c.shown);
    w.Quit();
  }
}

TEST(WizardFlow, DecliningTheLicenceAsksNoKeepsThePageYesQuits) {
  ForgetSavedSettings();
  Wizard w;
  ASSERT_NE(w.window(), nullptr);
  w.Press(VK_RETURN);
  ASSERT_TRUE(w.WaitForPage(1));
  HWND accept = w.Control(widLicenseChkBx);
  ASSERT_EQ(SendMessageA(accept, BM_GETCHECK, 0, 0), BST_CHECKED) << "the licence box starts checked";
  w.Press('A', true);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(accept, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, kStepTimeout))
      << "Alt+A did not uncheck the licence box";

  const char kQuestion[] = "To install this program, you need to agree";
  w.Press(VK_RETURN);
  Wizard::AnswerWithButton(w.ExpectBox("Information", kQuestion), IDNO);
  EXPECT_EQ(w.Page(), 1);
  EXPECT_EQ(w.Text(widTopLbl), kHeaders[1]);

  // Still on the licence page, still declined: Next asks again.
  w.Press(VK_RETURN);
  Wizard::AnswerWithButton(w.ExpectBox("Information", kQuestion), IDYES);
  w.ExpectExitZero();
  ExpectEmptyKey("Install");
}

TEST(WizardFlow, ARunningCopyHoldsTheFirstVisitToTheLicenceUntilItCloses) {
  ForgetSavedSettings();
  Wizard w;
  ASSERT_NE(w.window(), nullptr);
  ASSERT_TRUE(w.WaitForPage(0));
  {
    RunningCopyMarker running;
    ASSERT_TRUE(running.made());
    w.Press(VK_RETURN);
    Wizard::AnswerWithKey(
        w.ExpectBox("Information", "A copy of " NAME_PRODUCT " is already running on your system."), VK_RETURN);
    EXPECT_EQ(w.Page(), 0);
    EXPECT_EQ(w.Text(widTopLbl), kHeaders[0]);
  }
  w.Press(VK_RETURN);
  ASSERT_TRUE(w.WaitForPage(1)) << "Next did not reach the licence once the copy had closed";

  // Only the first visit asks: back and forward again pass a running copy.
  RunningCopyMarker running;
  w.Press('B', true);
  ASSERT_TRUE(w.WaitForPage(0));
  w.Press(VK_RETURN);
  EXPECT_TRUE(w.WaitForPage(1)) << "the second visit to the licence was held";
  running.Remove();
  w.Quit();
}

// Its icon cannot be checked from here: Wine does not answer WM_GETICON across
// processes, and a dialog's class has no icon of its own.
TEST(WizardFlow, TheOpenWizardIsTheProcesssOneTaskbarWindow) {
  ForgetSavedSettings();
  Wizard w;
  ASSERT_NE(w.window(), nullptr);
  EXPECT_EQ(TaskbarWindowsOf(w.processId()), std::vector<HWND>{w.window()});
  EXPECT_EQ(GetWindow(w.window(), GW_OWNER), nullptr);
  char title[256] = {};
  GetWindowTextA(w.window(), title, sizeof(title));
  EXPECT_STREQ(title, kTitle);
  w.Quit();
}

// Next on the ready page installs into the destination on a worker thread
// and moves on to the associations page; the installation log is written
// once the wizard has closed, also when it is quit there.
TEST(WizardFlow, TheReadyPageInstallsTheProductAndTheLogFollowsTheWizard) {
  const Places places;  // what an earlier run left is gone, and so is this one's at the end
  const std::string& dest = places.dest;
  const std::string stamp = places.data + "\\Hidden\\install_stamp";

  Wizard w("-d" + dest);
  ASSERT_NE(w.window(), nullptr);
  for (int page = 1; page <= 4; ++page) {
    w.Press(VK_RETURN);
    ASSERT_TRUE(w.WaitForPage(page));
  }
  w.Press(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return w.Text(widTopLbl) == "Associate With Document Types"; }, 60000))
      << "the install run did not hand over to the associations page; header: " << w.Text(widTopLbl);
  EXPECT_FALSE(IsWindowEnabled(w.Control(widBackBtn)));
  EXPECT_TRUE(IsWindowEnabled(w.Control(widNextBtn)));

  const std::string shipped = testfiles::ReadWholeFile(testfiles::ArgPath(3));
  EXPECT_EQ(testfiles::ReadWholeFile(dest + "\\License.txt"), shipped);
  EXPECT_GT(testfiles::ReadWholeFile(dest + "\\vlm.exe").size(), 100000u);
  EXPECT_EQ(testfiles::ReadWholeFile(stamp).size(), 8u) << "no install time stamp";
  EXPECT_EQ(GetFileAttributesA((dest + "\\Install.log").c_str()), INVALID_FILE_ATTRIBUTES)
      << "the log is saved after the wizard, not before";

  w.Quit();
  const std::vector<std::string> log = Lines(testfiles::ReadWholeFile(dest + "\\Install.log"));
  auto logged = [&](const std::string& line) { return std::find(log.begin(), log.end(), line) != log.end(); };
  EXPECT_TRUE(logged("Made Dir: " + dest + "\\")) << "the destination's creation is not in Install.log";
  EXPECT_TRUE(logged("File Copy: " + dest + "\\vlm.exe"));
  EXPECT_TRUE(logged("File Copy: " + dest + "\\License.txt"));
  for (const std::string& line : log)
    EXPECT_EQ(line.find("Templates"), std::string::npos) << "shared data must not be logged: " << line;

  // Quitting after the run still saves the choices and registers the uninstaller.
  auto value = [](HKEY root, const std::string& key, const char* name, DWORD& type) {
    char data[1024] = {};
    DWORD size = sizeof(data);
    type = 0;
    if (RegGetValueA(root, key.c_str(), name, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS) return std::string("<absent>");
    return type == REG_DWORD ? std::to_string(*reinterpret_cast<DWORD*>(data)) : std::string(data);
  };
  const std::string install = std::string(kSettingsKey) + "\\Install";
  DWORD type = 0;
  EXPECT_EQ(value(HKEY_CURRENT_USER, install, "MAINDIR", type), dest);
  EXPECT_EQ(type, DWORD(REG_SZ));
  EXPECT_EQ(value(HKEY_CURRENT_USER, install, "COMPS (1.6.6.2)", type), "2147483646");
  EXPECT_EQ(type, DWORD(REG_DWORD));
  EXPECT_EQ(value(HKEY_CURRENT_USER, install, "INSTALLTOALL", type), "1");
  EXPECT_EQ(value(HKEY_CURRENT_USER, install, "EXTENSIONS", type), "B");
  EXPECT_EQ(value(HKEY_CURRENT_USER, install, "LAUNCH", type), "1");
  const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" NAME_PRODUCT;
  EXPECT_EQ(value(HKEY_LOCAL_MACHINE, uninstall, "UninstallString", type), "\"" + dest + "\\vlm.exe\" -ui");
  EXPECT_EQ(value(HKEY_LOCAL_MACHINE, uninstall, "DisplayIcon", type), dest + "\\vlm.exe");
  EXPECT_NE(value(HKEY_LOCAL_MACHINE, uninstall, "EstimatedSize", type), "<absent>");
  EXPECT_EQ(type, DWORD(REG_DWORD));
}

// A USB stick attached while the destination page is shown: the wizard moves
// there within a second, and the install is portable: no install-for-anyone
// box, no associations page, everything inside the destination, no logs or
// time stamp, nothing in the all-users data folder.
TEST(WizardFlow, AStickAttachedOnTheDestinationPageTakesAPortableInstall) {
  ForgetSavedSettings();
  char common[MAX_PATH] = {};
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, common), S_OK);
  const std::string shared = std::string(common) + "\\" NAME_SHORT;
  DeleteTree(shared);
  const std::string unixFolder = "/tmp/vellumar-stick-" + std::to_string(GetCurrentProcessId());
  const std::string stickFolder = WindowsPath(unixFolder);
  DeleteTree(stickFolder);  // an earlier run's, when Wine gives this process the same id
  ASSERT_TRUE(CreateDirectoryA(stickFolder.c_str(), nullptr));
  char letter = 'R';
  while (letter < 'Y' && (GetLogicalDrives() >> (letter - 'A')) & 1) ++letter;
  const std::string drive(1, char(letter - 'A' + 'a'));

  Wizard w;
  ASSERT_NE(w.window(), nullptr);
  for (int page = 1; page <= 2; ++page) {
    w.Press(VK_RETURN);
    ASSERT_TRUE(w.WaitForPage(page));
  }
  {
    RemovableDrive stick(letter, unixFolder);
    ASSERT_TRUE(stick.defined()) << "Wine's mount manager did not make " << letter << ": a removable drive";
    EXPECT_TRUE(WaitUntil([&] { return w.Text(widDestDirEdt) == drive + ":\\" NAME_SHORT; }, kStepTimeout))
        << "the destination did not follow the new drive: " << w.Text(widDestDirEdt);
    EXPECT_EQ(w.Text(widDestDirCmbBx).substr(0, 3), drive + ": ");
    for (int page = 3; page <= 4; ++page) {
      w.Press(VK_RETURN);
      ASSERT_TRUE(w.WaitForPage(page));
    }
    EXPECT_FALSE(IsWindowVisible(w.Control(widInstallToAllChkBx)));

    w.Press(VK_RETURN);
    bool associations = false;
    EXPECT_TRUE(WaitUntil(
        [&] {
          const std::string header = w.Text(widTopLbl);
          associations = associations || header == "Associate With Document Types";
          return header == "Installation Complete";
        },
        60000))
        << "the install run did not end on the finish page: " << w.Text(widTopLbl);
    EXPECT_FALSE(associations);
    HWND launch = w.Control(widFinishChkBx);
    ClickButton(launch);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(launch, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, kStepTimeout));
    w.Press(VK_RETURN);
    w.ExpectExitZero();
  }

  std::vector<std::string> files;
  CollectFiles(stickFolder, "", files);
  auto has = [&](const std::string& f) { return std::find(files.begin(), files.end(), f) != files.end(); };
  for (const char* f : {NAME_SHORT "\\vlm.exe", NAME_SHORT "\\License.txt", NAME_SHORT "\\Spellcheck\\us.zlx",
                        NAME_SHORT "\\Templates\\Faxes\\Fax 1.rtf", NAME_SHORT "\\Basic.asn"})
    EXPECT_TRUE(has(f)) << f << " is not inside the destination";
  for (const std::string& f : files) {
    const std::string name = f.substr(f.find_last_of('\\') + 1);
    EXPECT_TRUE(name != "Install.log" && name != "Update.log" && name != "install_stamp") << f;
  }
  EXPECT_EQ(GetFileAttributesA(shared.c_str()), INVALID_FILE_ATTRIBUTES) << "written to the all-users data folder";
  DeleteTree(stickFolder);
}
