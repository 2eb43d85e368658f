// Whole installs through the real setup, and their removal through the
// uninstall command the setup registers: only what a user or the system sees.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ProcessDriver.h"
#include "tests/common/TestFiles.h"
#include "wizard/WizardLayout.h"

using namespace e2e;
using namespace wizard;

namespace {

const char kTitle[] = "Vellumar Word Processor Lite - Setup";
const char kInstallKey[] = "Software\\Vellumar Word Processor\\Install";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vellumar Word Processor";
const char kLinkName[] = "\\Vellumar Word Processor.lnk";
const char* const kTypes[] = {"rtf", "cod", "doc", "docx"};
const DWORD kStartTimeout = 60000;  // the first start in a fresh prefix is slow
const DWORD kStepTimeout = 10000;
const DWORD kInstallTimeout = 60000;

std::string SpecialFolder(int csidl) {
  char folder[MAX_PATH] = {};
  return SHGetFolderPathA(nullptr, csidl, nullptr, 0, folder) == S_OK ? folder : "";
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A value as text (a DWORD in decimal), or "<absent>"; a null name reads the default value.
std::string RegText(HKEY root, const std::string& key, const char* name) {
  char data[1024] = {};
  DWORD size = sizeof(data), type = 0;
  if (RegGetValueA(root, key.c_str(), name, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS) return "<absent>";
  return type == REG_DWORD ? std::to_string(*reinterpret_cast<DWORD*>(data)) : std::string(data);
}

bool KeyExists(HKEY root, const std::string& sub) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, sub.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void DeleteTree(const std::string& folder) {
  std::string from = folder;
  from.push_back('\0');  // the list ends with a second NUL
  SHFILEOPSTRUCTA op = {};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  SHFileOperationA(&op);
}

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

std::string ProgId(const char* type) { return std::string("VellumarWordProcessor.") + type; }

// The extension's default value under the user's classes names the product's type.
bool Registered(const char* type) {
  return RegText(HKEY_CURRENT_USER, std::string("Software\\Classes\\.") + type, nullptr) == ProgId(type);
}

// Everything an install can leave behind, removed before and after each test.
struct Places {
  std::string root, dest, data;
  std::string allUsersLinks[2], userLinks[2];

  Places() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    root = std::string(temp) + "vellumar-flow-" + std::to_string(GetCurrentProcessId());
    dest = root + "\\Writer";
    data = SpecialFolder(CSIDL_COMMON_APPDATA) + "\\Vellumar";
    allUsersLinks[0] = SpecialFolder(CSIDL_COMMON_PROGRAMS) + kLinkName;
    allUsersLinks[1] = SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + kLinkName;
    userLinks[0] = SpecialFolder(CSIDL_PROGRAMS) + kLinkName;
    userLinks[1] = SpecialFolder(CSIDL_DESKTOPDIRECTORY) + kLinkName;
    CleanUp();
  }
  ~Places() { CleanUp(); }

  void CleanUp() const {
    DeleteTree(root);
    DeleteTree(data);
    for (const std::string& link : {allUsersLinks[0], allUsersLinks[1], userLinks[0], userLinks[1]})
      DeleteFileA(link.c_str());
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Vellumar Word Processor");
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    for (const char* type : kTypes) {
      if (Registered(type)) DeleteKeyTree(HKEY_CURRENT_USER, std::string("Software\\Classes\\.") + type);
      DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Classes\\" + ProgId(type));
    }
  }
};

struct Choices {
  std::string args;
  bool installToAll = true;  // false: unchecked with Alt+A on the ready page
  bool alsoDoc = false;      // "MS Word DOC Documents" checked on the associations page
};

// Walks the wizard with Enter to the finish page, making the choices on the
// way, leaves the launch box unchecked (Alt+L) and finishes with Enter. The
// destination page's edit text goes to destShown.
void InstallThroughWizard(const Choices& c, std::string* destShown = nullptr) {
  const auto& argv = testing::internal::GetArgvs();
  ASSERT_GT(argv.size(), 1u);
  ChildProcess setup(argv[1], c.args);
  ASSERT_TRUE(setup.started());
  const HWND wnd = WaitForWindowWithControl(setup.id(), kTitle, widPgCtrl, kStartTimeout);
  ASSERT_NE(wnd, nullptr) << "no wizard window";
  auto text = [&](TWidgetId id) { return ControlText(FindControl(wnd, id)); };
  auto checked = [&](TWidgetId id) { return SendMessageA(FindControl(wnd, id), BM_GETCHECK, 0, 0) == BST_CHECKED; };
  auto reach = [&](const std::string& header, DWORD ms) {
    return WaitUntil([&] { return text(widTopLbl) == header; }, ms);
  };
  auto press = [&](WORD vk, bool withAlt) {
    ASSERT_TRUE(BringToFront(wnd, kStepTimeout)) << "the wizard did not come to the front";
    PressKey(vk, withAlt);
  };

  for (const char* header : {"License Agreement", "Choose Destination Folder", "Select Components", "Ready to Install"}) {
    ASSERT_NO_FATAL_FAILURE(press(VK_RETURN, false));
    ASSERT_TRUE(reach(header, kStepTimeout)) << "Enter did not lead to " << header;
    if (destShown && std::string(header) == "Choose Destination Folder") *destShown = text(widDestDirEdt);
  }
  ASSERT_TRUE(checked(widInstallToAllChkBx)) << "install for anyone starts unchecked";
  if (!c.installToAll) {
    ASSERT_NO_FATAL_FAILURE(press('A', true));
    ASSERT_TRUE(WaitUntil([&] { return !checked(widInstallToAllChkBx); }, kStepTimeout)) << "Alt+A did not uncheck it";
  }
  ASSERT_NO_FATAL_FAILURE(press(VK_RETURN, false));
  ASSERT_TRUE(reach("Associate With Document Types", kInstallTimeout)) << "the install run did not end: "
                                                                        << text(widTopLbl);
  if (c.alsoDoc) {
    ClickButton(FindControl(wnd, widAssocChkBx3));
    ASSERT_TRUE(WaitUntil([&] { return checked(widAssocChkBx3); }, kStepTimeout));
  }
  ASSERT_NO_FATAL_FAILURE(press(VK_RETURN, false));
  ASSERT_TRUE(reach("Installation Complete", kStepTimeout));
  if (checked(widFinishChkBx)) {  // a saved LAUNCH 0 starts it unchecked
    ASSERT_NO_FATAL_FAILURE(press('L', true));
    ASSERT_TRUE(WaitUntil([&] { return !checked(widFinishChkBx); }, kStepTimeout)) << "Alt+L did not uncheck Launch";
  }
  ASSERT_NO_FATAL_FAILURE(press(VK_RETURN, false));
  DWORD code = 1234;
  ASSERT_TRUE(setup.WaitForExit(kStepTimeout, &code)) << "Finish did not end the setup";
  EXPECT_EQ(code, 0u);
}

}  // namespace

// The second run starts from the first one's saved choices; the user only
// takes the shortcuts for themselves alone and adds a document type.
TEST(InstallFlow, ASecondRunOverTheFirstMovesTheShortcutsToTheUserAndMergesTheLog) {
  const Places p;
  ASSERT_NO_FATAL_FAILURE(InstallThroughWizard({"-d" + p.dest}));
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
  ASSERT_NO_FATAL_FAILURE(InstallThroughWizard({"", false, true}, &shown));
  EXPECT_EQ(shown, p.dest) << "the destination page forgot the first install";
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kInstallKey, "INSTALLTOALL"), "0");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kInstallKey, "EXTENSIONS"), "BC");
  EXPECT_TRUE(WaitUntil([] { return Registered("cod") && Registered("doc"); }, kStepTimeout))
      << "the chosen document types were not registered";
  EXPECT_TRUE(Exists(p.data + "\\Update.log"));
  for (int i = 0; i < 2; ++i) {
    EXPECT_FALSE(Exists(p.allUsersLinks[i])) << p.allUsersLinks[i] << " stayed after the move to the user";
    EXPECT_TRUE(Exists(p.userLinks[i])) << p.userLinks[i];
  }
  const std::vector<std::string> merged = LogLines(p.dest + "\\Install.log");
  for (const std::string& line : first) EXPECT_EQ(CountOf(merged, line), 1u) << line;
  for (const std::string& link : p.userLinks) EXPECT_EQ(CountOf(merged, "File Copy: " + link), 1u) << link;
  const std::set<std::string, CaseLess> unique(merged.begin(), merged.end());
  EXPECT_EQ(unique.size(), merged.size()) << "duplicate lines";
}

// The asking copy hands the work to a temporary copy and ends, so the
// removal is awaited by its effect: the program file going.
TEST(InstallFlow, TheRegisteredUninstallCommandRemovesTheInstallationAfterYes) {
  const Places p;
  ASSERT_NO_FATAL_FAILURE(InstallThroughWizard({"-d" + p.dest, true, true}));
  ASSERT_TRUE(WaitUntil([] { return Registered("cod") && Registered("doc"); }, kStepTimeout));
  std::vector<std::string> recorded;
  for (const std::string& line : LogLines(p.dest + "\\Install.log"))
    if (line.compare(0, 11, "File Copy: ") == 0) recorded.push_back(line.substr(11));
  ASSERT_EQ(CountOf(recorded, p.dest + "\\vlm.exe"), 1u);
  for (const std::string& file : recorded) ASSERT_TRUE(Exists(file)) << file;

  const std::string command = RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
  ChildProcess asking(ChildProcess::CommandLine{command});
  ASSERT_TRUE(asking.started()) << command;
  const MessageBoxInfo box = WaitForMessageBox(asking.id(), kStartTimeout);
  ASSERT_NE(box.window, nullptr) << "no question from " << command;
  EXPECT_EQ(box.text.rfind("Do you want to remove Vellumar Word Processor", 0), 0u) << box.text;
  ASSERT_NE(GetDlgItem(box.window, IDYES), nullptr);
  ClickButton(GetDlgItem(box.window, IDYES));
  DWORD code = 1234;
  EXPECT_TRUE(asking.WaitForExit(kStepTimeout, &code));
  EXPECT_EQ(code, 0u);

  EXPECT_TRUE(WaitUntil([&] { return !Exists(p.dest + "\\vlm.exe"); }, 40000)) << "the program was not removed";
  EXPECT_TRUE(WaitUntil([&] { return EntriesIn(p.dest).empty(); }, kStepTimeout))
      << "the destination still holds " << EntriesIn(p.dest).size() << " entries";
  for (const std::string& file : recorded) EXPECT_FALSE(Exists(file)) << file;
  for (int i = 0; i < 2; ++i) {
    EXPECT_FALSE(Exists(p.allUsersLinks[i])) << p.allUsersLinks[i];
    EXPECT_FALSE(Exists(p.userLinks[i])) << p.userLinks[i];
  }
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  for (const char* type : {"cod", "doc"}) {
    EXPECT_FALSE(Registered(type)) << type;
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Classes\\" + ProgId(type))) << type;
  }
}
