#include "DocumentTypes.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "CommandLine.h"
#include "PathGuard.h"
#include "base/WinHandles.h"
#include "contract/Names.h"

namespace vlm {

namespace {

constexpr char kClassesKey[] = "Software\\Classes\\";
constexpr char kOpenCommandKey[] = "\\shell\\open\\command";

const char* DescriptionOf(char letter) {
  switch (letter) {
    case 'A': return PRODUCT_NAME " RTF Document";
    case 'B': return PRODUCT_NAME " Encrypted COD Document";
    case 'C': return PRODUCT_NAME " DOC Document";
    default: return PRODUCT_NAME " DOCX Document";
  }
}

bool WriteDefaultValue(const std::string& subKey, const std::string& value) {
  base::UniqueHKey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, (kClassesKey + subKey).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      key.out(), nullptr) != ERROR_SUCCESS)
    return false;
  return RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

// The default value of a key below Classes; empty when absent or not a string.
std::string ReadDefaultValue(const std::string& subKey) {
  base::UniqueHKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, (kClassesKey + subKey).c_str(), 0, KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS)
    return std::string();
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ ||
      size == 0)
    return std::string();
  std::string value(size, '\0');
  if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(&value[0]), &size) != ERROR_SUCCESS)
    return std::string();
  value.resize(value.find('\0') == std::string::npos ? size : value.find('\0'));
  return value;
}

// Drops the extension's pointer to progId, and the key when nothing else is left in it.
void ReleaseExtension(const std::string& extension, const std::string& progId) {
  if (lstrcmpiA(ReadDefaultValue(extension).c_str(), progId.c_str()) != 0) return;
  const std::string path = kClassesKey + extension;
  {
    base::UniqueHKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE | KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS)
      return;
    RegDeleteValueA(key.get(), nullptr);
    DWORD subKeys = 1, values = 1;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS ||
        subKeys != 0 || values != 0)
      return;
  }
  RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
}

// Takes the type away when its ProgID still opens programPath; true when it did.
bool ReleaseType(const product::TDocumentType& type, const std::string& programPath) {
  const std::string progId = ProgIdOf(type);
  if (!SamePathName(CommandProgram(ReadDefaultValue(progId + kOpenCommandKey)), programPath)) return false;
  ReleaseExtension(ExtensionOf(type), progId);
  SHDeleteKeyA(HKEY_CURRENT_USER, (kClassesKey + progId).c_str());
  return true;
}

}  // namespace

std::string ProgIdOf(const product::TDocumentType& type) {
  return std::string(PRODUCT_IDENT ".") + (type.Suffix + 1);
}

std::string ExtensionOf(const product::TDocumentType& type) { return std::string(".") + (type.Suffix + 1); }

std::vector<product::TDocumentType> ChosenDocumentTypes(const std::string& argument) {
  std::vector<product::TDocumentType> chosen;
  constexpr char kPrefix[] = "vdoc";
  if (argument.size() < 4 || lstrcmpiA(argument.substr(0, 4).c_str(), kPrefix) != 0) return chosen;
  std::vector<std::string> suffixes;
  for (size_t start = 4; start < argument.size();) {
    size_t next = argument.find('_', start + 1);
    if (next == std::string::npos) next = argument.size();
    suffixes.push_back(argument.substr(start, next - start));
    start = next;
  }
  for (const product::TDocumentType& type : product::kDocumentTypes)
    for (const std::string& suffix : suffixes)
      if (lstrcmpiA(suffix.c_str(), type.Suffix) == 0) {
        chosen.push_back(type);
        break;
      }
  return chosen;
}

void RegisterDocumentTypes(const std::string& programPath, const std::vector<product::TDocumentType>& types) {
  // A type left unchecked in a later run is no longer this copy's.
  for (const product::TDocumentType& type : product::kDocumentTypes) {
    bool chosen = false;
    for (const product::TDocumentType& wanted : types) chosen = chosen || wanted.Letter == type.Letter;
    if (!chosen) ReleaseType(type, programPath);
  }
  for (const product::TDocumentType& type : types) {
    const std::string progId = ProgIdOf(type);
    WriteDefaultValue(progId, DescriptionOf(type.Letter));
    WriteDefaultValue(progId + "\\DefaultIcon", programPath + ",0");
    WriteDefaultValue(progId + kOpenCommandKey, "\"" + programPath + "\" \"%1\"");
    WriteDefaultValue(ExtensionOf(type), progId);
  }
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void UnregisterDocumentTypes(const std::string& programPath) {
  bool changed = false;
  for (const product::TDocumentType& type : product::kDocumentTypes) changed = ReleaseType(type, programPath) || changed;
  if (changed) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

}  // namespace vlm
