// Measures start-up as a user meets it: from CreateProcess to the first page
// painted and the program waiting for input, for the setup and for a program
// that shows one empty window, alternately in the same run.
//   startup_bench SETUP.EXE EMPTY_WINDOW.EXE [ROUNDS]
// Both are ended by force once measured; the setup has written nothing by then.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "base/WinHandles.h"

using bench::Median;
using bench::Seconds;
using bench::WindowsPath;

namespace {

const char kWizardTitle[] = "Vellumar Word Processor Lite - Setup";

struct WindowSearch {
  DWORD processId;
  const char* title;
  bool found;
};

BOOL CALLBACK FindVisibleTitled(HWND wnd, LPARAM lp) {
  auto* s = reinterpret_cast<WindowSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  char text[128] = {};
  GetWindowTextA(wnd, text, sizeof text);
  if (pid == s->processId && IsWindowVisible(wnd) && (!s->title || strcmp(text, s->title) == 0)) {
    s->found = true;
    return FALSE;
  }
  return TRUE;
}

// Seconds from CreateProcess until the program first waits for input with
// nothing left to paint; negative when it did not get there, or when no
// visible window (with this title, if given) was up at that moment.
double TimeToFirstPaint(const std::string& exe, const char* title) {
  std::string cmd = "\"" + exe + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  const double t0 = Seconds();
  if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  base::UniqueHandle process(pi.hProcess), thread(pi.hThread);
  const DWORD idle = WaitForInputIdle(pi.hProcess, 30000);
  const double elapsed = Seconds() - t0;
  WindowSearch search = {pi.dwProcessId, title, false};
  EnumWindows(FindVisibleTitled, reinterpret_cast<LPARAM>(&search));
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  return idle == 0 && search.found ? elapsed : -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_bench SETUP.EXE EMPTY_WINDOW.EXE [ROUNDS]\n");
    return 2;
  }
  const std::string setup = WindowsPath(argv[1]), empty = WindowsPath(argv[2]);
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 15;
  // One start of each first, so that neither pays for a cold cache.
  TimeToFirstPaint(empty, nullptr);
  TimeToFirstPaint(setup, kWizardTitle);
  std::vector<double> setupTimes, emptyTimes;
  for (int i = 0; i < rounds; ++i) {
    const double e = TimeToFirstPaint(empty, nullptr);
    const double s = TimeToFirstPaint(setup, kWizardTitle);
    if (e < 0 || s < 0) {
      std::fprintf(stderr, "startup_bench: a program did not reach its first page\n");
      return 1;
    }
    emptyTimes.push_back(e);
    setupTimes.push_back(s);
  }
  const double s = Median(setupTimes), e = Median(emptyTimes);
  std::printf("start-up to first page painted (median of %d): setup %.1f ms, empty window %.1f ms, ratio %.2f\n",
              rounds, s * 1000, e * 1000, s / e);
  std::printf("  setup min %.1f max %.1f ms; empty window min %.1f max %.1f ms\n",
              *std::min_element(setupTimes.begin(), setupTimes.end()) * 1000,
              *std::max_element(setupTimes.begin(), setupTimes.end()) * 1000,
              *std::min_element(emptyTimes.begin(), emptyTimes.end()) * 1000,
              *std::max_element(emptyTimes.begin(), emptyTimes.end()) * 1000);
  return 0;
}
