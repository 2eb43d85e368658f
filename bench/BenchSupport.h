// What every benchmark program needs: a clock, a median, its arguments' Unix
// paths as Wine sees them; for those that time other programs, a started
// program and a search for its windows.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/WinHandles.h"

namespace bench {

inline double Seconds() {
  static LARGE_INTEGER freq = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return double(now.QuadPart) / double(freq.QuadPart);
}

// "/unix/path" as Wine's Z: drive path; Windows paths pass unchanged.
inline std::string WindowsPath(std::string p) {
  if (!p.empty() && p[0] == '/') {
    std::replace(p.begin(), p.end(), '/', '\\');
    p = "Z:" + p;
  }
  return p;
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The build this program (and the setup beside it) is.
inline const char* ThisBuild() { return sizeof(void*) == 8 ? "x86_64" : "i686"; }

// "<build> <median> ms (min <min>, max <max>)" of times in seconds.
inline std::string Spread(const std::vector<double>& times, const char* build = ThisBuild()) {
  char text[96];
  std::snprintf(text, sizeof text, "%-6s %8.2f ms (min %.2f, max %.2f)", build, Median(times) * 1000,
                *std::min_element(times.begin(), times.end()) * 1000,
                *std::max_element(times.begin(), times.end()) * 1000);
  return text;
}

// Each round's a/b: the two runs of a round meet the same state of the
// machine, so their ratio is not moved by it getting slower or faster.
inline std::vector<double> PairedRatios(const std::vector<double>& a, const std::vector<double>& b) {
  std::vector<double> ratios;
  for (size_t r = 0; r < a.size() && r < b.size(); ++r) ratios.push_back(a[r] / b[r]);
  return ratios;
}

struct WindowSearch {
  DWORD processId;
  const char* title;   // null: any
  const char* button;  // a child button with this text; null: none needed
  HWND found;
};

inline BOOL CALLBACK FindVisibleTitled(HWND wnd, LPARAM lp) {
  auto* s = reinterpret_cast<WindowSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  char text[128] = {};
  GetWindowTextA(wnd, text, sizeof text);
  if (pid == s->processId && IsWindowVisible(wnd) && (!s->title || strcmp(text, s->title) == 0) &&
      (!s->button || FindWindowExA(wnd, nullptr, "Button", s->button))) {
    s->found = wnd;
    return FALSE;
  }
  return TRUE;
}

// The process's visible top-level window with this title (any, if null) and,
// if asked, a child button with this text; null when there is none yet.
inline HWND VisibleWindow(DWORD processId, const char* title, const char* button = nullptr) {
  WindowSearch search = {processId, title, button, nullptr};
  EnumWindows(FindVisibleTitled, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Polls `done` every millisecond until it holds or `ms` have passed; its last answer.
template <typename Done>
bool WaitUntil(Done done, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= ms) return done();
    Sleep(1);
  }
  return true;
}

}  // namespace bench
