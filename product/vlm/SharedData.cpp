#include "SharedData.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "PathGuard.h"
#include "Uninstall.h"
#include "base/WinHandles.h"
#include "instutils/FolderSize.h"
#include "instutils/InstUtils.h"
#include "contract/ProductInterface.h"
#include "instutils/SharedUse.h"

namespace vlm {

namespace {

// The folders below folder that end empty go, deepest first, then folder
// itself if it is empty. A reparse point is neither entered nor removed.
void RemoveEmptyFolders(const std::string& folder) {
  WIN32_FIND_DATAA found;
  {
    base::UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (find) do {
        const std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && name != "." && name != "..")
          RemoveEmptyFolders(folder + "\\" + name);
      } while (FindNextFileA(find.get(), &found));
  }
  RemoveDirectoryA(folder.c_str());  // fails unless empty
}

void NameCopyInEntry(const std::string& other) {
  base::UniqueHKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, product::kUninstallKey, 0, KEY_SET_VALUE, key.out()) != ERROR_SUCCESS) return;
  const std::string folder = other.substr(0, other.rfind('\\'));
  const std::string command = product::UninstallCommand(other);
  const auto setString = [&](const char* name, const std::string& value) {
    RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
  };
  setString("DisplayIcon", other);
  setString("InstallLocation", folder);
  if (const std::optional<uint32_t> kb = FolderSizeKB(folder)) {
    const DWORD size = *kb;
    RegSetValueExA(key.get(), "EstimatedSize", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&size), sizeof size);
  }
  setString(product::kUninstallStringValue, command);  // last: the entry is whole once it names the copy
}

}  // namespace

std::string SharedDataFolder() {
  char folder[MAX_PATH + 1] = {};
  if ((SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) == S_OK && folder[0]) ||
      (SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder) == S_OK && folder[0]))
    return std::string(folder) + "\\" + product::kProductFolder;
  return std::string();
}

TSharedUse ReleaseSharedUse(const std::string& program) {
  TSharedUse use;
  const shareduse::TInstalls installs = shareduse::ReadInstalls();
  bool counted = false;
  for (const std::string& copy : installs.Programs) {
    if (SamePathName(copy, program))
      counted = true;
    else
      use.Others.push_back(copy);
  }
  if (counted) shareduse::RemoveInstall(program);
  std::string entryProgram;
  const shareduse::TEntryState entry = shareduse::ReadUninstallEntryProgram(entryProgram);
  const bool entryIsUsOrNone =
      entry == shareduse::esAbsent || (entry == shareduse::esReadable && SamePathName(entryProgram, program));
  use.LastCopy = installs.Readable && counted && use.Others.empty() && entryIsUsOrNone;
  return use;
}

void HandOverUninstallEntry(const std::string& program, const TSharedUse& use) {
  std::string entryProgram;
  if (shareduse::ReadUninstallEntryProgram(entryProgram) != shareduse::esReadable ||
      !SamePathName(entryProgram, program))
    return;
  // A copy that is there first; one on a drive not attached now is still better
  // than none.
  std::string named;
  for (const std::string& other : use.Others) {
    std::string canonical;
    if (!CanonicalPath(other, canonical)) continue;
    if (named.empty() || instutils::IsFile(canonical)) named = canonical;
    if (instutils::IsFile(canonical)) break;
  }
  if (!named.empty())
    NameCopyInEntry(named);
  else if (use.Others.empty())  // no other copy known: nothing left to list
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, product::kUninstallKey);
}

void RemoveSharedData(const std::string& dataFolder) {
  TPlaces places;
  places.Add(dataFolder);
  const std::string root = places.Grant(dataFolder);
  if (root.empty()) return;
  const shareduse::TFileMarks marks = shareduse::ReadFileMarks();
  if (marks.Readable) {
    for (const auto& recorded : marks.Files) {
      unsigned long attributes = INVALID_FILE_ATTRIBUTES;
      const std::string granted = places.Grant(recorded.first, &attributes);
      shareduse::TFileMark now;
      // Changed since it was written: the user's now.
      if (granted.empty() || !shareduse::MarkOf(granted, now) || !shareduse::SameMark(now, recorded.second)) continue;
      DeleteRecordedFile(granted, attributes);
    }
  }
  for (const std::string& own :
       {std::string(product::kCommonDataFile), std::string(product::kUpdateLogFile),
        std::string("Hidden\\") + product::kInstallStampFile}) {
    unsigned long attributes = INVALID_FILE_ATTRIBUTES;
    const std::string granted = places.Grant(root + "\\" + own, &attributes);
    if (!granted.empty()) DeleteRecordedFile(granted, attributes);
  }
  RemoveEmptyFolders(root);
  shareduse::DeleteRecord();
}

}  // namespace vlm
