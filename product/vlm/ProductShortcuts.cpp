#include "ProductShortcuts.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <vector>

#include "PathGuard.h"
#include "ProductNames.h"
#include "base/WinHandles.h"

namespace vlm {

namespace {

constexpr int kShortcutFolders[] = {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, CSIDL_DESKTOPDIRECTORY,
                                    CSIDL_COMMON_DESKTOPDIRECTORY};

std::wstring Widen(const std::string& s) {
  int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::vector<wchar_t> buf(static_cast<size_t>(n));
  MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, buf.data(), n);
  return std::wstring(buf.data());
}

// The path a shell link starts, as stored; empty when it cannot be read.
std::string LinkTarget(const std::string& linkPath) {
  base::ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.outVoid())))
    return std::string();
  base::ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.outVoid())) ||
      FAILED(file->Load(Widen(linkPath).c_str(), STGM_READ)))
    return std::string();
  char target[MAX_PATH + 1] = {};
  if (FAILED(link->GetPath(target, sizeof target, nullptr, 0))) return std::string();
  return target;
}

}  // namespace

void RemoveProductShortcuts(const std::string& programPath) {
  const HRESULT com = CoInitialize(nullptr);
  for (int csidl : kShortcutFolders) {
    char folder[MAX_PATH + 1] = {};
    if (SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK || !folder[0]) continue;
    const std::string link = std::string(folder) + "\\" + kShortcutFile;
    const DWORD attributes = GetFileAttributesA(link.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
      continue;
    if (SamePathName(LinkTarget(link), programPath)) DeleteFileA(link.c_str());
  }
  if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace vlm
