// What every benchmark program needs: a clock, a median, and its arguments'
// Unix paths as Wine sees them.
#pragma once
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

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

}  // namespace bench
