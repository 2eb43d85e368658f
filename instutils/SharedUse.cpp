#include "instutils/SharedUse.h"

#include "base/WinHandles.h"
#include "instutils/InstUtils.h"
#include "contract/ProductInterface.h"

namespace shareduse {

namespace {

constexpr DWORD kCounted = 1;
constexpr size_t kMarkBytes = 16;

bool SameText(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

base::UniqueHKey CreateKey(const char* path) {
  base::UniqueHKey key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(), nullptr) !=
      ERROR_SUCCESS)
    key.reset();
  return key;
}

enum TListing { lsMissing, lsFailed, lsListed };

// Calls each(name, type, data, size) for every value of the key; a value
// whose name or data no install writes comes with an empty name.
template <typename Each>
TListing ForEachValue(const char* path, Each each) {
  base::UniqueHKey key;
  const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, key.out());
  if (opened == ERROR_FILE_NOT_FOUND) return lsMissing;
  if (opened != ERROR_SUCCESS) return lsFailed;
  for (DWORD index = 0;; ++index) {
    char name[2 * MAX_PATH];
    BYTE data[64];
    DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
    const LONG result = RegEnumValueA(key.get(), index, name, &nameSize, nullptr, &type, data, &dataSize);
    if (result == ERROR_NO_MORE_ITEMS) return lsListed;
    if (result == ERROR_MORE_DATA) {
      each(std::string(), REG_NONE, nullptr, 0);
      continue;
    }
    if (result != ERROR_SUCCESS) return lsFailed;
    each(std::string(name, nameSize), type, data, dataSize);
  }
}

}  // namespace

bool MarkOf(const std::string& path, TFileMark& mark) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  mark.Size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  mark.LastWrite = data.ftLastWriteTime;
  return true;
}

bool SameMark(const TFileMark& a, const TFileMark& b) {
  return a.Size == b.Size && CompareFileTime(&a.LastWrite, &b.LastWrite) == 0;
}

void AddInstall(const std::string& programPath) {
  base::UniqueHKey key = CreateKey(kInstallsKey);
  if (!key) return;
  RegSetValueExA(key.get(), instutils::LongPathName(programPath).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&kCounted),
                 sizeof kCounted);
}

void MarkFile(const std::string& path, const TFileMark& mark) {
  base::UniqueHKey key = CreateKey(kFilesKey);
  if (!key) return;
  BYTE data[kMarkBytes];
  CopyMemory(data, &mark.Size, 8);
  CopyMemory(data + 8, &mark.LastWrite, 8);
  RegSetValueExA(key.get(), path.c_str(), 0, REG_BINARY, data, sizeof data);
}

TInstalls ReadInstalls() {
  TInstalls installs;
  bool understood = true;
  const TListing listed = ForEachValue(kInstallsKey, [&](const std::string& name, DWORD type, const BYTE* data,
                                                     DWORD size) {
    DWORD count = 0;
    if (data && size == sizeof count) CopyMemory(&count, data, sizeof count);
    if (name.empty() || type != REG_DWORD || count != kCounted)
      understood = false;
    else
      installs.Programs.push_back(name);
  });
  installs.Readable = listed == lsListed && understood;
  return installs;
}

bool RemoveInstall(const std::string& programPath) {
  std::vector<std::string> same;
  const std::string program = instutils::LongPathName(programPath);
  ForEachValue(kInstallsKey, [&](const std::string& name, DWORD, const BYTE*, DWORD) {
    if (!name.empty() && SameText(instutils::LongPathName(name), program)) same.push_back(name);
  });
  if (same.empty()) return false;
  base::UniqueHKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallsKey, 0, KEY_SET_VALUE, key.out()) != ERROR_SUCCESS) return false;
  bool removed = true;
  for (const std::string& name : same) removed = RegDeleteValueA(key.get(), name.c_str()) == ERROR_SUCCESS && removed;
  return removed;
}

TFileMarks ReadFileMarks() {
  TFileMarks marks;
  bool understood = true;
  const TListing listed = ForEachValue(kFilesKey, [&](const std::string& name, DWORD type, const BYTE* data,
                                                  DWORD size) {
    if (name.empty() || type != REG_BINARY || size != kMarkBytes) {
      understood = false;
      return;
    }
    TFileMark mark;
    CopyMemory(&mark.Size, data, 8);
    CopyMemory(&mark.LastWrite, data + 8, 8);
    marks.Files[name] = mark;
  });
  // An install may have written no shared file: a missing list is an empty one.
  marks.Readable = listed != lsFailed && understood;
  return marks;
}

void DeleteRecord() {
  // The record's own layout, deepest first: RegDeleteKeyA leaves a key with subkeys.
  for (const char* path : {kInstallsKey, kFilesKey, kSharedUseKey}) RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
  // The product's key goes too when nothing else lives there.
  base::UniqueHKey parent;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_READ, parent.out()) != ERROR_SUCCESS) return;
  DWORD subkeys = 1, values = 1;
  const bool empty = RegQueryInfoKeyA(parent.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                      nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
                     subkeys == 0 && values == 0;
  parent.reset();
  if (empty) RegDeleteKeyA(HKEY_LOCAL_MACHINE, kProductKey);
}

TEntryState ReadUninstallEntryProgram(std::string& program) {
  program.clear();
  base::UniqueHKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, product::kUninstallKey, 0, KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS)
    return esAbsent;
  DWORD type = 0, size = 0;
  const LONG sized = RegQueryValueExA(key.get(), product::kUninstallStringValue, nullptr, &type, nullptr, &size);
  if (sized == ERROR_FILE_NOT_FOUND) return esAbsent;
  if (sized != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size > 32 * 1024) return esUnreadable;
  std::string value(size + 1, '\0');
  if (RegQueryValueExA(key.get(), product::kUninstallStringValue, nullptr, &type, reinterpret_cast<BYTE*>(&value[0]),
                       &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return esUnreadable;
  value.resize(lstrlenA(value.c_str()));
  if (type == REG_EXPAND_SZ) {
    const DWORD need = ExpandEnvironmentStringsA(value.c_str(), nullptr, 0);
    std::string expanded(need + 1, '\0');
    const DWORD got = need ? ExpandEnvironmentStringsA(value.c_str(), &expanded[0], need + 1) : 0;
    if (got == 0 || got > need + 1) return esUnreadable;
    expanded.resize(lstrlenA(expanded.c_str()));
    value = expanded;
  }
  program = CommandProgram(value);
  return program.empty() ? esUnreadable : esReadable;
}

std::string CommandProgram(const std::string& command) {
  const size_t start = command.find_first_not_of(" \t");
  if (start == std::string::npos) return std::string();
  if (command[start] == '"') {
    const size_t end = command.find('"', start + 1);
    return end == std::string::npos ? std::string() : command.substr(start + 1, end - start - 1);
  }
  std::string program = command.substr(start);
  while (!program.empty() && (program.back() == ' ' || program.back() == '\t')) program.pop_back();
  static const std::string kSwitch = " -ui";
  if (program.size() > kSwitch.size() && SameText(program.substr(program.size() - kSwitch.size()), kSwitch))
    program.resize(program.size() - kSwitch.size());
  return program;
}

}  // namespace shareduse
