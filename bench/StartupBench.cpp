// Measures start-up as a user meets it: from CreateProcess to the first page
// painted and the program waiting for input, for the setup and for a program
// that shows one empty window, and for the peer installer when given,
// alternately in the same run.
//   startup_bench SETUP.EXE EMPTY_WINDOW.EXE [ROUNDS [PEER.EXE]]
// Each is ended by force once measured; the setup has written nothing by then.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/Names.h"
#include "bench/BenchSupport.h"
#include "tests/support/ProcessDriver.h"

using bench::Median;
using bench::Seconds;
using bench::WindowsPath;

namespace {

const char kWizardTitle[] = NAME_EDITION " - Setup";
const char kPeerTitle[] = NAME_EDITION " Setup";
const char kPeerNext[] = "&Next >";

struct Program {
  const char* label;
  std::string exe;
  const char* title;   // of its first page's window; null: any visible window
  const char* button;  // a button that first page shows, if any
  std::vector<double> times;
};

// Seconds from CreateProcess until the program first waits for input with
// nothing left to paint and its first page's window is up; negative when it
// did not get there.
double TimeToFirstPage(const Program& p) {
  const double t0 = Seconds();
  e2e::ChildProcess run(p.exe);  // ended by force once measured
  if (!run.started() || WaitForInputIdle(run.handle(), 30000) != 0) return -1;
  // A program may go idle once before its window is made (the peer unpacks
  // its pages first): the first page counts from when it is there.
  if (!bench::WaitUntil([&] { return bench::VisibleWindow(run.id(), p.title, p.button) != nullptr; }, 30000))
    return -1;
  return Seconds() - t0;
}

void Report(const Program& p, const Program& yardstick) {
  const double m = Median(p.times);
  std::printf("  %-12s %7.1f ms (min %.1f, max %.1f)", p.label, m * 1000,
              *std::min_element(p.times.begin(), p.times.end()) * 1000,
              *std::max_element(p.times.begin(), p.times.end()) * 1000);
  if (&p != &yardstick) std::printf(", ratio to %s %.2f", yardstick.label, m / Median(yardstick.times));
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_bench SETUP.EXE EMPTY_WINDOW.EXE [ROUNDS [PEER.EXE]]\n");
    return 2;
  }
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 15;
  std::vector<Program> programs = {{"setup", WindowsPath(argv[1]), kWizardTitle, nullptr, {}},
                                   {"empty window", WindowsPath(argv[2]), nullptr, nullptr, {}}};
  if (argc > 4) programs.push_back({"peer", WindowsPath(argv[4]), kPeerTitle, kPeerNext, {}});
  // One start of each first, so that none pays for a cold cache.
  for (const Program& p : programs) TimeToFirstPage(p);
  for (int i = 0; i < rounds; ++i) {
    for (Program& p : programs) {
      const double t = TimeToFirstPage(p);
      if (t < 0) {
        std::fprintf(stderr, "startup_bench: %s did not reach its first page\n", p.label);
        return 1;
      }
      p.times.push_back(t);
    }
  }
  std::printf("start-up to first page painted (median of %d):\n", rounds);
  const Program& yardstick = programs.back();  // the peer when there is one, else the empty window
  for (const Program& p : programs) Report(p, yardstick);
  return 0;
}
