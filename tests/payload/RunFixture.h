// The install run on its worker, with the test's thread in the wizard's part:
// a test catalogue planned into a scratch folder, and a WriteFile seam that
// counts, holds, fails or throws.
#pragma once
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cmath>
#include <new>

#include "base/WinHandles.h"
#include "instutils/InstUtils.h"
#include "instutils/Logs.h"
#include "payload/AttachFiles.h"
#include "payload/InstallRun.h"
#include "payload/TestSeams.h"
#include "tests/payload/CatalogueFixture.h"
#include "tests/payload/TestCatalogue.h"

namespace testing_payload {

template <typename Done>
bool WaitUntil(Done done, DWORD timeoutMs = 15000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(1);
  }
  return true;
}

// Every extraction's write passes here: counted, held while its number is
// past `allowed` (the file in hand stays in hand), failed at `failAt` (a
// full disk) or made to throw at `throwAt`. `held` marks a pause the test
// holds; a write begun under it is counted.
inline std::atomic<int> entered{0}, allowed{INT_MAX}, failAt{0}, throwAt{0}, enteredWhilePaused{0};
inline std::atomic<bool> held{false};

inline BOOL WINAPI CountedWrite(HANDLE f, LPCVOID data, DWORD n, LPDWORD written, LPOVERLAPPED o) {
  const int call = ++entered;
  if (held.load()) ++enteredWhilePaused;
  if (call == throwAt) throw std::bad_alloc();
  WaitUntil([&] { return call <= allowed.load(); });
  if (call == failAt) return FALSE;
  return WriteFile(f, data, n, written, o);
}

// Holds a file open without sharing, like another program would.
inline base::UniqueFile Lock(const std::string& path) {
  return base::UniqueFile(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
}

// The wizard's timer until the run ends: each question is asked through the
// run's asker (scripted) and handed back.
inline uint8_t PlayWizard(TInstallRun& run) {
  const bool ended = WaitUntil([&] {
    run.Poll();
    return run.Ended();
  });
  EXPECT_TRUE(ended) << "the run hangs";
  if (!ended) run.Stop();
  run.Wait();
  return run.State();
}

inline void ExpectInstalled(const TFileToInstall& f) {
  EXPECT_EQ(ReadFileBytes(f.Target), RecordNamed(f.Source->Name).data) << f.Target;
  EXPECT_LT(std::fabs(instutils::LastWriteTimeOf(f.Target) - f.Source->TimeStamp), 2.5 / 86400) << f.Target;
}

class RunTest : public CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    entered = 0, allowed = INT_MAX, failAt = 0, throwAt = 0, enteredWhilePaused = 0, held = false;
    SetWriteFileFunction(CountedWrite);
  }

  void Plan(const std::string& name, uint8_t component, bool logged = true) {
    if (!logged) instutils::SuspendLogging();
    EXPECT_TRUE(cat->AddFiles(name, dir.path(), component, rrAlways)) << name;
    if (!logged) instutils::ResumeLogging();
  }
  // Lists 0, 1 and 3 (23 files); 2, 4 and 5 stay empty.
  std::vector<TFileToInstall> PlanFullRun() {
    Plan("vlm.exe", 0), Plan("License.txt", 0);
    Plan("English (American).cache", 1), Plan("userdicen.tlx", 1);
    Plan("Templates\\", 3);
    return Planned();
  }
  // Three files; the second, already on disk, is the one to lock.
  std::vector<TFileToInstall> PlanAroundALockedFile(bool logged) {
    Plan("vlm.exe", 0), Plan("Basic.asn", 0, logged), Plan("License.txt", 0);
    EXPECT_TRUE(WriteFileBytes(dir / "Basic.asn", "old"));
    return Planned();
  }
  std::vector<TFileToInstall> Planned() const {
    std::vector<TFileToInstall> all;
    for (const TFileToInstallList& plan : cat->Plans) all.insert(all.end(), plan.begin(), plan.end());
    return all;
  }
  static int32_t SizeOfFirst(const std::vector<TFileToInstall>& files, size_t n) {
    int32_t sum = 0;
    for (size_t i = 0; i < n; ++i) sum += files[i].Source->Size;
    return sum;
  }

  ScratchFolder dir;
  ScriptedAsker wizard;
};

}  // namespace testing_payload
