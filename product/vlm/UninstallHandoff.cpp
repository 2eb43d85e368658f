#include "UninstallHandoff.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "PathGuard.h"
#include "Uninstall.h"
#include "base/WinHandles.h"

namespace vlm {

namespace {

constexpr char kQuestionCaption[] = "Uninstall Vellumar Word Processor";
constexpr char kQuestion[] =
    "Do you want to remove Vellumar Word Processor and all of its components from this computer?";

std::string ModulePath() {
  char buf[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  std::string canonical;
  return n > 0 && n < MAX_PATH && CanonicalPath(std::string(buf, n), canonical) ? canonical : std::string();
}

// Starts the temporary copy; false when any step fails (the copy then goes again).
bool StartTemporaryCopy(const std::string& programPath) {
  char tempFolder[MAX_PATH + 1] = {}, copyPath[MAX_PATH + 1] = {};
  if (!GetTempPathA(MAX_PATH, tempFolder) || !GetTempFileNameA(tempFolder, "vlu", 0, copyPath)) return false;
  if (!CopyFileA(programPath.c_str(), copyPath, FALSE)) {
    DeleteFileA(copyPath);
    return false;
  }
  // Inherited by the copy, so the file is deleted once the copy has ended too.
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  base::UniqueFile deleteOnClose(CreateFileA(copyPath, DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, &inherit,
                                             OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!deleteOnClose) {
    DeleteFileA(copyPath);
    return false;
  }
  HANDLE self = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0))
    return false;
  base::UniqueHandle selfOwner(self);

  std::string command = "\"" + std::string(copyPath) + "\" -ui-finish " +
                        std::to_string(reinterpret_cast<uintptr_t>(self)) + " \"" + programPath + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  // Started outside the destination, which it must be able to remove.
  if (!CreateProcessA(copyPath, &command[0], nullptr, nullptr, TRUE, 0, nullptr, tempFolder, &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace

int AskAndHandOffUninstall() {
  if (MessageBoxA(nullptr, kQuestion, kQuestionCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return 1;
  const std::string program = ModulePath();
  if (!program.empty() && StartTemporaryCopy(program)) return 0;
  MessageBoxA(nullptr, "The uninstall could not be started.", kQuestionCaption, MB_OK | MB_ICONERROR);
  return 1;
}

int FinishUninstall(const std::string& waitHandle, const std::string& programPath) {
  char* end = nullptr;
  const unsigned long long value = std::strtoull(waitHandle.c_str(), &end, 10);
  if (value != 0 && end && *end == '\0') {
    base::UniqueHandle asking(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value)));
    WaitForSingleObject(asking.get(), 30000);
  }
  RemoveInstallation(programPath);
  return 0;
}

}  // namespace vlm
