// Linked into the setup_gated test variant only, never into the shipped setup:
// holds the install worker after one named file until the test lets it go, so
// that a test can act while the run is certainly in progress. The test names
// the file in VELLUMAR_GATE_AFTER and two events of its own in VELLUMAR_GATE:
// "<gate>.held", set once the worker is held, and "<gate>.go", awaited.
#include <windows.h>

#include <string>

#include "base/WinHandles.h"
#include "payload/TestSeams.h"

namespace {

// A test that never lets go cannot hang the setup for good.
const DWORD kLongestHold = 60000;

std::string Environment(const char* name) {
  char value[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableA(name, value, sizeof(value));
  return n > 0 && n < sizeof(value) ? std::string(value, n) : std::string();
}

// Read once, on the thread that starts the program.
const std::string gate = Environment("VELLUMAR_GATE");
const std::string holdAfter = Environment("VELLUMAR_GATE_AFTER");

void HoldAfterNamedFile(const std::string& target) {
  if (gate.empty() || holdAfter.empty()) return;
  const size_t slash = target.find_last_of('\\');
  if (lstrcmpiA(target.substr(slash == std::string::npos ? 0 : slash + 1).c_str(), holdAfter.c_str()) != 0) return;
  const base::UniqueHandle held(OpenEventA(EVENT_MODIFY_STATE, FALSE, (gate + ".held").c_str()));
  const base::UniqueHandle go(OpenEventA(SYNCHRONIZE, FALSE, (gate + ".go").c_str()));
  if (held) SetEvent(held.get());
  if (go) WaitForSingleObject(go.get(), kLongestHold);
}

struct GateInstaller {
  GateInstaller() { SetFileDoneFunction(HoldAfterNamedFile); }
} installer;

}  // namespace
