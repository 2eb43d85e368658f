#include "UninstallHandoff.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "PathGuard.h"
#include "PrivateFolder.h"
#include "Uninstall.h"
#include "base/WinHandles.h"
#include "contract/ProductInterface.h"

namespace vlm {

namespace {

constexpr char kQuestionCaption[] = "Uninstall " PRODUCT_NAME;
constexpr char kQuestion[] =
    "Do you want to remove " PRODUCT_NAME " and all of its components from this computer?";

std::string ModulePath() {
  char buf[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  std::string canonical;
  return n > 0 && n < MAX_PATH && CanonicalPath(std::string(buf, n), canonical) ? canonical : std::string();
}

HANDLE HandleFromText(const std::string& text) {
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
  return value != 0 && end && *end == '\0' ? reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value)) : nullptr;
}

std::string HandleText(HANDLE handle) { return std::to_string(reinterpret_cast<uintptr_t>(handle)); }

// The folders to make the private folder in, in order, each ending in a
// backslash: the temporary folder, the Windows one, the destination's parent;
// none inside the destination, which cannot go while the copy's folder is in
// it. A drive or share root as destination is never removed: any temporary
// folder will do there.
std::vector<std::string> PrivateFolderParents(const std::string& programPath) {
  std::vector<std::string> parents;
  char buf[MAX_PATH + 1] = {};
  std::string destination, parent;
  if (!CanonicalPath(programPath.substr(0, programPath.rfind('\\')), destination) ||
      !NormalisePath(destination + "\\..", parent)) {
    if (GetTempPathA(MAX_PATH, buf)) parents.push_back(buf);
    return parents;
  }
  std::string windowsTemp;
  const UINT n = GetWindowsDirectoryA(buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) windowsTemp = std::string(buf, n) + "\\Temp";
  buf[0] = '\0';
  for (const std::string& candidate : {std::string(GetTempPathA(MAX_PATH, buf) ? buf : ""), windowsTemp, parent}) {
    std::string canonical;
    if (candidate.empty() || !CanonicalPath(candidate, canonical) || IsWithin(canonical, destination)) continue;
    parents.push_back(canonical.back() == '\\' ? canonical : canonical + "\\");
  }
  return parents;
}

// The parts of a started hand-over that must go again when a later step fails.
struct TTemporaryCopy {
  std::string Folder, Program;
  ~TTemporaryCopy() {
    if (!Started && !Folder.empty()) {
      DeleteFileA(Program.c_str());
      RemoveDirectoryA(Folder.c_str());
    }
  }
  bool Started = false;
};

HANDLE OpenInheritable(const std::string& path, DWORD access, DWORD flags) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                     OPEN_EXISTING, flags, nullptr);
}

// Starts the temporary copy; false when any step fails (the copy then goes again).
bool StartTemporaryCopy(const std::string& programPath) {
  char systemFolder[MAX_PATH + 1] = {};
  if (!GetSystemDirectoryA(systemFolder, MAX_PATH)) return false;
  TTemporaryCopy copy;
  for (const std::string& parent : PrivateFolderParents(programPath))
    if (!(copy.Folder = MakePrivateFolder(parent)).empty()) break;
  if (copy.Folder.empty()) return false;
  copy.Program = copy.Folder + "\\" + product::kProgramFile;
  if (!CopyFileA(programPath.c_str(), copy.Program.c_str(), TRUE)) return false;

  // Inherited by the copy, so the file is deleted once the copy has ended too.
  base::UniqueFile deleteFile(OpenInheritable(copy.Program, DELETE, FILE_FLAG_DELETE_ON_CLOSE));
  // What the user confirmed: this program file, whatever its path reads later.
  base::UniqueFile confirmed(OpenInheritable(programPath, FILE_READ_ATTRIBUTES, 0));
  if (!deleteFile || !confirmed) return false;
  HANDLE self = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0))
    return false;
  base::UniqueHandle selfOwner(self);

  std::string command = "\"" + copy.Program + "\" -ui-finish " + HandleText(self) + " " +
                        HandleText(confirmed.get()) + " " + HandleText(deleteFile.get()) + " \"" + programPath + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  // Started outside the destination, which it must be able to remove, and
  // outside the temporary folder, where others may leave files.
  if (!CreateProcessA(copy.Program.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, systemFolder, &startup,
                      &process))
    return false;
  copy.Started = true;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool SameFile(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION ia = {}, ib = {};
  return GetFileInformationByHandle(a, &ia) && GetFileInformationByHandle(b, &ib) &&
         ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
         ia.nFileIndexLow == ib.nFileIndexLow;
}

bool ReadSmallFile(const std::string& path, std::string& data) {
  base::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
  if (!file) return false;
  const DWORD size = GetFileSize(file.get(), nullptr);
  if (size == INVALID_FILE_SIZE || size > 64u * 1024 * 1024) return false;
  data.assign(size, '\0');
  DWORD got = 0;
  return size == 0 || (ReadFile(file.get(), &data[0], size, &got, nullptr) && got == size);
}

// programPath is the file the asking copy held for the user's Yes, and this
// program was copied from it: anything else is not an installation of ours.
bool IsConfirmedProgram(HANDLE confirmed, const std::string& programPath) {
  base::UniqueFile named(CreateFileA(programPath.c_str(), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     0, nullptr));
  if (!named || !SameFile(confirmed, named.get())) return false;
  std::string installed, self;
  const std::string selfPath = ModulePath();
  return !selfPath.empty() && ReadSmallFile(programPath, installed) && ReadSmallFile(selfPath, self) &&
         installed == self;
}

// A running program file can be renamed though not deleted: moved through
// the handle that deletes it on close (so that the deletion follows it) to
// beside its folder, which then goes at once.
void LeavePrivateFolder(HANDLE ownFile) {
  struct TRenameInformation {
    BOOLEAN ReplaceIfExists;
    HANDLE RootDirectory;
    ULONG FileNameLength;
    WCHAR FileName[MAX_PATH + 8];
  };
  struct TIoStatus {
    void* Status;
    ULONG_PTR Information;
  };
  using SetInformationFileFn = LONG(WINAPI*)(HANDLE, TIoStatus*, void*, ULONG, int);
  constexpr int kFileRenameInformation = 10;
  auto setInformation = reinterpret_cast<SetInformationFileFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtSetInformationFile")));
  const std::string self = ModulePath();
  const size_t cut = self.rfind('\\');
  BY_HANDLE_FILE_INFORMATION info = {};
  if (!setInformation || !ownFile || self.empty() || cut == std::string::npos ||
      !GetFileInformationByHandle(ownFile, &info))
    return;
  const std::string folder = self.substr(0, cut);
  TRenameInformation rename = {};
  const std::string target = "\\??\\" + folder + ".tmp";
  const int chars = MultiByteToWideChar(CP_ACP, 0, target.c_str(), -1, rename.FileName, MAX_PATH + 8);
  if (chars <= 1) return;
  rename.FileNameLength = static_cast<ULONG>((chars - 1) * sizeof(WCHAR));
  TIoStatus status = {};
  if (setInformation(ownFile, &status, &rename, sizeof rename, kFileRenameInformation) >= 0)
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

int AskAndHandOffUninstall() {
  if (MessageBoxA(nullptr, kQuestion, kQuestionCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return 1;
  const std::string program = ModulePath();
  if (!program.empty() && StartTemporaryCopy(program)) return 0;
  MessageBoxA(nullptr, "The uninstall could not be started.", kQuestionCaption, MB_OK | MB_ICONERROR);
  return 1;
}

int FinishUninstall(const std::string& waitHandle, const std::string& confirmedHandle,
                    const std::string& ownFileHandle, const std::string& programPath) {
  if (programPath.empty()) {
    MessageBoxA(nullptr, "Nothing was removed: the uninstall was not handed over completely.", kQuestionCaption,
                MB_OK | MB_ICONERROR);
    return 1;
  }
  bool confirmed = false;
  {
    // Only an inherited file handle is ours to close; a stray number is left alone.
    HANDLE raw = HandleFromText(confirmedHandle);
    BY_HANDLE_FILE_INFORMATION info = {};
    if (raw && GetFileInformationByHandle(raw, &info)) {
      base::UniqueFile held(raw);  // closed before the removal, which deletes that file
      confirmed = IsConfirmedProgram(held.get(), programPath);
    }
  }
  if (!confirmed) {
    MessageBoxA(nullptr,
                ("Nothing was removed: \"" + programPath +
                 "\" is not the " PRODUCT_NAME " whose removal was confirmed.")
                    .c_str(),
                kQuestionCaption, MB_OK | MB_ICONERROR);
    return 1;
  }
  if (HANDLE asking = HandleFromText(waitHandle)) {
    base::UniqueHandle owner(asking);
    WaitForSingleObject(owner.get(), 30000);
  }
  RemoveInstallation(programPath);
  LeavePrivateFolder(HandleFromText(ownFileHandle));
  return 0;
}

}  // namespace vlm
