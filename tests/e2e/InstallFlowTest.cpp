// Whole installs through the real setup, runs that meet a locked file or a
// Cancel, and the removal through the uninstall command the setup registers:
// only what a user or the system sees.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <objidl.h>

#include <algorithm>
#include <map>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Names.h"
#include "InstallPlaces.h"
#include "tests/support/ProcessDriver.h"
#include "base/WinHandles.h"
#include "tests/common/TestFiles.h"
#include "wizard/WizardLayout.h"

using namespace e2e;
using namespace wizard;

namespace {

const int kClipLibraryRow = 4;  // the component list's rows follow the component table
const char kAssociationsHeader[] = "Associate With Document Types";
// Planned in the middle of the run and written into the destination.
const char kMiddleFile[] = "Hyphenation.dat";
const int kMiddlePlan = 2;
const int kLastPlan = 5;  // the sound scheme's

std::string SetupExe() { return testfiles::ArgPath(1); }
std::string GatedSetupExe() { return testfiles::ArgPath(4); }




std::vector<std::string> EntriesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return names;
  do
    if (strcmp(fd.cFileName, ".") != 0 && strcmp(fd.cFileName, "..") != 0) names.push_back(fd.cFileName);
  while (FindNextFileA(find, &fd));
  FindClose(find);
  return names;
}

std::vector<std::string> LogLines(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream in(testfiles::ReadWholeFile(path));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

// The product's logs compare lines without regard to case.
struct CaseLess {
  bool operator()(const std::string& a, const std::string& b) const { return lstrcmpiA(a.c_str(), b.c_str()) < 0; }
};

size_t CountOf(const std::vector<std::string>& lines, const std::string& line) {
  return std::count_if(lines.begin(), lines.end(),
                       [&](const std::string& l) { return lstrcmpiA(l.c_str(), line.c_str()) == 0; });
}


struct Choices {
  std::string args;
  bool installToAll = true;  // false: unchecked with Alt+A on the ready page
  bool alsoDoc = false;      // "MS Word DOC Documents" checked on the associations page
  bool clipLibrary = true;   // false: unchecked with Space on the component page
};

// One start of a setup executable, worked through its wizard window.
class SetupRun {
 public:
  SetupRun(const std::string& exe, const std::string& args) : process_(exe, args) {
    if (process_.started()) wnd_ = WaitForWindowWithControl(process_.id(), kTitle, widPgCtrl, kStartTimeout);
  }
  HWND window() const { return wnd_; }
  DWORD id() const { return process_.id(); }
  HWND Control(TWidgetId id) const { return FindControl(wnd_, id); }
  std::string Text(TWidgetId id) const { return ControlText(Control(id)); }
  bool Checked(TWidgetId id) const { return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  bool Reach(const std::string& header, DWORD ms) const {
    return WaitUntil([&] { return Text(widTopLbl) == header; }, ms);
  }
  void Press(WORD vk, bool withAlt = false) const {
    ASSERT_TRUE(BringToFront(wnd_, kStepTimeout)) << "the wizard did not come to the front";
    PressKey(vk, withAlt);
  }

  // Enter from the welcome page to the ready page; the destination page's
  // edit text goes to destShown.
  void ToReadyPage(std::string* destShown = nullptr, bool clipLibrary = true) const {
    for (const char* header :
         {"License Agreement", "Choose Destination Folder", "Select Components", "Ready to Install"}) {
      ASSERT_NO_FATAL_FAILURE(Press(VK_RETURN));
      ASSERT_TRUE(Reach(header, kStepTimeout)) << "Enter did not lead to " << header;
      if (destShown && std::string(header) == "Choose Destination Folder") *destShown = Text(widDestDirEdt);
      if (!clipLibrary && std::string(header) == "Select Components") {
        // The list has the focus on this page: select the row, Space flips it.
        const std::string before = Text(widSelCompDiskSpaceReqLbl2);
        SendMessageA(Control(widSelCompLstBx), LB_SETCURSEL, kClipLibraryRow, 0);
        ASSERT_NO_FATAL_FAILURE(Press(VK_SPACE));
        ASSERT_TRUE(WaitUntil([&] { return Text(widSelCompDiskSpaceReqLbl2) != before; }, kStepTimeout))
            << "Space did not change the space required";
      }
    }
  }

  // From the associations page through the finish page with the launch box
  // unchecked (Alt+L): the setup ends with 0.
  void Finish() {
    ASSERT_NO_FATAL_FAILURE(Press(VK_RETURN));
    ASSERT_TRUE(Reach("Installation Complete", kStepTimeout));
    if (Checked(widFinishChkBx)) {  // a saved LAUNCH 0 starts it unchecked
      ASSERT_NO_FATAL_FAILURE(Press('L', true));
      ASSERT_TRUE(WaitUntil([&] { return !Checked(widFinishChkBx); }, kStepTimeout)) << "Alt+L did not uncheck Launch";
    }
    ASSERT_NO_FATAL_FAILURE(Press(VK_RETURN));
    DWORD code = 1234;
    ASSERT_TRUE(process_.WaitForExit(kStepTimeout, &code)) << "Finish did not end the setup";
    EXPECT_EQ(code, 0u);
  }

  // The setup ends by itself with 0 and asks nothing on the way.
  void EndsUnasked() {
    MessageBoxInfo asked;
    WaitUntil(
        [&] {
          asked = WaitForMessageBox(process_.id(), 0);
          return asked.window || !process_.Running();
        },
        kStepTimeout);
    ASSERT_EQ(asked.window, nullptr) << "asked on the way out: " << asked.caption << ": " << asked.text;
    DWORD code = 1234;
    ASSERT_TRUE(process_.WaitForExit(kStepTimeout, &code)) << "the setup did not end";
    EXPECT_EQ(code, 0u);
  }

 private:
  ChildProcess process_;
  HWND wnd_ = nullptr;
};

// Walks the wizard with Enter to the finish page, making the choices on the
// way, leaves the launch box unchecked (Alt+L) and finishes with Enter. The
// destination page's edit text goes to destShown.
void InstallThroughWizard(const Choices& c, std::string* destShown = nullptr) {
  SetupRun run(SetupExe(), c.args);
  ASSERT_NE(run.window(), nullptr) << "no wizard window";
  ASSERT_NO_FATAL_FAILURE(run.ToReadyPage(destShown, c.clipLibrary));
  ASSERT_TRUE(run.Checked(widInstallToAllChkBx)) << "install for anyone starts unchecked";
  if (!c.installToAll) {
    ASSERT_NO_FATAL_FAILURE(run.Press('A', true));
    ASSERT_TRUE(WaitUntil([&] { return !run.Checked(widInstallToAllChkBx); }, kStepTimeout))
        << "Alt+A did not uncheck it";
  }
  ASSERT_NO_FATAL_FAILURE(run.Press(VK_RETURN));
  ASSERT_TRUE(run.Reach(kAssociationsHeader, kInstallTimeout))
      << "the install run did not end: " << run.Text(widTopLbl);
  if (c.alsoDoc) {
    ClickButton(run.Control(widAssocChkBx3));
    ASSERT_TRUE(WaitUntil([&] { return run.Checked(widAssocChkBx3); }, kStepTimeout));
  }
  ASSERT_NO_FATAL_FAILURE(run.Finish());
}

// A payload record where a normal install of every component puts it.
struct PlannedFile {
  std::string target;
  std::string source;  // the shipped bytes
  int plan;            // the worker writes the plans in order
  bool logged;
  std::string time;    // the manifest's "YYYY-MM-DD HH:MM:SS", local time
};

// The payload manifest's records (name, time, source; "$BUILD/" for build
// outputs) placed as the setup plans them: program, licence and hyphenation
// data in the destination, the spellchecker (with a second copy of the
// American cache for British) in Public\Spellcheck, templates, clip library
// and sound scheme in Public; the first three and the sounds are logged.
std::vector<PlannedFile> PlannedFiles(const Places& p) {
  const std::string manifest = testfiles::ArgPath(5);
  const std::string productFolder = manifest.substr(0, manifest.find_last_of('\\') + 1);
  const std::string buildFolder = testfiles::ArgPath(6) + "\\";
  const std::string shared = p.data + "\\Public\\";
  std::vector<PlannedFile> files;
  std::istringstream in(testfiles::ReadWholeFile(manifest));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.compare(0, 2, "//") == 0) continue;
    const std::string name = line.substr(0, line.find('\t'));
    std::string source = line.substr(line.rfind('\t') + 1);
    source = source.compare(0, 7, "$BUILD/") == 0 ? buildFolder + source.substr(7) : productFolder + source;
    std::replace(source.begin(), source.end(), '/', '\\');
    const auto starts = [&](const char* prefix) { return name.compare(0, strlen(prefix), prefix) == 0; };
    const int plan = name == "vlm.exe" || name == "License.txt" ? 0
                     : name == kMiddleFile                       ? kMiddlePlan
                     : starts("Templates\\")                     ? 3
                     : starts("Clip Library\\")                  ? 4
                     : name == "Basic.asn"                       ? kLastPlan
                                                                 : 1;
    const std::string folder =
        plan == 0 || plan == kMiddlePlan ? p.dest + "\\" : plan == 1 ? shared + "Spellcheck\\" : shared;
    const bool logged = plan == 0 || plan == kMiddlePlan || plan == kLastPlan;
    const size_t tab = line.find('\t');
    const std::string time = line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1);
    files.push_back({folder + name, source, plan, logged, time});
    if (name == "English (American).cache")
      files.push_back({folder + "English (British).cache", source, plan, false, time});
  }
  return files;
}

std::vector<PlannedFile> PlansOf(const std::vector<PlannedFile>& files, int first, int last) {
  std::vector<PlannedFile> some;
  for (const PlannedFile& f : files)
    if (f.plan >= first && f.plan <= last) some.push_back(f);
  return some;
}

// Each file holds its shipped bytes; Install.log names each logged one once.
void ExpectWritten(const std::vector<PlannedFile>& files, const std::vector<std::string>& log) {
  ASSERT_FALSE(files.empty());
  std::string wrong;
  for (const PlannedFile& f : files) {
    ASSERT_TRUE(Exists(f.source)) << "no shipped file " << f.source;
    if (!Exists(f.target) || testfiles::ReadWholeFile(f.target) != testfiles::ReadWholeFile(f.source))
      wrong += "\n  " + f.target;
    if (f.logged) {
      EXPECT_EQ(CountOf(log, "File Copy: " + f.target), 1u) << f.target;
    }
  }
  EXPECT_TRUE(wrong.empty()) << "missing or not as shipped:" << wrong;
}

// None of the files exists, and Install.log names none.
void ExpectNotWritten(const std::vector<PlannedFile>& files, const std::vector<std::string>& log) {
  ASSERT_FALSE(files.empty());
  std::string written;
  for (const PlannedFile& f : files) {
    if (Exists(f.target)) written += "\n  " + f.target;
    EXPECT_EQ(CountOf(log, "File Copy: " + f.target), 0u) << f.target;
  }
  EXPECT_TRUE(written.empty()) << "written after the stop:" << written;
}

// A run that ended early still leaves the choices, the uninstall entry and
// the log of what it did.
void ExpectRecordedAfterStop(const Places& p, const std::vector<std::string>& log) {
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kInstallKey, "MAINDIR"), p.dest);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kInstallKey, "COMPS (1.6.6.2)"), "2147483646");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kInstallKey, "EXTENSIONS"), "B");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), "\"" + p.dest + "\\vlm.exe\" -ui");
  EXPECT_NE(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize"), "<absent>");
  EXPECT_EQ(CountOf(log, "File Copy: " + p.dest + "\\vlm.exe"), 1u) << "Install.log was not saved";
}

// The gate of setup_gated: the worker it starts stops after the named file
// until Open. The setting reaches only setups started while it lives.
class WorkerGate {
 public:
  explicit WorkerGate(const char* file) {
    static int made = 0;
    const std::string name = "vellumar-gate-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++made);
    held_.reset(CreateEventA(nullptr, TRUE, FALSE, (name + ".held").c_str()));
    go_.reset(CreateEventA(nullptr, TRUE, FALSE, (name + ".go").c_str()));
    SetEnvironmentVariableA("VELLUMAR_GATE", name.c_str());
    SetEnvironmentVariableA("VELLUMAR_GATE_AFTER", file);
  }
  ~WorkerGate() {
    Open();
    SetEnvironmentVariableA("VELLUMAR_GATE", nullptr);
    SetEnvironmentVariableA("VELLUMAR_GATE_AFTER", nullptr);
  }
  WorkerGate(const WorkerGate&) = delete;
  WorkerGate& operator=(const WorkerGate&) = delete;
  bool made() const { return held_ && go_; }
  bool WaitUntilHeld(DWORD ms) const { return WaitForSingleObject(held_.get(), ms) == WAIT_OBJECT_0; }
  void Open() const { SetEvent(go_.get()); }

 private:
  base::UniqueHandle held_, go_;
};

}  // namespace

// The file's last-write time as local "YYYY-MM-DD HH:MM:SS".
std::string LocalWriteTime(const std::string& path) {
  base::UniqueFile f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  FILETIME utc = {}, local = {};
  SYSTEMTIME t = {};
  if (!f || !GetFileTime(f.get(), nullptr, nullptr, &utc) || !FileTimeToLocalFileTime(&utc, &local) ||
      !FileTimeToSystemTime(&local, &t))
    return "<unreadable>";
  char text[32];
  snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
  return text;
}

// Days since 30 December 1899, local time: how the setup stamps a run.
double NowAsDays() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  FILETIME ft;
  SystemTimeToFileTime(&t, &ft);
  const double since1601 = double((uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) / 864e9;
  return since1601 - 109205.0;  // 1 January 1601 to 30 December 1899
}

// A first install with every default: every file as shipped with its
// manifest time, the run's stamp, the common-data record and the shortcuts.
void ExpectFirstInstall(const Places& p) {
  TIME_ZONE_INFORMATION zone = {};
  GetTimeZoneInformation(&zone);
  EXPECT_NE(zone.Bias % 60, 0) << "the test run keeps to a zone with a half-hour offset, so that local "
                                  "and universal time cannot pass for each other";
  const std::vector<std::string> log = LogLines(p.dest + "\\Install.log");
  const std::vector<PlannedFile> files = PlannedFiles(p);
  ASSERT_NO_FATAL_FAILURE(ExpectWritten(files, log));
  for (const PlannedFile& f : files) EXPECT_EQ(LocalWriteTime(f.target), f.time) << f.target;

  const std::string stamp = testfiles::ReadWholeFile(p.data + "\\Hidden\\install_stamp");
  ASSERT_EQ(stamp.size(), 8u) << "install_stamp";
  double when = 0;
  memcpy(&when, stamp.data(), 8);
  EXPECT_NEAR(when, NowAsDays(), 1.0 / 24) << "install_stamp is not this run's local time";
  std::string hex = "*";
  for (unsigned char b : stamp) hex += "0123456789ABCDEF"[b >> 4], hex += "0123456789ABCDEF"[b & 15];
  const std::vector<std::string> updates = LogLines(p.data + "\\Update.log");
  ASSERT_FALSE(updates.empty());
  EXPECT_EQ(updates[0], hex) << "Update.log's stamp line is not install_stamp's bytes";

  const std::string common = testfiles::ReadWholeFile(p.data + "\\vlm_common.dat");
  ASSERT_EQ(common.size(), 25u) << "vlm_common.dat";
  uint32_t head[2], tail[2];
  double written = 0;
  memcpy(head, common.data(), 8);
  memcpy(&written, common.data() + 8, 8);
  memcpy(tail, common.data() + 16, 8);
  EXPECT_EQ(head[0], 1u);
  EXPECT_EQ(head[1], 8u);
  EXPECT_NEAR(written, NowAsDays(), 1.0 / 24);
  EXPECT_EQ(tail[0], 2u);
  EXPECT_EQ(tail[1], 1u);
  EXPECT_EQ(common[24], '1');

  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  for (const std::string& link : p.allUsersLinks) {
    IShellLinkA* shell = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                           reinterpret_cast<void**>(&shell))));
    IPersistFile* file = nullptr;
    shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    WCHAR wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
    char target[MAX_PATH] = {}, folder[MAX_PATH] = {};
    if (file && SUCCEEDED(file->Load(wide, STGM_READ))) {
      shell->GetPath(target, MAX_PATH, nullptr, 0);
      shell->GetWorkingDirectory(folder, MAX_PATH);
    }
    EXPECT_EQ(lstrcmpiA(target, (p.dest + "\\vlm.exe").c_str()), 0) << link << " points to " << target;
    EXPECT_EQ(lstrcmpiA(folder, p.dest.c_str()), 0) << link << " starts in " << folder;
    if (file) file->Release();
    shell->Release();
  }
  CoUninitialize();
}

// The second run starts from the first one's saved choices; the user only
// takes the shortcuts for themselves alone and adds a document type.
TEST(InstallFlow, ASecondRunOverTheFirstMovesTheShortcutsToTheUserAndMergesTheLog) {
  const Places p;
  ASSERT_NO_FATAL_FAILURE(InstallThroughWizard({"-d" + p.dest}));
  ASSERT_NO_FATAL_FAILURE(ExpectFirstInstall(p));
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kInstallKey, "MAINDIR"), p.dest);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kInstallKey, "COMPS (1.6.6.2)"), "2147483646");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kInstallKey, "INSTALLTOALL"), "1");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kInstallKey, "EXTENSIONS"), "B");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kInstallKey, "LAUNCH"), "0");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), "\"" + p.dest + "\\vlm.exe\" -ui");
  EXPECT_TRUE(Exists(p.data + "\\Update.log"));
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(Exists(p.allUsersLinks[i])) << p.allUsersLinks[i];
    EXPECT_FALSE(Exists(p.userLinks[i])) << p.userLinks[i];
  }
  const std::vector<std::string> first = LogLines(p.dest + "\\Install.log");
  for (const std::string& line : {"Made Dir: " + p.dest + "\\", "File Copy: " + p.dest + "\\vlm.exe",
                                  "File Copy: " + p.allUsersLinks[0], "File Copy: " + p.allUsersLinks[1]})
    EXPECT_EQ(CountOf(first, line), 1u) << line;

  std::string shown;
  ASSERT_NO_FATAL_FAILURE(InstallThroughWizard({"", false, true, false}, &shown));
  EXPECT_EQ(shown, p.dest) << "the destination page forgot the first install";
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kInstallKey, "COMPS (1.6.6.2)"), "2147483630") << "clip library still chosen";
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kInstallKey, "INSTALLTOALL"), "0");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kInstallKey, "EXTENSIONS"), "BC");
  EXPECT_TRUE(WaitUntil([] { return Registered("cod") && Registered("doc"); }, kStepTimeout))
      << "the chosen document types were not registered";
  EXPECT_TRUE(Exists(p.data + "\\Update.log"));
  for (int i = 0; i < 2; ++i) {
    EXPECT_FALSE(Exists(p.allUsersLinks[i])) << p.allUsersLinks[i] << " stayed after the move to the user";
    EXPECT_TRUE(Exists(p.userLinks[i])) << p.userLinks[i];
  }
  // Wine links a new prefix's Desktop to the host's home; the test prefix must
  // keep the user's shortcuts to itself.
  char home[MAX_PATH] = {};  // in NT form: a four-character prefix, then Z: and the host's path
  ASSERT_GT(GetEnvironmentVariableA("WINEHOMEDIR", home, MAX_PATH), 4u) << "Wine names the host's home";
  for (const char* folder : {"\\", "\\Desktop\\"}) {
    const std::string host = std::string(home + 4) + folder + FileNameOf(p.userLinks[1]);
    EXPECT_FALSE(Exists(host)) << "the user's shortcut landed in the host's home: " << host;
  }
  const std::vector<std::string> merged = LogLines(p.dest + "\\Install.log");
  for (const std::string& line : first) EXPECT_EQ(CountOf(merged, line), 1u) << line;
  for (const std::string& link : p.userLinks) EXPECT_EQ(CountOf(merged, "File Copy: " + link), 1u) << link;
  const std::set<std::string, CaseLess> unique(merged.begin(), merged.end());
  EXPECT_EQ(unique.size(), merged.size()) << "duplicate lines";

  // Update.log: the clip library, not written again, stays under the first
  // run's stamp; everything the second run wrote is listed once, under its own.
  std::vector<std::string> stamps;
  std::map<std::string, size_t, CaseLess> group;  // entry -> index of its stamp
  std::string repeated;
  for (std::string line : LogLines(p.data + "\\Update.log")) {
    if (line[0] == '*') {
      EXPECT_EQ(line.size(), 17u) << line;
      stamps.push_back(line);
      continue;
    }
    ASSERT_FALSE(stamps.empty()) << "an entry before the first stamp: " << line;
    if (line.size() > 2 && line.compare(line.size() - 2, 2, "\t!") == 0) line.resize(line.size() - 2);
    if (!group.emplace(line, stamps.size() - 1).second) repeated += "\n  " + line;
  }
  ASSERT_EQ(stamps.size(), 2u) << "one stamp per run";
  EXPECT_NE(stamps[0], stamps[1]);
  EXPECT_TRUE(repeated.empty()) << "listed twice:" << repeated;
  size_t publicFiles = 0;
  for (const PlannedFile& f : PlannedFiles(p)) {
    if (f.target.compare(0, p.data.size() + 8, p.data + "\\Public\\") != 0) continue;
    ++publicFiles;
    const auto at = group.find(f.target);
    ASSERT_NE(at, group.end()) << f.target << " missing from Update.log";
    EXPECT_EQ(at->second, f.plan == 4 ? 0u : 1u) << f.target << " under the wrong run";
  }
  EXPECT_EQ(group.size(), publicFiles) << "Update.log lists files outside the public folder";
}

// Every file below folder, at any depth.
void FilesBelow(const std::string& folder, std::vector<std::string>& files) {
  for (const std::string& name : EntriesIn(folder)) {
    const std::string path = folder + "\\" + name;
    if (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY)
      FilesBelow(path, files);
    else
      files.push_back(path);
  }
}

// Runs the uninstall command the setup registered, which must name program,
// and answers Yes. The asking copy hands the work to a temporary copy and
// ends, so the removal is awaited by its effect: the program file going.
void UninstallRegisteredCopy(const std::string& program) {
  const std::string command = RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
  ASSERT_EQ(command, "\"" + program + "\" -ui");
  ChildProcess asking(ChildProcess::CommandLine{command});
  ASSERT_TRUE(asking.started()) << command;
  const MessageBoxInfo box = WaitForMessageBox(asking.id(), kStartTimeout);
  ASSERT_NE(box.window, nullptr) << "no question from " << command;
  EXPECT_EQ(box.text.rfind("Do you want to remove " NAME_PRODUCT, 0), 0u) << box.text;
  ASSERT_NE(GetDlgItem(box.window, IDYES), nullptr);
  ClickButton(GetDlgItem(box.window, IDYES));
  DWORD code = 1234;
  EXPECT_TRUE(asking.WaitForExit(kStepTimeout, &code));
  EXPECT_EQ(code, 0u);
  ASSERT_TRUE(WaitUntil([&] { return !Exists(program); }, 40000)) << "the program was not removed";
  const std::string folder = program.substr(0, program.rfind('\\'));
  EXPECT_TRUE(WaitUntil([&] { return EntriesIn(folder).empty(); }, kStepTimeout))
      << "the destination still holds " << EntriesIn(folder).size() << " entries";
}

// Two copies share the data folder. The newer one removed first leaves the
// older its data and its listing; the last one takes the data with it, but
// for what the user owns or changed.
TEST(InstallFlow, TwoCopiesShareTheDataUntilTheRegisteredUninstallRemovesTheLast) {
  const Places p;
  const std::string second = p.root + "\\Writer2";
  ASSERT_NO_FATAL_FAILURE(InstallThroughWizard({"-d" + p.dest, true, true}));
  ASSERT_TRUE(WaitUntil([] { return Registered("cod") && Registered("doc"); }, kStepTimeout));
  std::vector<std::string> recorded;
  for (const std::string& line : LogLines(p.dest + "\\Install.log"))
    if (line.compare(0, 11, "File Copy: ") == 0) recorded.push_back(line.substr(11));
  ASSERT_EQ(CountOf(recorded, p.dest + "\\vlm.exe"), 1u);
  for (const std::string& file : recorded) ASSERT_TRUE(Exists(file)) << file;
  ASSERT_NO_FATAL_FAILURE(InstallThroughWizard({"-d" + second}));
  const std::vector<PlannedFile> shared = PlansOf(PlannedFiles(p), 1, kLastPlan);
  const std::string changed = PlansOf(shared, 3, 3).at(0).target;
  const std::string dictionary = p.data + "\\Public\\Spellcheck\\userdicen.tlx";
  ASSERT_TRUE(testfiles::WriteWholeFile(changed, testfiles::ReadWholeFile(changed) + " and the user's own words"));

  ASSERT_NO_FATAL_FAILURE(UninstallRegisteredCopy(second + "\\vlm.exe"));
  for (const PlannedFile& f : shared)
    if (f.plan != kMiddlePlan) {
      EXPECT_TRUE(Exists(f.target)) << f.target;
    }
  for (const char* own : {"\\Update.log", "\\vlm_common.dat", "\\Hidden\\install_stamp"})
    EXPECT_TRUE(Exists(p.data + own)) << own;

  ASSERT_NO_FATAL_FAILURE(UninstallRegisteredCopy(p.dest + "\\vlm.exe"));
  for (const std::string& file : recorded) EXPECT_FALSE(Exists(file)) << file;
  std::vector<std::string> left;
  FilesBelow(p.data, left);
  std::vector<std::string> owned = {changed, dictionary};
  std::sort(left.begin(), left.end(), CaseLess());
  std::sort(owned.begin(), owned.end(), CaseLess());
  EXPECT_EQ(left, owned) << "the shared files the user did not change and the data folder's own go";
  for (int i = 0; i < 2; ++i) {
    EXPECT_FALSE(Exists(p.allUsersLinks[i])) << p.allUsersLinks[i];
    EXPECT_FALSE(Exists(p.userLinks[i])) << p.userLinks[i];
  }
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, NAME_KEY)) << "the counts stay";
  for (const char* type : {"cod", "doc"}) {
    EXPECT_FALSE(Registered(type)) << type;
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Classes\\" + ProgId(type))) << type;
  }
}

// Another program holds the hyphenation data, already on disk, open without
// sharing while the run comes to it: the setup asks Abort, Retry or Ignore.
// Retry once it is released writes it; Ignore leaves it as it was and goes
// on; Abort ends the setup without a close question, writes nothing more and
// still records what was done.
TEST(InstallFlow, ALockedFileIsRetriedIgnoredOrEndsTheRunAsAnswered) {
  const std::string kOld = "held by another program\r\n";
  for (const int answer : {IDRETRY, IDIGNORE, IDABORT}) {
    SCOPED_TRACE(answer == IDRETRY ? "Retry" : answer == IDIGNORE ? "Ignore" : "Abort");
    const Places p;
    const std::string locked = p.dest + "\\" + kMiddleFile;
    ASSERT_TRUE(CreateDirectoryA(p.root.c_str(), nullptr) && CreateDirectoryA(p.dest.c_str(), nullptr));
    {
      base::UniqueFile f(CreateFileA(locked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
      DWORD written = 0;
      ASSERT_TRUE(f && WriteFile(f.get(), kOld.data(), DWORD(kOld.size()), &written, nullptr));
    }
    base::UniqueFile lock(
        CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock) << "cannot lock " << locked;

    SetupRun run(SetupExe(), "-d" + p.dest);
    ASSERT_NE(run.window(), nullptr) << "no wizard window";
    ASSERT_NO_FATAL_FAILURE(run.ToReadyPage());
    ASSERT_NO_FATAL_FAILURE(run.Press(VK_RETURN));
    const MessageBoxInfo box = WaitForMessageBox(run.id(), kInstallTimeout);
    ASSERT_NE(box.window, nullptr) << "no question about the locked file";
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text.rfind("Cannot create file \"" + locked + "\".", 0), 0u) << box.text;
    for (const int button : {IDABORT, IDRETRY, IDIGNORE})
      ASSERT_NE(GetDlgItem(box.window, button), nullptr) << "no button " << button;
    if (answer == IDRETRY) lock.reset();
    ClickButton(GetDlgItem(box.window, answer));
    ASSERT_TRUE(WaitUntilGone(box.window, kStepTimeout)) << "the question stayed after its answer";
    if (answer == IDABORT) {
      ASSERT_NO_FATAL_FAILURE(run.EndsUnasked());
    } else {
      ASSERT_TRUE(run.Reach(kAssociationsHeader, kInstallTimeout)) << "the run did not go on: " << run.Text(widTopLbl);
      lock.reset();
      ASSERT_NO_FATAL_FAILURE(run.Finish());
    }
    lock.reset();

    const std::vector<PlannedFile> planned = PlannedFiles(p);
    const std::vector<std::string> log = LogLines(p.dest + "\\Install.log");
    ASSERT_NO_FATAL_FAILURE(ExpectWritten(PlansOf(planned, 0, kMiddlePlan - 1), log));
    if (answer == IDRETRY) {
      ASSERT_NO_FATAL_FAILURE(ExpectWritten(PlansOf(planned, kMiddlePlan, kLastPlan), log));
      continue;
    }
    EXPECT_EQ(testfiles::ReadWholeFile(locked), kOld) << "the locked file changed";
    EXPECT_EQ(CountOf(log, "File Copy: " + locked), 0u) << "a file not written is logged";
    if (answer == IDIGNORE) {
      ASSERT_NO_FATAL_FAILURE(ExpectWritten(PlansOf(planned, kMiddlePlan + 1, kLastPlan), log));
    } else {
      ASSERT_NO_FATAL_FAILURE(ExpectNotWritten(PlansOf(planned, kMiddlePlan + 1, kLastPlan), log));
      ExpectRecordedAfterStop(p, log);
    }
  }
}

// Cancel while the worker is certainly in the middle of the run (held after
// the hyphenation data by setup_gated): No in the close question lets the run
// go on to the next page with nothing skipped or written twice; Abort ends
// the setup after the file in hand, and what was done is still recorded.
TEST(InstallFlow, CancelDuringTheRunGoesOnAfterNoAndStopsAfterTheFileInHandAfterAbort) {
  for (const int answer : {IDNO, IDABORT}) {
    SCOPED_TRACE(answer == IDNO ? "No" : "Abort");
    const Places p;
    const std::vector<PlannedFile> planned = PlannedFiles(p);
    const std::string lastFile = PlansOf(planned, kLastPlan, kLastPlan).back().target;
    WorkerGate gate(kMiddleFile);
    ASSERT_TRUE(gate.made());
    SetupRun run(GatedSetupExe(), "-d" + p.dest);
    ASSERT_NE(run.window(), nullptr) << "no wizard window";
    ASSERT_NO_FATAL_FAILURE(run.ToReadyPage());
    ASSERT_NO_FATAL_FAILURE(run.Press(VK_RETURN));
    ASSERT_TRUE(gate.WaitUntilHeld(kInstallTimeout)) << "the run never reached " << kMiddleFile;
    ASSERT_FALSE(Exists(lastFile)) << "the gate did not hold the run";

    ClickButton(run.Control(widCancelBtn));
    const MessageBoxInfo box = WaitForMessageBox(run.id(), kStepTimeout);
    ASSERT_NE(box.window, nullptr) << "Cancel asked nothing";
    EXPECT_EQ(box.caption, "Confirm");
    EXPECT_EQ(box.text.rfind("Setup is not complete.", 0), 0u) << box.text;
    ASSERT_NE(GetDlgItem(box.window, IDNO), nullptr);
    ASSERT_NE(GetDlgItem(box.window, IDABORT), nullptr);
    ClickButton(GetDlgItem(box.window, answer));
    ASSERT_TRUE(WaitUntilGone(box.window, kStepTimeout)) << "the question stayed after its answer";
    gate.Open();
    if (answer == IDNO) {
      ASSERT_TRUE(run.Reach(kAssociationsHeader, kInstallTimeout)) << "the run did not go on: " << run.Text(widTopLbl);
      // The page follows the end of the run, never a run that was told to stop.
      EXPECT_TRUE(Exists(lastFile)) << "the next page came before the run had ended";
      ASSERT_NO_FATAL_FAILURE(run.Finish());
    } else {
      ASSERT_NO_FATAL_FAILURE(run.EndsUnasked());
    }

    const std::vector<std::string> log = LogLines(p.dest + "\\Install.log");
    const std::set<std::string, CaseLess> unique(log.begin(), log.end());
    EXPECT_EQ(unique.size(), log.size()) << "duplicate lines in Install.log";
    if (answer == IDNO) {
      ASSERT_NO_FATAL_FAILURE(ExpectWritten(planned, log));
      continue;
    }
    ASSERT_NO_FATAL_FAILURE(ExpectWritten(PlansOf(planned, 0, kMiddlePlan), log));
    ASSERT_NO_FATAL_FAILURE(ExpectNotWritten(PlansOf(planned, kMiddlePlan + 1, kLastPlan), log));
    ExpectRecordedAfterStop(p, log);
  }
}
