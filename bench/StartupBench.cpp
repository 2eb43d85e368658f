// Measures start-up as a user meets it: from CreateProcess until the first
// page's window shows its "&Next >" button, for the setup and for the peer
// installer when given, and until its window shows for a program with one
// empty window, alternately in the same run. With --phases, a build of the
// setup that writes its own phase stamps is started as often again and the
// time is broken down by phase.
//   startup_bench SETUP.EXE EMPTY_WINDOW.EXE [ROUNDS [PEER.EXE]] [--phases MARKED_SETUP.EXE]
// Each is ended by force once measured; the setup has written nothing by then.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
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
const char kNext[] = "&Next >";
// The peer's stub is 32-bit whatever this build is.
const char* const kThisBuild = bench::ThisBuild();

struct Program {
  const char* label;
  const char* build;
  std::string exe;
  const char* title;   // of its first page's window; null: any visible window
  const char* button;  // the button its first page shows, if any
  std::vector<double> times;
};

// Seconds from CreateProcess until the first page's window is visible with its
// button; negative when it did not get there. `started` gets the counter's
// reading just before CreateProcess.
double TimeToFirstPage(const Program& p, LONGLONG* started = nullptr) {
  LARGE_INTEGER before;
  QueryPerformanceCounter(&before);
  if (started) *started = before.QuadPart;
  const double t0 = Seconds();
  e2e::ChildProcess run(p.exe);  // ended by force once measured
  if (!run.started()) return -1;
  if (!bench::WaitUntil([&] { return bench::VisibleWindow(run.id(), p.title, p.button) != nullptr; }, 30000))
    return -1;
  return Seconds() - t0;
}

void PrintSpread(const char* label, const char* build, const std::vector<double>& times) {
  std::printf("  %-22s %-7s %7.1f ms (min %.1f, max %.1f)", label, build, Median(times) * 1000,
              *std::min_element(times.begin(), times.end()) * 1000,
              *std::max_element(times.begin(), times.end()) * 1000);
}

// "phase counter" lines, in the order written.
std::vector<std::pair<std::string, LONGLONG>> ReadMarks(const std::string& path) {
  std::vector<std::pair<std::string, LONGLONG>> marks;
  if (FILE* f = std::fopen(path.c_str(), "r")) {
    char name[64];
    long long at = 0;
    while (std::fscanf(f, "%63s %lld", name, &at) == 2) marks.emplace_back(name, at);
    std::fclose(f);
  }
  return marks;
}

// Starts the marked setup `rounds` times and prints the median time of each
// phase: from one stamp to the next, the first from CreateProcess, the last
// up to the button being seen.
bool PrintPhases(const std::string& exe, int rounds) {
  char dir[MAX_PATH], path[MAX_PATH];
  GetTempPathA(sizeof dir, dir);
  GetTempFileNameA(dir, "mrk", 0, path);
  SetEnvironmentVariableA("VELLUMAR_STARTUP_MARKS", path);
  LARGE_INTEGER freq;
  QueryPerformanceFrequency(&freq);
  const Program marked = {"marked setup", kThisBuild, exe, kWizardTitle, kNext, {}};
  std::vector<std::string> order;
  std::map<std::string, std::vector<double>> spans;
  std::vector<double> totals;
  for (int i = 0; i <= rounds; ++i) {  // the first start warms the cache and is not counted
    DeleteFileA(path);
    LONGLONG started = 0;
    const double total = TimeToFirstPage(marked, &started);
    if (total < 0) return false;
    const auto marks = ReadMarks(path);
    if (marks.empty()) return false;
    if (i == 0) continue;
    LONGLONG previous = started;
    for (const auto& mark : marks) {
      if (i == 1) order.push_back(mark.first);
      spans[mark.first].push_back(double(mark.second - previous) / double(freq.QuadPart));
      previous = mark.second;
    }
    const double afterLast = total - double(previous - started) / double(freq.QuadPart);
    spans["next-visible"].push_back(afterLast);
    totals.push_back(total);
  }
  SetEnvironmentVariableA("VELLUMAR_STARTUP_MARKS", nullptr);
  DeleteFileA(path);
  order.push_back("next-visible");
  std::printf("setup start-up by phase, stamps of a marked build (median of %d; each from the previous stamp):\n",
              rounds);
  const char* previous = "CreateProcess";
  for (const std::string& phase : order) {
    const std::string label = std::string(previous) + " -> " + phase;
    PrintSpread(label.size() <= 44 ? label.c_str() : phase.c_str(), kThisBuild, spans[phase]);
    std::printf("\n");
    previous = phase.c_str();
  }
  PrintSpread("total", kThisBuild, totals);
  std::printf("\n");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string marked;
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == "--phases") {
      marked = WindowsPath(args[i + 1]);
      args.erase(args.begin() + long(i), args.begin() + long(i) + 2);
      break;
    }
  }
  if (args.size() < 2) {
    std::fprintf(stderr,
                 "usage: startup_bench SETUP.EXE EMPTY_WINDOW.EXE [ROUNDS [PEER.EXE]] [--phases MARKED_SETUP.EXE]\n");
    return 2;
  }
  const int rounds = args.size() > 2 ? std::max(1, std::atoi(args[2].c_str())) : 15;
  std::vector<Program> programs = {{"setup", kThisBuild, WindowsPath(args[0]), kWizardTitle, kNext, {}},
                                   {"empty window", kThisBuild, WindowsPath(args[1]), nullptr, nullptr, {}}};
  if (args.size() > 3) programs.push_back({"peer", "i686", WindowsPath(args[3]), kPeerTitle, kNext, {}});
  // One start of each first, so that none pays for a cold cache.
  for (const Program& p : programs) TimeToFirstPage(p);
  for (int i = 0; i < rounds; ++i) {
    for (Program& p : programs) {
      double t = TimeToFirstPage(p);
      if (t < 0) t = TimeToFirstPage(p);  // one more try: a start can stall on the display server
      if (t < 0) {
        std::fprintf(stderr, "startup_bench: %s did not reach its first page\n", p.label);
        return 1;
      }
      p.times.push_back(t);
    }
  }
  std::printf("start-up until the first page shows \"&Next >\" (the empty window: until it shows), median of %d:\n",
              rounds);
  const Program& empty = programs[1];
  for (const Program& p : programs) {
    PrintSpread(p.label, p.build, p.times);
    if (&p != &empty) {
      const std::vector<double> paired = bench::PairedRatios(p.times, empty.times);
      std::printf(", ratio to the empty window %.2f (median of the rounds' ratios %.2f, min %.2f, max %.2f)",
                  Median(p.times) / Median(empty.times), Median(paired),
                  *std::min_element(paired.begin(), paired.end()), *std::max_element(paired.begin(), paired.end()));
    }
    if (programs.size() > 2 && &p == &programs[0])
      std::printf(", ratio to the peer %.2f", Median(p.times) / Median(programs[2].times));
    std::printf("\n");
  }
  if (!marked.empty() && !PrintPhases(marked, rounds)) {
    std::fprintf(stderr, "startup_bench: the marked setup wrote no stamps or did not reach its first page\n");
    return 1;
  }
  return 0;
}
