#include "ShellFolders.h"

#include <windows.h>

#include <atomic>

#include "base/SystemLibrary.h"

namespace instutils {

namespace {

using SHGetFolderPathAFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
std::atomic<SHGetFolderPathAFn> g_getFolderPath{nullptr};

SHGetFolderPathAFn Lookup(const char* dll) {
  return base::SystemFunction<SHGetFolderPathAFn>(base::LoadSystemLibrary(dll), "SHGetFolderPathA");
}

}  // namespace

void BindSpecialFolderLookup() {
  SHGetFolderPathAFn fn = Lookup("shell32.dll");
  if (!fn) fn = Lookup("shfolder.dll");
  g_getFolderPath = fn;
}

void UnbindSpecialFolderLookup() { g_getFolderPath = nullptr; }

bool SpecialFolderLookupBound() { return g_getFolderPath.load() != nullptr; }

std::string SpecialFolder(int csidl) {
  SHGetFolderPathAFn fn = g_getFolderPath;
  if (!fn) return std::string();
  char buf[MAX_PATH + 1] = {};
  if (fn(nullptr, csidl, nullptr, 0, buf) != S_OK) return std::string();
  buf[MAX_PATH] = '\0';
  return std::string(buf);
}

}  // namespace instutils
