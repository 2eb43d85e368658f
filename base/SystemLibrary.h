// Loading a Windows DLL by its full path in the system folder, never by a
// bare name a planted copy beside the setup could answer, and taking its
// functions by name.
#pragma once
#include <windows.h>

namespace base {

inline HMODULE LoadSystemLibrary(const char* name) {
  char path[MAX_PATH];
  const UINT n = GetSystemDirectoryA(path, MAX_PATH);
  if (n == 0 || n + 1 + lstrlenA(name) >= MAX_PATH) return nullptr;
  lstrcatA(path, "\\");
  lstrcatA(path, name);
  return LoadLibraryA(path);
}

// The function `name` of `module` as type Fn; null when either is missing.
template <typename Fn>
Fn SystemFunction(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace base
