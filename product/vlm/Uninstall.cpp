#include "Uninstall.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <vector>

#include "CommandLine.h"
#include "DocumentTypes.h"
#include "InstallRecord.h"
#include "PathGuard.h"
#include "ProductNames.h"
#include "ProductShortcuts.h"
#include "base/WinHandles.h"
#include "registration/ProductInterface.h"

namespace vlm {

namespace {

// The all-users data folder of the product, or the documents one the setup
// falls back to when that cannot be looked up.
std::string DataFolder() {
  char folder[MAX_PATH + 1] = {};
  if ((SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) == S_OK && folder[0]) ||
      (SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder) == S_OK && folder[0]))
    return std::string(folder) + "\\" + product::kProductFolder;
  return std::string();
}

bool IsRootFolder(const std::string& folder) {
  std::string parent;
  return !NormalisePath(folder + "\\..", parent);
}

size_t Depth(const std::string& path) { return static_cast<size_t>(std::count(path.begin(), path.end(), '\\')); }

bool DeleteRecordedFile(const std::string& path, DWORD attributes) {
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  return DeleteFileA(path.c_str()) != 0;
}

bool DeleteRecordedFile(const std::string& path) { return DeleteRecordedFile(path, GetFileAttributesA(path.c_str())); }

// The program may take a moment to be released after its process ended (a
// scanner looking at it); give up after two seconds.
void DeleteProgram(const std::string& path) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (DeleteRecordedFile(path) || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    Sleep(100);
  }
}

// The program the uninstall entry removes: the copy installed last. Empty
// when there is no entry.
std::string UninstallEntryProgram() {
  base::UniqueHKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS)
    return std::string();
  char value[2 * MAX_PATH] = {};
  DWORD type = 0, size = sizeof value - 1;
  if (RegQueryValueExA(key.get(), kUninstallStringValue, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return std::string();
  return CommandProgram(value);
}

}  // namespace

void RemoveInstallation(const std::string& programPath) {
  std::string program;
  if (!CanonicalPath(programPath, program) || IsRootFolder(program)) return;
  std::string destination = program.substr(0, program.rfind('\\'));
  if (destination.size() == 2) destination += '\\';  // "C:" alone would be relative
  const std::string logPath = destination + (destination.back() == '\\' ? "" : "\\") + product::kInstallLogFile;

  // A drive or share root as destination would open the whole volume to the log.
  TPlaces places;
  if (!IsRootFolder(destination)) places.Add(destination);
  // Copies share the data folder. The entry names the copy installed last:
  // while that is another one, what lies there is still in use.
  const std::string entryProgram = UninstallEntryProgram();
  const bool entryIsOurs = !entryProgram.empty() && SamePathName(entryProgram, program);
  const bool dataInUse = !entryProgram.empty() && !entryIsOurs;
  const std::string data = DataFolder();
  if (!data.empty() && !dataInUse) places.Add(data);

  std::string canonicalLog;
  if (!CanonicalPath(logPath, canonicalLog)) return;
  const TInstallRecord record = ReadInstallRecord(logPath);
  for (const std::string& file : record.Files) {
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    const std::string granted = places.Grant(file, &attributes);
    if (granted.empty() || SameCanonical(granted, program) || SameCanonical(granted, canonicalLog)) continue;
    DeleteRecordedFile(granted, attributes);
  }
  std::vector<std::string> folders;
  for (const std::string& folder : record.Folders) {
    const std::string granted = places.Grant(folder);
    if (!granted.empty()) folders.push_back(granted);
  }
  std::stable_sort(folders.begin(), folders.end(),
                   [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
  for (const std::string& folder : folders) RemoveDirectoryA(folder.c_str());  // fails unless empty

  RemoveProductShortcuts(program);
  UnregisterDocumentTypes(program);
  if (entryIsOurs) SHDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);

  DeleteProgram(program);
  DeleteRecordedFile(logPath);
  if (!IsRootFolder(destination)) RemoveDirectoryA(destination.c_str());
}

}  // namespace vlm
