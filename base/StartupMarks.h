// Start-up phase stamps for the benchmark: a build configured with
// VELLUMAR_STARTUP_MARKS appends "<phase> <performance counter>" lines to the
// file the environment variable VELLUMAR_STARTUP_MARKS names. Every other
// build compiles each mark to nothing.
#pragma once
#include <windows.h>

namespace base {

#ifdef VELLUMAR_STARTUP_MARKS
inline void StartupMark(const char* phase) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  OutputDebugStringA(phase);  // so that a Wine trace (+debugstr) shows the phases in line
  char path[MAX_PATH];
  const DWORD n = GetEnvironmentVariableA("VELLUMAR_STARTUP_MARKS", path, sizeof path);
  if (n == 0 || n >= sizeof path) return;
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  char line[128];
  const int len = wsprintfA(line, "%s %I64d\r\n", phase, now.QuadPart);
  DWORD written = 0;
  WriteFile(file, line, DWORD(len), &written, nullptr);
  CloseHandle(file);
}
#else
inline void StartupMark(const char*) {}
#endif

}  // namespace base
