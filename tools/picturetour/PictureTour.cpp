// Walks the real setup through every page and its three questions and saves a
// picture of each, for the README. Not a test: the end-to-end tests check the
// behaviour; this only stops where a user would look.
//   picture_tour.exe <setup.exe> <output folder>
// Writes <name>.bmp per picture and tour.log, whose last line is "done" or
// says where the tour stopped. Run it inside a Wine desktop so that windows
// have frames.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "tests/support/Names.h"
#include "base/WinHandles.h"
#include "tests/support/ProcessDriver.h"
#include "tools/picturetour/Screenshot.h"
#include "wizard/WizardLayout.h"

using namespace e2e;
using namespace wizard;

namespace {

// Planned into the destination by the default components, after the program
// and the spellchecker: locked, it stops the run about a third of the way.
const char kLockedFile[] = "Hyphenation.dat";
// The last file of the run, in the shared data folder.
const char kLateLockedFile[] = "Basic.asn";

const TWidgetId kSheets[kPageCount] = {widWelcomeTabSheet, widLicenseTabSheet, widDestDirTabSheet,
                                       widSelCompTabSheet, widStartTabSheet,   widInstallingTabSheet,
                                       widAssocTabSheet,   widFinishTabSheet};

// Where the shared data of a non-portable install goes.
std::string SharedFolder() {
  char common[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, common);
  return std::string(common) + "\\" NAME_SHORT "\\Public";
}

// Makes every folder above a file.
void MakeFolders(const std::string& file) {
  for (size_t at = file.find('\\', 3); at != std::string::npos; at = file.find('\\', at + 1))
    CreateDirectoryA(file.substr(0, at).c_str(), nullptr);
}

class Log {
 public:
  explicit Log(const std::string& path) : file_(fopen(path.c_str(), "wb")) {}
  ~Log() {
    if (file_) fclose(file_);
  }
  void Line(const std::string& text) {
    if (!file_) return;
    fprintf(file_, "%s\n", text.c_str());
    fflush(file_);
  }

 private:
  FILE* file_;
};

// A step that did not come about ends the tour with its description.
void Need(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what);
}

// The setup's install run held still, so that the installing page can be seen
// as the run left it: the newest thread other than the wizard's is the run's.
class SuspendedWorker {
 public:
  SuspendedWorker(DWORD processId, DWORD wizardThread) {
    base::UniqueFile snap(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 te = {};
    te.dwSize = sizeof(te);
    ULONGLONG newest = 0;
    for (BOOL more = snap && Thread32First(snap.get(), &te); more; more = Thread32Next(snap.get(), &te)) {
      if (te.th32OwnerProcessID != processId || te.th32ThreadID == wizardThread) continue;
      base::UniqueHandle t(OpenThread(THREAD_SUSPEND_RESUME | THREAD_QUERY_INFORMATION, FALSE, te.th32ThreadID));
      FILETIME created, exited, kernel, user;
      if (!t || !GetThreadTimes(t.get(), &created, &exited, &kernel, &user)) continue;
      const ULONGLONG at = ULONGLONG(created.dwHighDateTime) << 32 | created.dwLowDateTime;
      if (thread_ && at < newest) continue;
      newest = at;
      thread_.reset(t.release());
    }
    suspended_ = thread_ && SuspendThread(thread_.get()) != DWORD(-1);
  }
  ~SuspendedWorker() {
    if (suspended_) ResumeThread(thread_.get());
  }
  bool suspended() const { return suspended_; }

 private:
  base::UniqueHandle thread_;
  bool suspended_ = false;
};

class Tour {
 public:
  Tour(const std::string& setupExe, const std::string& outDir) : outDir_(outDir), log_(outDir + "\\tour.log") {
    // The wizard shows its defaults only without saved choices.
    DeleteKeyTree(HKEY_CURRENT_USER, kSettingsKey);
    setup_ = std::make_unique<ChildProcess>(setupExe);
  }

  void Run() {
    Need(setup_->started(), "the setup did not start");
    wnd_ = WaitForWindowWithControl(setup_->id(), kTitle, widPgCtrl, kStartTimeout);
    Need(wnd_ != nullptr, "no wizard window");

    WaitForPage(0);
    Picture("page-0-welcome");
    Press(VK_ESCAPE);
    MessageBoxInfo box = Box("the close question");
    Picture("question-close", box.window);
    Answer(box, IDNO);

    Press(VK_RETURN);
    WaitForPage(1);
    Picture("page-1-licence");
    HWND accept = Control(widLicenseChkBx);
    Press('A', true);
    Need(WaitUntil([&] { return SendMessageA(accept, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, kStepTimeout),
         "Alt+A did not uncheck the licence box");
    Press(VK_RETURN);
    box = Box("the licence question");
    Picture("question-licence", box.window);
    Answer(box, IDNO);
    Press('A', true);
    Need(WaitUntil([&] { return SendMessageA(accept, BM_GETCHECK, 0, 0) == BST_CHECKED; }, kStepTimeout),
         "Alt+A did not check the licence box again");

    Press(VK_RETURN);
    WaitForPage(2);
    const std::string dest = ControlText(Control(widDestDirEdt));
    Picture("page-2-destination");
    Press(VK_RETURN);
    WaitForPage(3);
    Picture("page-3-components");
    Press(VK_RETURN);
    WaitForPage(4);
    Picture("page-4-ready");

    // Two target files held open without sharing: the run asks about each.
    // The first question is the picture; the second comes late enough in the
    // run for the page under it to show progress.
    const std::string locked[] = {dest + "\\" + kLockedFile, SharedFolder() + "\\" + kLateLockedFile};
    base::UniqueFile locks[2];
    for (int i = 0; i < 2; ++i) {
      MakeFolders(locked[i]);
      locks[i].reset(CreateFileA(locked[i].c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
      Need(bool(locks[i]), "cannot lock " + locked[i]);
    }
    Press(VK_RETURN);
    box = WaitForMessageBox(setup_->id(), kInstallTimeout);
    Need(box.window != nullptr, "the locked file raised no question");
    Need(IsWindowVisible(Control(widInstallingTabSheet)) != FALSE, "the question is not over the installing page");
    Picture("question-locked-file", box.window);
    locks[0].reset();
    Answer(box, IDRETRY);
    box = WaitForMessageBox(setup_->id(), kInstallTimeout);
    Need(box.window != nullptr, "the second locked file raised no question");
    {
      // Retry with the file free again, while the run stands still: the page
      // stays as it was when the question came.
      SuspendedWorker worker(setup_->id(), GetWindowThreadProcessId(wnd_, nullptr));
      Need(worker.suspended(), "cannot hold the install run");
      locks[1].reset();
      Answer(box, IDRETRY);
      Need(WaitUntil([&] { return IsWindowEnabled(wnd_) != FALSE; }, kStepTimeout), "the wizard stayed disabled");
      HWND bar = Control(widInstallingProgressBar);
      log_.Line("installing " + ControlText(Control(widInstallingLbl2)) + ", " +
                std::to_string(SendMessageA(bar, PBM_GETPOS, 0, 0)) + " of " +
                std::to_string(SendMessageA(bar, PBM_GETRANGE, FALSE, 0)) + " bytes");
      Picture("page-5-installing");
      Need(Page() == 5, "the run went on while it was to stand still");
    }
    Need(WaitUntil([&] { return Page() == 6; }, kInstallTimeout), "the run did not reach the associations page");
    Picture("page-6-associations");
    Press(VK_RETURN);
    WaitForPage(7);
    Picture("page-7-finish");

    // Finish without starting the word processor.
    HWND launch = Control(widFinishChkBx);
    if (SendMessageA(launch, BM_GETCHECK, 0, 0) == BST_CHECKED) {
      Press('L', true);
      Need(WaitUntil([&] { return SendMessageA(launch, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, kStepTimeout),
           "Alt+L did not uncheck the launch box");
    }
    Press(VK_RETURN);
    DWORD code = 1234;
    Need(setup_->WaitForExit(kStepTimeout * 3, &code), "the setup did not end after Finish");
    Need(code == 0, "the setup ended with " + std::to_string(code));
    log_.Line("done");
  }

  void Fail(const std::string& why) { log_.Line("failed: " + why); }

 private:
  HWND Control(TWidgetId id) const { return FindControl(wnd_, id); }

  // The page whose sheet is visible and whose header is up, or -1.
  int Page() const {
    for (int page = 0; page < kPageCount; ++page)
      if (IsWindowVisible(Control(kSheets[page])) && ControlText(Control(widTopLbl)) == PageTitles[page]) return page;
    return -1;
  }

  void WaitForPage(int page) const {
    Need(WaitUntil([&] { return Page() == page; }, kStepTimeout), "page " + std::to_string(page) + " did not come");
  }

  void Press(WORD vk, bool withAlt = false) const {
    Need(BringToFront(wnd_, kStepTimeout), "the wizard did not come to the front");
    PressKey(vk, withAlt);
  }

  MessageBoxInfo Box(const std::string& what) const {
    MessageBoxInfo box = WaitForMessageBox(setup_->id(), kStepTimeout);
    Need(box.window != nullptr, "no box for " + what);
    return box;
  }

  static void Answer(const MessageBoxInfo& box, int buttonId) {
    HWND button = GetDlgItem(box.window, buttonId);
    Need(button != nullptr, "the box has no button " + std::to_string(buttonId));
    ClickButton(button);
    Need(WaitUntilGone(box.window, kStepTimeout), "the box stayed after its button");
  }

  void Picture(const std::string& name, HWND box = nullptr) {
    Need(tour::SaveStablePicture(tour::AreaOf(wnd_, box), outDir_ + "\\" + name + ".bmp"), "cannot save " + name);
    log_.Line(name);
  }

  std::string outDir_;
  Log log_;
  std::unique_ptr<ChildProcess> setup_;
  HWND wnd_ = nullptr;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 3) return 2;
  Tour tour(WindowsPath(__argv[1]), WindowsPath(__argv[2]));
  try {
    tour.Run();
  } catch (const std::exception& e) {
    tour.Fail(e.what());
    return 1;
  }
  return 0;
}
