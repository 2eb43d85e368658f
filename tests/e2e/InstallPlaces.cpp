#include "tests/support/Names.h"
#include "InstallPlaces.h"

#include <shellapi.h>
#include <shlobj.h>

#include "tests/support/ProcessDriver.h"

namespace e2e {

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
std::string ProgId(const char* type) { return std::string(NAME_IDENT ".") + type; }

// The extension's default value under the user's classes names the product's type.
bool Registered(const char* type) {
  return RegText(HKEY_CURRENT_USER, std::string("Software\\Classes\\.") + type, nullptr) == ProgId(type);
}

Places::Places() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  root = std::string(temp) + "vellumar-flow-" + std::to_string(GetCurrentProcessId());
  dest = root + "\\Writer";
  data = SpecialFolder(CSIDL_COMMON_APPDATA) + "\\" NAME_SHORT;
  allUsersLinks[0] = SpecialFolder(CSIDL_COMMON_PROGRAMS) + kLinkName;
  allUsersLinks[1] = SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + kLinkName;
  userLinks[0] = SpecialFolder(CSIDL_PROGRAMS) + kLinkName;
  userLinks[1] = SpecialFolder(CSIDL_DESKTOPDIRECTORY) + kLinkName;
  CleanUp();
}

Places::~Places() { CleanUp(); }

void Places::CleanUp() const {
  DeleteTree(root);
  DeleteTree(data);
  for (const std::string& link : {allUsersLinks[0], allUsersLinks[1], userLinks[0], userLinks[1]})
    DeleteFileA(link.c_str());
  DeleteKeyTree(HKEY_CURRENT_USER, NAME_KEY);
  DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
  DeleteKeyTree(HKEY_LOCAL_MACHINE, NAME_KEY);
  for (const char* type : kTypes) {
    if (Registered(type)) DeleteKeyTree(HKEY_CURRENT_USER, std::string("Software\\Classes\\.") + type);
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Classes\\" + ProgId(type));
  }
}

}  // namespace e2e
