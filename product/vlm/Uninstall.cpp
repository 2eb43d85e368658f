#include "Uninstall.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "DocumentTypes.h"
#include "InstallRecord.h"
#include "PathGuard.h"
#include "ProductNames.h"
#include "ProductShortcuts.h"
#include "SharedData.h"
#include "contract/ProductInterface.h"

namespace vlm {

namespace {

bool IsRootFolder(const std::string& folder) {
  std::string parent;
  return !NormalisePath(folder + "\\..", parent);
}

size_t Depth(const std::string& path) { return static_cast<size_t>(std::count(path.begin(), path.end(), '\\')); }

bool DeleteNamedFile(const std::string& path) { return DeleteRecordedFile(path, GetFileAttributesA(path.c_str())); }

// The program may take a moment to be released after its process ended (a
// scanner looking at it); give up after two seconds.
void DeleteProgram(const std::string& path) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (DeleteNamedFile(path) || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    Sleep(100);
  }
}

}  // namespace

bool DeleteRecordedFile(const std::string& path, unsigned long attributes) {
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  return DeleteFileA(path.c_str()) != 0;
}

void RemoveInstallation(const std::string& programPath) {
  std::string program;
  if (!CanonicalPath(programPath, program) || IsRootFolder(program)) return;
  std::string destination = program.substr(0, program.rfind('\\'));
  if (destination.size() == 2) destination += '\\';  // "C:" alone would be relative
  const std::string logPath = destination + (destination.back() == '\\' ? "" : "\\") + product::kInstallLogFile;

  // A drive or share root as destination would open the whole volume to the
  // log. The shared data folder is not the log's to act on: it goes with the
  // last copy, by the record of what the installs wrote.
  TPlaces places;
  if (!IsRootFolder(destination)) places.Add(destination);
  const TSharedUse use = ReleaseSharedUse(program);

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
  HandOverUninstallEntry(program, use);
  if (use.LastCopy) {
    const std::string data = SharedDataFolder();
    if (!data.empty()) RemoveSharedData(data);
  }

  DeleteProgram(program);
  DeleteNamedFile(logPath);
  if (!IsRootFolder(destination)) RemoveDirectoryA(destination.c_str());
}

}  // namespace vlm
