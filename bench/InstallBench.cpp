// Measures an install run over the payload a setup carries (every record
// planned into a fresh folder, then extracted by the worker) against writing
// the same bytes with plain CreateFileA/WriteFile/SetFileTime into a fresh
// folder of the same kind, in the same run.
//   install_bench SETUP.EXE [ROUNDS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "instutils/DateTime.h"
#include "instutils/InstUtils.h"
#include "instutils/Logs.h"
#include "instutils/ShellFolders.h"
#include "payload/AttachFiles.h"
#include "payload/InstallRun.h"

using bench::Median;
using bench::Seconds;
using bench::WindowsPath;

namespace {

// Every planned file is writable here: a question would make the measure void.
struct NoQuestions final : TQuestionAsker {
  TFileAnswer CannotWrite(const std::string&) override { return faAbort; }
  void RunFailed(const std::string&) override {}
};

std::string FreshFolder(int round, const char* kind) {
  const std::string f = instutils::TempFolder() + "vlmbench-" + std::to_string(GetCurrentProcessId()) + "-" +
                        std::to_string(round) + kind + "\\";
  instutils::DeleteTree(f);
  CreateDirectoryA(f.c_str(), nullptr);
  return f;
}

// The plan as the wizard builds it (always replace), then the worker's run.
// Returns the planning time through plan and the run's end through state;
// false when the run did not finish.
bool InstallRun(TAttachedFiles& cat, const std::vector<const TAttachedFile*>& records, const std::string& folder,
                double& plan, uint8_t& state) {
  const double t0 = Seconds();
  for (uint8_t c = 0; c < kPlanCount; ++c) cat.ClearPlan(c);
  cat.UpdateList.clear();
  for (const TAttachedFile* r : records) cat.AddFiles(r->Name, folder, 0, rrAlways);
  plan = Seconds() - t0;
  NoQuestions asker;
  TInstallRun run(cat, asker);
  run.Wait();  // a question, never asked here, would hold it: the bench then hangs rather than lie
  state = run.State();
  return state == tsFinished && run.Progress() == cat.PlannedSize();
}

// The least a program can do to put the same files in place.
bool PlainWrites(const TAttachedFiles& cat, const std::vector<const TAttachedFile*>& records,
                 const std::string& folder) {
  std::set<std::string> made;
  for (const TAttachedFile* r : records) {
    const std::string target = folder + r->Name;
    for (size_t slash = target.find('\\', folder.size()); slash != std::string::npos;
         slash = target.find('\\', slash + 1)) {
      const std::string level = target.substr(0, slash);
      if (made.insert(level).second) CreateDirectoryA(level.c_str(), nullptr);
    }
    HANDLE f = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(f, cat.Data() + r->Offset, DWORD(r->Size), &written, nullptr);
    WORD dosDate, dosTime;
    FILETIME local, utc;
    if (instutils::DateTimeToDosDateTime(r->TimeStamp, dosDate, dosTime) &&
        DosDateTimeToFileTime(dosDate, dosTime, &local) && LocalFileTimeToFileTime(&local, &utc))
      SetFileTime(f, nullptr, nullptr, &utc);
    CloseHandle(f);
    if (!ok || written != DWORD(r->Size)) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: install_bench SETUP.EXE [ROUNDS]\n");
    return 2;
  }
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
  HMODULE module = LoadLibraryExA(WindowsPath(argv[1]).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC res = module ? FindResourceA(module, "FILES", "FILES") : nullptr;
  if (!res) {
    std::fprintf(stderr, "install_bench: no payload in %s\n", argv[1]);
    return 1;
  }
  const auto* stream = static_cast<const uint8_t*>(LockResource(LoadResource(module, res)));
  TAttachedFiles cat(stream, SizeofResource(module, res));
  cat.AlwaysReplace = true;
  AttachedFiles = &cat;
  instutils::BindSpecialFolderLookup();

  std::vector<const TAttachedFile*> records;
  int64_t bytes = 0;
  for (const TAttachedFile& f : cat.Files()) {
    if (!IsSafeRecordName(f.Name)) continue;
    records.push_back(&f);
    bytes += f.Size;
  }

  // What the install pays that plain writes do not, whatever it writes: its
  // worker thread's start and end.
  std::vector<double> threads;
  for (int i = 0; i < rounds; ++i) {
    const double t0 = Seconds();
    HANDLE h = CreateThread(nullptr, 0, [](LPVOID) -> DWORD { return 0; }, nullptr, 0, nullptr);
    if (h) {
      WaitForSingleObject(h, INFINITE);
      CloseHandle(h);
    }
    threads.push_back(Seconds() - t0);
  }

  std::vector<double> install, plain, plans;
  for (int i = 0; i < rounds; ++i) {
    const std::string a = FreshFolder(i, "i"), b = FreshFolder(i, "p");
    instutils::StartInstallLog("");  // a run records into a fresh log list, as on the page
    // Alternating which goes first keeps the file system's state from favouring one.
    for (int half = 0; half < 2; ++half) {
      if ((i + half) % 2 == 0) {
        double plan = 0, t0 = Seconds();
        uint8_t state = tsIdle;
        const bool ok = InstallRun(cat, records, a, plan, state);
        install.push_back(Seconds() - t0);
        plans.push_back(plan);
        if (!ok) {
          std::fprintf(stderr, "install_bench: the install run did not finish (state %d)\n",
                       int(state));
          return 1;
        }
      } else {
        const double t0 = Seconds();
        const bool ok = PlainWrites(cat, records, b);
        plain.push_back(Seconds() - t0);
        if (!ok) {
          std::fprintf(stderr, "install_bench: plain writes failed (error %lu)\n", GetLastError());
          return 1;
        }
      }
    }
    instutils::DeleteTree(a);
    instutils::DeleteTree(b);
  }
  AttachedFiles = nullptr;
  const double in = Median(install), pl = Median(plain), pn = Median(plans);
  std::printf("payload: %lu installable records, %lld bytes\n", (unsigned long)records.size(), (long long)bytes);
  std::printf("install run (plan + worker): %s, median of %d (plan alone %.2f ms), %.1f MB/s\n",
              bench::Spread(install).c_str(), rounds, pn * 1000, bytes / 1048576.0 / in);
  std::printf("plain writes:                %s, median of %d, %.1f MB/s\n", bench::Spread(plain).c_str(), rounds,
              bytes / 1048576.0 / pl);
  std::printf("a thread's start and end:    %s, median of %d (within the install run)\n",
              bench::Spread(threads).c_str(), rounds);
  // Each round's two runs meet the same state of the disk and its caches; the
  // median of their ratios is the steadier figure where writes vary.
  const std::vector<double> paired = bench::PairedRatios(install, plain);
  std::printf("install / plain: %.2f (ratio of the medians); %.2f (median of the rounds' ratios, min %.2f, max %.2f)\n",
              in / pl, Median(paired), *std::min_element(paired.begin(), paired.end()),
              *std::max_element(paired.begin(), paired.end()));
  FreeLibrary(module);
  return 0;
}
