#include "DllSearch.h"

#include <windows.h>

namespace instutils {

void RestrictDllSearch() {
  // Absent before Windows 8 without update KB2533623; then only the current
  // directory is dropped from the search.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE k32 = GetModuleHandleA("kernel32.dll");
  auto fn = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(k32, "SetDefaultDllDirectories")));
  if (fn) fn(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
  using SetDllDirectoryAFn = BOOL(WINAPI*)(LPCSTR);
  auto setDir = reinterpret_cast<SetDllDirectoryAFn>(
      reinterpret_cast<void*>(GetProcAddress(k32, "SetDllDirectoryA")));
  if (setDir) setDir("");
}

}  // namespace instutils
