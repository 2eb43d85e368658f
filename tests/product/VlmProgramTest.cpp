// The stand-in word processor, run on its own as the setup would start it.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <sddl.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/Names.h"
#include "base/WinHandles.h"
#include "instutils/InstUtils.h"
#include "instutils/Logs.h"
#include "instutils/Shortcuts.h"
#include "product/vlm/CommandLine.h"
#include "product/vlm/DocumentTypes.h"
#include "product/vlm/PathGuard.h"
#include "product/vlm/PrivateFolder.h"
#include "product/vlm/ProductNames.h"
#include "contract/ProductInterface.h"
#include "instutils/SharedUse.h"
#include "resources/Version.h"
#include "tests/instutils/Scratch.h"

namespace {

std::string VlmPath() {
  const auto& argv = testing::internal::GetArgvs();
  std::string path = argv.size() > 1 ? argv[1] : std::string();
  if (!path.empty() && path[0] == '/') {
    std::replace(path.begin(), path.end(), '/', '\\');
    path = "Z:" + path;
  }
  return path;
}

struct WindowSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK MatchMarkedWindow(HWND hwnd, LPARAM lp) {
  auto* search = reinterpret_cast<WindowSearch*>(lp);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == search->pid && GetPropA(hwnd, vlm::kInstanceProperty) != nullptr && IsWindowVisible(hwnd)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// The product's marked top-level window, the way the setup looks for it.
HWND FindMarkedWindow(DWORD pid) {
  WindowSearch s{pid, nullptr};
  EnumWindows(&MatchMarkedWindow, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

BOOL CALLBACK MatchMessageBox(HWND hwnd, LPARAM lp) {
  auto* search = reinterpret_cast<WindowSearch*>(lp);
  DWORD owner = 0;
  char cls[16] = {};
  GetWindowThreadProcessId(hwnd, &owner);
  GetClassNameA(hwnd, cls, sizeof cls);
  if (owner == search->pid && lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(hwnd)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Presses a button of the process's message box; false when none shows within 10 s.
bool AnswerMessageBox(DWORD pid, int button) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(50)) {
    WindowSearch s{pid, nullptr};
    EnumWindows(&MatchMessageBox, reinterpret_cast<LPARAM>(&s));
    if (s.found) return PostMessageA(s.found, WM_COMMAND, button, 0) != 0;
  }
  return false;
}

std::string WindowText(HWND hwnd) {
  std::string text(size_t(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
  text.resize(size_t(SendMessageA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
  return text;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteText(const std::string& path, const std::string& text) { instutils::WriteWholeFile(path, text); }

// A registry string, or "<absent>".
std::string RegString(HKEY root, const std::string& key, const char* value = nullptr) {
  char buf[1024] = {};
  DWORD size = sizeof buf - 1, type = 0;
  if (SHGetValueA(root, key.c_str(), value, &type, buf, &size) != ERROR_SUCCESS || type != REG_SZ) return "<absent>";
  return buf;
}

bool KeyExists(HKEY root, const std::string& key) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

const std::string kClasses = "Software\\Classes\\";

std::string ClassKey(const product::TDocumentType& type) { return kClasses + vlm::ExtensionOf(type); }

// The open command registered for a document type, found as the shell does.
std::string OpenCommand(const product::TDocumentType& type) {
  const std::string progId = RegString(HKEY_CURRENT_USER, ClassKey(type));
  return progId == "<absent>" ? progId : RegString(HKEY_CURRENT_USER, kClasses + progId + "\\shell\\open\\command");
}

void RemoveDocumentTypes() {
  for (const product::TDocumentType& type : product::kDocumentTypes) {
    SHDeleteKeyA(HKEY_CURRENT_USER, ClassKey(type).c_str());
    SHDeleteKeyA(HKEY_CURRENT_USER, (kClasses + vlm::ProgIdOf(type)).c_str());
  }
}

std::string SpecialFolder(int csidl) {
  char folder[MAX_PATH + 1] = {};
  SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder);
  return folder;
}

std::string ShortcutIn(int csidl) { return SpecialFolder(csidl) + "\\" + vlm::kShortcutFile; }

// A command run in a job of its own: the run is over when the process and
// every process it started have ended.
class JobRun {
 public:
  explicit JobRun(const std::string& commandLine) {
    job_.reset(CreateJobObjectA(nullptr, nullptr));
    port_.reset(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
    JOBOBJECT_ASSOCIATE_COMPLETION_PORT link = {job_.get(), port_.get()};
    if (!SetInformationJobObject(job_.get(), JobObjectAssociateCompletionPortInformation, &link, sizeof link)) return;
    std::string command = commandLine;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si, &pi))
      return;
    process_.reset(pi.hProcess);
    base::UniqueHandle thread(pi.hThread);
    pid_ = pi.dwProcessId;
    AssignProcessToJobObject(job_.get(), pi.hProcess);
    ResumeThread(pi.hThread);
  }
  ~JobRun() {
    if (job_) TerminateJobObject(job_.get(), 1);
  }
  bool started() const { return process_.valid(); }
  DWORD pid() const { return pid_; }
  // True once every process of the job has ended, false after `ms`.
  bool WaitAllEnded(DWORD ms) {
    DWORD message = 0;
    ULONG_PTR key = 0;
    LPOVERLAPPED data = nullptr;
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms;)
      if (GetQueuedCompletionStatus(port_.get(), &message, &key, &data, ms - (GetTickCount() - start)) &&
          message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO)
        return true;
    return false;
  }
  DWORD exitCode() const {
    DWORD code = 99;
    GetExitCodeProcess(process_.get(), &code);
    return code;
  }

 private:
  base::UniqueHandle job_, port_, process_;
  DWORD pid_ = 0;
};

// Runs the program; ends it if still running. What it leaves for the setup
// (its version) is put back as it was.
class VlmProcess : public testing::Test {
 protected:
  void StartVlm(const std::string& commandLine) {
    std::string command = commandLine;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        << command << " error " << GetLastError();
    process_.reset(pi.hProcess);
    base::UniqueHandleT<base::KernelHandleTraits> thread(pi.hThread);
    pid_ = pi.dwProcessId;
    tid_ = pi.dwThreadId;
    for (int i = 0; i < 200 && !main_; ++i) {
      main_ = FindMarkedWindow(pid_);
      if (!main_) Sleep(50);
    }
  }

  void SetUp() override {
    ASSERT_FALSE(VlmPath().empty()) << "pass the built vlm.exe";
    // The setup's install plan reads what the product leaves; keep whatever was there.
    savedSize_ = sizeof savedVersion_;
    hadVersion_ = SHGetValueA(HKEY_CURRENT_USER, product::kLastRunVerKey, product::kLastRunVerValue, nullptr,
                              &savedVersion_, &savedSize_) == ERROR_SUCCESS;
    SHDeleteValueA(HKEY_CURRENT_USER, product::kLastRunVerKey, product::kLastRunVerValue);
  }

  void TearDown() override {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) TerminateProcess(process_.get(), 1);
    if (hadVersion_)
      SHSetValueA(HKEY_CURRENT_USER, product::kLastRunVerKey, product::kLastRunVerValue, REG_DWORD, &savedVersion_,
                  savedSize_);
    else
      SHDeleteValueA(HKEY_CURRENT_USER, product::kLastRunVerKey, product::kLastRunVerValue);
  }

  base::UniqueHandleT<base::KernelHandleTraits> process_;
  DWORD pid_ = 0, tid_ = 0;
  HWND main_ = nullptr;
  bool hadVersion_ = false;
  DWORD savedVersion_ = 0, savedSize_ = 0;
};

class RunningVlm : public VlmProcess {
 protected:
  void SetUp() override {
    VlmProcess::SetUp();
    StartVlm("\"" + VlmPath() + "\"");
  }
};

}  // namespace

TEST_F(RunningVlm, MarksItsMainWindowAndAcceptsTyping) {
  ASSERT_NE(main_, nullptr) << "no visible top-level window carries the property";
  EXPECT_EQ(GetAncestor(main_, GA_ROOT), main_);
  EXPECT_NE(GetPropA(main_, "1.x Quarrytide"), nullptr);

  HWND edit = FindWindowExA(main_, nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  const LONG style = GetWindowLongA(edit, GWL_STYLE);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_FALSE(style & ES_READONLY);
  EXPECT_TRUE(IsWindowEnabled(edit) && IsWindowVisible(edit));

  // Keystrokes go to the text area once the window is up; activation, and so
  // the move of the focus to the text area, may follow the window's showing.
  GUITHREADINFO gui = {};
  gui.cbSize = sizeof(gui);
  for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(50)) {
    ASSERT_TRUE(GetGUIThreadInfo(tid_, &gui));
    if (gui.hwndFocus == edit) break;
  }
  EXPECT_EQ(gui.hwndFocus, edit);

  for (char c : std::string("Dear Sir,\rThank you.")) SendMessageA(edit, WM_CHAR, WPARAM(uint8_t(c)), 1);
  EXPECT_EQ(WindowText(edit), "Dear Sir,\r\nThank you.");
  SendMessageA(edit, WM_CHAR, VK_BACK, 1);
  EXPECT_EQ(WindowText(edit), "Dear Sir,\r\nThank you");

  // More than the edit control's default 32 KB limit fits in a document.
  const std::string big(40000, 'x');
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(big.c_str()));
  SendMessageA(edit, WM_CHAR, 'y', 1);
  EXPECT_EQ(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0), LRESULT(big.size() + 1));
}

TEST_F(RunningVlm, ClosingTheWindowEndsTheProgramWithExitCodeZero) {
  ASSERT_NE(main_, nullptr);
  PostMessageA(main_, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(process_.get(), 10000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(process_.get(), &code);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(FindMarkedWindow(pid_), nullptr);
}

// The setup's install plan compares this with 20004000 (2.0.4.0) and 30000000;
// the product is the version of resources/Version.h.
TEST_F(RunningVlm, LeavesItsVersionForTheSetup) {
  ASSERT_NE(main_, nullptr);
  DWORD value = 0, size = sizeof value, type = 0;
  ASSERT_EQ(SHGetValueA(HKEY_CURRENT_USER, NAME_KEY "\\Internal", "LastRunVer", &type, &value,
                        &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, DWORD(REG_DWORD));
  EXPECT_EQ(value, DWORD(VELLUMAR_VERSION_MAJOR * 10000000 + VELLUMAR_VERSION_MINOR * 100000 +
                         VELLUMAR_VERSION_RELEASE * 1000 + VELLUMAR_VERSION_BUILD));
}

// "-assoc" registers exactly the named types, with no window; the registered
// command then opens a document in the program.
TEST_F(VlmProcess, AssociatesTheChosenTypesAndOpensTheirDocuments) {
  RemoveDocumentTypes();
  const auto runAssoc = [](const std::string& argument) {
    JobRun run("\"" + VlmPath() + "\" -assoc " + argument);
    EXPECT_TRUE(run.started());
    EXPECT_TRUE(run.WaitAllEnded(20000)) << argument << ": still running, a window waits?";
    EXPECT_EQ(run.exitCode(), 0u) << argument;
  };
  runAssoc("vdoc_xyz_rtfx_");
  for (const auto& type : product::kDocumentTypes) {
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ClassKey(type))) << type.Suffix;
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClasses + vlm::ProgIdOf(type))) << type.Suffix;
  }

  runAssoc("vdoc_docx_xyz_rtf");
  const std::string expected = "\"" + VlmPath() + "\" \"%1\"";
  for (const auto& type : product::kDocumentTypes) {
    const bool chosen = type.Letter == 'A' || type.Letter == 'D';
    if (chosen)
      EXPECT_EQ(lstrcmpiA(OpenCommand(type).c_str(), expected.c_str()), 0) << type.Suffix << ": " << OpenCommand(type);
    else
      EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ClassKey(type))) << type.Suffix;
  }

  // A later run without RTF takes this copy's RTF registration away, and
  // leaves another program's DOC registration alone.
  const std::string otherDoc = "OtherEditor.doc";
  SHSetValueA(HKEY_CURRENT_USER, ClassKey(product::kDocumentTypes[2]).c_str(), nullptr, REG_SZ, otherDoc.c_str(),
              DWORD(otherDoc.size() + 1));
  runAssoc("vdoc_docx");
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ClassKey(product::kDocumentTypes[0])));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClasses + vlm::ProgIdOf(product::kDocumentTypes[0])));
  EXPECT_EQ(RegString(HKEY_CURRENT_USER, ClassKey(product::kDocumentTypes[2])), otherDoc);
  EXPECT_EQ(lstrcmpiA(OpenCommand(product::kDocumentTypes[3]).c_str(), expected.c_str()), 0);

  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string document = std::string(temp) + "vlm test letter.docx";
  WriteText(document, "Dear Sir,\nThank you.\r\nYours\rfaithfully");
  std::string command = OpenCommand(product::kDocumentTypes[3]);
  command.replace(command.find("%1"), 2, document);
  StartVlm(command);
  RemoveDocumentTypes();
  if (main_) {
    EXPECT_EQ(WindowText(FindWindowExA(main_, nullptr, "Edit", nullptr)),
              "Dear Sir,\r\nThank you.\r\nYours\r\nfaithfully");
    EXPECT_EQ(WindowText(main_).rfind("vlm test letter.docx", 0), 0u) << WindowText(main_);
  }
  TerminateProcess(process_.get(), 0);
  WaitForSingleObject(process_.get(), 5000);
  DeleteFileA(document.c_str());
  ASSERT_NE(main_, nullptr) << command;
}

namespace {

// An installed copy laid out as the setup leaves it: the program and files in
// a scratch destination, shared data in the real all-users folder, shortcuts,
// document types registered by the copy itself, an uninstall entry and the
// Install.log that records them. Everything is removed before and after.
class InstalledCopy : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(VlmPath().empty()) << "pass the built vlm.exe";
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    root_ = std::string(temp) + "vlm_ui_" + std::to_string(GetCurrentProcessId());
    dest_ = root_ + "\\" NAME_SHORT;
    program_ = dest_ + "\\vlm.exe";
    uninstallTemp_ = root_ + "\\temp";
    data_ = SpecialFolder(CSIDL_COMMON_APPDATA) + "\\" NAME_SHORT;
    ASSERT_NE(data_, "\\" NAME_SHORT);
    CleanUp();
    ASSERT_TRUE(CreateDirectoryA(root_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(uninstallTemp_.c_str(), nullptr));
    comReady_ = SUCCEEDED(CoInitialize(nullptr));

    instutils::StartInstallLog(dest_ + "\\Install.log");
    instutils::MakeDir(dest_ + "\\Dictionaries\\");
    instutils::MakeDir(dest_ + "\\Templates\\");
    ASSERT_TRUE(CopyFileA(VlmPath().c_str(), program_.c_str(), FALSE));
    Record(program_);
    Record(dest_ + "\\License.txt");
    Record(dest_ + "\\Dictionaries\\Hyphenation.dat");
    instutils::MakeDir(data_ + "\\Public\\Spellcheck\\");
    Record(data_ + "\\Public\\Basic.asn");
    Record(data_ + "\\Public\\Spellcheck\\en.dic");
    WriteText(data_ + "\\Update.log", "*0000000070A3E640\r\n");  // shared data the log does not list
    WriteText(data_ + "\\vlm_common.dat", "1");
    // The setup's count of this copy, and its record of the shared files it wrote.
    shareduse::AddInstall(program_);
    for (const char* shared : {"\\Public\\Basic.asn", "\\Public\\Spellcheck\\en.dic"}) Mark(data_ + shared);

    instutils::CreateShortcut(ShortcutIn(CSIDL_PROGRAMS), program_, dest_, "");
    instutils::CreateShortcut(ShortcutIn(CSIDL_COMMON_DESKTOPDIRECTORY), program_, dest_, "");
    // Same name, another program: not this copy's to remove, even though logged.
    instutils::CreateShortcut(ShortcutIn(CSIDL_DESKTOPDIRECTORY), "C:\\windows\\notepad.exe", "C:\\windows", "");

    JobRun assoc("\"" + program_ + "\" -assoc vdoc_rtf_cod_doc_docx");
    ASSERT_TRUE(assoc.WaitAllEnded(20000));
    // Another program has since taken DOC documents over.
    ASSERT_EQ(SHSetValueA(HKEY_CURRENT_USER, (kClasses + vlm::ProgIdOf(kDoc) + "\\shell\\open\\command").c_str(),
                          nullptr, REG_SZ, kOtherCommand, sizeof kOtherCommand),
              ERROR_SUCCESS);

    const std::string uninstall = product::UninstallCommand(program_);
    ASSERT_EQ(SHSetValueA(HKEY_LOCAL_MACHINE, vlm::kUninstallKey, "UninstallString", REG_SZ, uninstall.c_str(),
                          DWORD(uninstall.size() + 1)),
              ERROR_SUCCESS);
  }

  void TearDown() override {
    instutils::ResetLogs();
    CleanUp();
    if (comReady_) CoUninitialize();
  }

  void CleanUp() {
    testing_support::ForceDeleteTree(root_);
    testing_support::ForceDeleteTree(data_);
    for (int csidl : kShortcutFolders) DeleteFileA(ShortcutIn(csidl).c_str());
    RemoveDocumentTypes();
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, vlm::kUninstallKey);
    shareduse::DeleteRecord();
  }

  static void Mark(const std::string& file) {
    shareduse::TFileMark mark;
    ASSERT_TRUE(shareduse::MarkOf(file, mark)) << file;
    shareduse::MarkFile(file, mark);
  }

  void Record(const std::string& file) {
    if (file != program_) WriteText(file, "content of " + file);
    instutils::LogLine("File Copy: " + file);
  }

  // Saves the log, runs "-ui" with its temporary folder in the scratch folder,
  // answers the question and waits for every process the uninstall started.
  DWORD Uninstall(int answer) {
    EXPECT_TRUE(instutils::SaveInstallLog());
    std::string saved[2];
    const char* const names[2] = {"TMP", "TEMP"};
    for (int i = 0; i < 2; ++i) {
      char value[MAX_PATH + 1] = {};
      if (GetEnvironmentVariableA(names[i], value, sizeof value)) saved[i] = value;
      SetEnvironmentVariableA(names[i], uninstallTemp_.c_str());
    }
    JobRun run(product::UninstallCommand(program_));
    for (int i = 0; i < 2; ++i) SetEnvironmentVariableA(names[i], saved[i].empty() ? nullptr : saved[i].c_str());
    EXPECT_TRUE(run.started());
    EXPECT_TRUE(AnswerMessageBox(run.pid(), answer)) << "no question asked";
    EXPECT_TRUE(run.WaitAllEnded(60000));
    return run.exitCode();
  }

  static constexpr int kShortcutFolders[] = {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, CSIDL_DESKTOPDIRECTORY,
                                             CSIDL_COMMON_DESKTOPDIRECTORY};
  static constexpr product::TDocumentType kDoc = product::kDocumentTypes[2];
  static constexpr char kOtherCommand[] = "\"C:\\windows\\notepad.exe\" \"%1\"";

  std::string root_, dest_, program_, uninstallTemp_, data_;
  bool comReady_ = false;
};

}  // namespace

TEST_F(InstalledCopy, UninstallRemovesWhatItInstalledAndKeepsTheRest) {
  WriteText(dest_ + "\\Templates\\Mine.tpl", "the user's own");
  // The last copy: the shared files go but for what the user owns or changed.
  const std::string dictionary = data_ + "\\Public\\Spellcheck\\userdicen.tlx";
  const std::string letter = data_ + "\\Public\\Templates\\Letter.rtf";
  instutils::MakeDir(data_ + "\\Public\\Templates\\");
  instutils::MakeDir(data_ + "\\Hidden\\");
  WriteText(data_ + "\\Hidden\\install_stamp", "12345678");
  WriteText(dictionary, "words");
  WriteText(letter, "Dear");
  Mark(letter);
  WriteText(letter, "Dear Sir");
  EXPECT_EQ(Uninstall(IDYES), 0u);

  for (const char* name : {"\\vlm.exe", "\\Install.log", "\\License.txt", "\\Dictionaries"})
    EXPECT_FALSE(Exists(dest_ + name)) << name;
  EXPECT_TRUE(Exists(dest_ + "\\Templates\\Mine.tpl"));  // and so its folders stay
  for (const char* gone : {"\\Public\\Basic.asn", "\\Public\\Spellcheck\\en.dic", "\\Update.log",
                           "\\vlm_common.dat", "\\Hidden"})
    EXPECT_FALSE(Exists(data_ + gone)) << gone;
  EXPECT_TRUE(Exists(dictionary));
  EXPECT_TRUE(Exists(letter));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, shareduse::kSharedUseKey));

  EXPECT_FALSE(Exists(ShortcutIn(CSIDL_PROGRAMS)));
  EXPECT_FALSE(Exists(ShortcutIn(CSIDL_COMMON_DESKTOPDIRECTORY)));
  EXPECT_TRUE(Exists(ShortcutIn(CSIDL_DESKTOPDIRECTORY)));

  for (const auto& type : product::kDocumentTypes) {
    if (type.Letter == kDoc.Letter) continue;
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ClassKey(type))) << type.Suffix;
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClasses + vlm::ProgIdOf(type))) << type.Suffix;
  }
  EXPECT_STREQ(OpenCommand(kDoc).c_str(), kOtherCommand);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, vlm::kUninstallKey));

  // The temporary copy that did the work has gone too.
  EXPECT_TRUE(RemoveDirectoryA(uninstallTemp_.c_str())) << "not empty";
}

TEST_F(InstalledCopy, UninstallAnsweredNoChangesNothing) {
  EXPECT_NE(Uninstall(IDNO), 0u);
  for (const std::string& kept : {program_, dest_ + "\\Install.log", dest_ + "\\License.txt", data_ + "\\Public",
                                  ShortcutIn(CSIDL_PROGRAMS)})
    EXPECT_TRUE(Exists(kept)) << kept;
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, ClassKey(product::kDocumentTypes[0])));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, vlm::kUninstallKey));
}

// Copies share the data folder: the one that goes first leaves it, and the
// uninstall entry to a copy that stays.
TEST_F(InstalledCopy, UninstallOfOneOfTwoCopiesKeepsTheSharedDataAndListsTheOther) {
  const std::string other = root_ + "\\" NAME_SHORT "2\\vlm.exe";
  ASSERT_TRUE(CreateDirectoryA((root_ + "\\" NAME_SHORT "2").c_str(), nullptr));
  ASSERT_TRUE(CopyFileA(VlmPath().c_str(), other.c_str(), FALSE));
  shareduse::AddInstall(other);
  EXPECT_EQ(Uninstall(IDYES), 0u);
  EXPECT_FALSE(Exists(program_));
  for (const char* kept : {"\\Public\\Basic.asn", "\\Public\\Spellcheck\\en.dic", "\\Update.log"})
    EXPECT_TRUE(Exists(data_ + kept)) << kept;
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, vlm::kUninstallKey, "UninstallString"), product::UninstallCommand(other));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, vlm::kUninstallKey, "DisplayIcon"), other);
  const shareduse::TInstalls left = shareduse::ReadInstalls();
  ASSERT_EQ(left.Programs.size(), 1u);
  EXPECT_TRUE(vlm::SamePathName(left.Programs[0], other));
}

// Tools retype the entry's command as REG_EXPAND_SZ; naming a copy the counts
// do not know, it still means that copy uses the data.
TEST_F(InstalledCopy, AnExpandableEntryNamingAnotherCopyKeepsTheSharedData) {
  const std::string other = "\"%SystemDrive%\\" NAME_SHORT " Older\\vlm.exe\" -ui";
  SHSetValueA(HKEY_LOCAL_MACHINE, vlm::kUninstallKey, "UninstallString", REG_EXPAND_SZ, other.c_str(),
              DWORD(other.size() + 1));
  EXPECT_EQ(Uninstall(IDYES), 0u);
  EXPECT_FALSE(Exists(program_));
  EXPECT_TRUE(Exists(data_ + "\\Public\\Basic.asn"));
  EXPECT_TRUE(Exists(data_ + "\\Update.log"));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, vlm::kUninstallKey));
}

// The hand-over switch acts only on the copy whose removal was confirmed.
TEST_F(InstalledCopy, HandOverNamingAnotherFileRemovesNothing) {
  const std::string victim = root_ + "\\Other\\anything.txt", listed = root_ + "\\Other\\listed.txt";
  ASSERT_TRUE(CreateDirectoryA((root_ + "\\Other").c_str(), nullptr));
  WriteText(victim, "not the product");
  WriteText(listed, "not the product either");
  WriteText(root_ + "\\Other\\Install.log", "File Copy: " + listed + "\r\n");
  EXPECT_TRUE(instutils::SaveInstallLog());
  // No confirming copy's handles come with them, nor, last, four values: nothing goes.
  const std::string quoted = "\"" + program_ + "\"";
  for (const std::string& values : {"4 8 12 \"" + victim + "\"", "4 8 12 " + quoted, "4 8 12 " + quoted + " 16",
                                    std::string(), std::string("1"), std::string("1 2"), std::string("1 2 3")}) {
    JobRun run("\"" + program_ + "\" -ui-finish " + values);
    EXPECT_TRUE(AnswerMessageBox(run.pid(), IDOK)) << values << ": refused without a word";
    EXPECT_TRUE(run.WaitAllEnded(20000)) << values;
    EXPECT_EQ(run.exitCode(), 1u) << values;
  }
  for (const std::string& kept : {victim, listed, program_, dest_ + "\\License.txt", data_ + "\\Public\\Basic.asn"})
    EXPECT_TRUE(Exists(kept)) << kept;
}

// The removing copy runs from outside the destination, and leaves nothing where it ran.
TEST_F(InstalledCopy, UninstallWithTheTemporaryFolderInTheDestinationRemovesIt) {
  const auto count = [] {
    WIN32_FIND_DATAA found;
    base::UniqueFind find(FindFirstFileA((SpecialFolder(CSIDL_WINDOWS) + "\\Temp\\vlu*").c_str(), &found));
    int n = find.valid();
    while (n && FindNextFileA(find.get(), &found)) ++n;
    return n;
  };
  const int before = count();
  uninstallTemp_ = dest_;
  EXPECT_EQ(Uninstall(IDYES), 0u);
  EXPECT_FALSE(Exists(dest_));
  EXPECT_EQ(count(), before);
}

// Install.log is data anyone who can write the destination may have edited,
// and the uninstall may run elevated.
TEST_F(InstalledCopy, UninstallDeletesNothingOutsideItsPlacesWhateverTheLogSays) {
  char self[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string otherDrive = std::string(self).substr(0, std::string(self).rfind('\\')) + "\\vlm_victim.txt";
  ASSERT_NE(toupper(otherDrive[0]), toupper(dest_[0])) << "the test wants its own folder on another drive";

  const std::vector<std::string> victims = {
      root_ + "\\elsewhere.txt",          // same drive, outside every place
      root_ + "\\dotted.txt",             // reached with ".."
      root_ + "\\device.txt",             // reached through a device path
      uninstallTemp_ + "\\relative.txt",  // the uninstall's working folder
      otherDrive,
  };
  for (const std::string& victim : victims) WriteText(victim, "not the product's");
  CreateDirectoryA((root_ + "\\EmptyFolder").c_str(), nullptr);
  for (const std::string& line :
       {"File Copy: " + victims[0], "File Copy: " + dest_ + "\\..\\dotted.txt",
        "File Copy: " + dest_ + "/Dictionaries/../../dotted.txt", "File Copy: \\\\?\\" + victims[2],
        std::string("File Copy: relative.txt"), "File Copy: " + otherDrive, "Made Dir: " + root_ + "\\EmptyFolder\\",
        "Made Dir: " + dest_ + "\\..\\EmptyFolder", "File Copy: " + data_ + "\\..\\..\\" + victims[0].substr(3)})
    instutils::LogLine(line);

  EXPECT_EQ(Uninstall(IDYES), 0u);
  for (const std::string& victim : victims) EXPECT_TRUE(Exists(victim)) << victim;
  EXPECT_TRUE(Exists(root_ + "\\EmptyFolder"));
  DeleteFileA(otherDrive.c_str());
  // What the log rightly records still goes, the emptied destination with it.
  EXPECT_FALSE(Exists(dest_));
  EXPECT_FALSE(Exists(data_ + "\\Public"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, vlm::kUninstallKey));
}

// Paths Windows would read otherwise than their letters say never pass:
// trimmed names, streams, devices, ".." above a root.
TEST(VlmPathGuard, ReadsLogPathsStrictly) {
  const struct { const char* path; const char* normal; } cases[] = {
      {"c:/Apps//" NAME_SHORT "/./Dict/../vlm.exe", "C:\\Apps\\" NAME_SHORT "\\vlm.exe"},
      {"C:\\Apps\\", "C:\\Apps"},
      {"C:\\", "C:\\"},
      {"\\\\server\\share\\a\\..\\b", "\\\\server\\share\\b"},
      {"C:\\Apps\\...\\..\\x", nullptr},  // "..." is "." to Windows
      {"C:\\Apps\\x. ", nullptr},
      {"C:\\Apps\\License.txt:x", nullptr},
      {"C:\\Apps\\nul.txt", nullptr},
      {"C:\\Apps\\COM1", nullptr},
      {"C:\\Apps\\*.dat", nullptr},
      {"C:\\..\\x", nullptr},
      {"\\\\server\\share\\..\\other\\x", nullptr},
      {"\\\\?\\C:\\x", nullptr},
      {"\\\\.\\C:", nullptr},
      {"\\??\\C:\\x", nullptr},
      {"\\Apps\\x", nullptr},
      {"C:Apps\\x", nullptr},
      {"Apps\\x", nullptr},
      {"", nullptr},
  };
  for (const auto& c : cases) {
    std::string normal = "<unchanged>";
    EXPECT_EQ(vlm::NormalisePath(c.path, normal), c.normal != nullptr) << c.path;
    EXPECT_EQ(normal, c.normal ? c.normal : "<unchanged>") << c.path;
  }
  EXPECT_TRUE(vlm::IsWithin("C:\\Apps\\" NAME_SHORT "\\x", "C:\\apps\\vellumar"));
  EXPECT_FALSE(vlm::IsWithin("C:\\Apps\\" NAME_SHORT "2\\x", "C:\\Apps\\" NAME_SHORT));
}

// What others may do in a shared temporary folder must not pass to the removing copy's
// folder. Wine makes a folder's descriptor up from its Unix mode: read it as built.
TEST(VlmPrivateFolder, AdmitsTheUserSystemAndAdministratorsAlone) {
  vlm::TPrivateAccess access;
  HANDLE token = nullptr;
  char user[256] = {}, *sid = nullptr, *sddl = nullptr;
  DWORD size = 0;
  ASSERT_TRUE(access.Build() && OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
  GetTokenInformation(token, TokenUser, user, sizeof user, &size);
  CloseHandle(token);
  ASSERT_TRUE(ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &sid) &&
              ConvertSecurityDescriptorToStringSecurityDescriptorA(access.Attributes()->lpSecurityDescriptor,
                                                                   SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &sddl,
                                                                   nullptr));
  // "P": protected from the parent's inheritable entries.
  EXPECT_EQ(std::string(sddl), "D:P(A;OICI;FA;;;" + std::string(sid) + ")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)");
  LocalFree(sid);
  LocalFree(sddl);
}

TEST(VlmCommandLine, SplitsQuotedArguments) {
  struct Case { const char* tail; std::vector<std::string> args; } cases[] = {
      {"", {}},
      {"   ", {}},
      {"-assoc vdoc_rtf_doc", {"-assoc", "vdoc_rtf_doc"}},
      {"\"C:\\Program Files\\a b.rtf\" -x", {"C:\\Program Files\\a b.rtf", "-x"}},
      {"\"\" next", {"", "next"}},
      {"a\tb  c", {"a", "b", "c"}},
  };
  for (const auto& c : cases) EXPECT_EQ(vlm::SplitCommandTail(c.tail), c.args) << c.tail;
  EXPECT_EQ(vlm::ParseCommandLine("").Action, vlm::saEdit);
}
