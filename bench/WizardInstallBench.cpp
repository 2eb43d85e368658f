// Measures an install as a user starts it, through the wizards' own windows:
// the setup from Next on its ready page until its associations page shows, the
// peer installer from Install on its components page until its Next button is
// enabled again when the files are in; alternately in the same run. Every page
// before is passed with its default choices.
//   wizard_install_bench SETUP.EXE PEER.EXE [ROUNDS]
// Both are ended by force once measured; each round installs over the last.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/Names.h"
#include "bench/BenchSupport.h"
#include "tests/support/ProcessDriver.h"
#include "wizard/WizardLayout.h"

using bench::Median;
using bench::Seconds;
using e2e::ControlText;
using bench::WaitUntil;
using bench::WindowsPath;

namespace {

const DWORD kStartTimeout = 60000, kStepTimeout = 10000, kInstallTimeout = 120000;

const char kWizardTitle[] = NAME_EDITION " - Setup";
const char* const kSetupPages[] = {"License Agreement", "Choose Destination Folder", "Select Components",
                                   "Ready to Install"};
const char kSetupDone[] = "Associate With Document Types";

const char kPeerTitle[] = NAME_EDITION " Setup";
const int kPeerNext = IDOK;  // its Next, I Agree, Install and Finish are one button
const char* const kPeerPages[] = {"I &Agree", "&Next >", "&Install"};

// A descendant of `top` at any depth with this control ID, or null.
HWND Control(HWND top, int id) { return e2e::FindControl(top, id); }

// Clicks `button` and waits until `shows` holds; false after `ms`.
template <typename Shows>
bool ClickUntil(HWND button, Shows shows, DWORD ms) {
  PostMessageA(button, BM_CLICK, 0, 0);
  return WaitUntil(shows, ms);
}

// Seconds from Next on the ready page to the associations page; negative on failure.
double SetupInstall(const std::string& exe) {
  e2e::ChildProcess run(exe);
  HWND wnd = nullptr;
  if (!WaitUntil([&] { return (wnd = bench::VisibleWindow(run.id(), kWizardTitle)) != nullptr; }, kStartTimeout)) {
    std::fprintf(stderr, "wizard_install_bench: no setup window\n");
    return -1;
  }
  const HWND next = Control(wnd, wizard::widNextBtn), header = Control(wnd, wizard::widTopLbl);
  for (const char* page : kSetupPages)
    if (!ClickUntil(next, [&] { return ControlText(header) == page; }, kStepTimeout)) {
      std::fprintf(stderr, "wizard_install_bench: the setup did not reach \"%s\" (at \"%s\")\n", page,
                   ControlText(header).c_str());
      return -1;
    }
  const double t0 = Seconds();
  if (!ClickUntil(next, [&] { return ControlText(header) == kSetupDone; }, kInstallTimeout)) return -1;
  return Seconds() - t0;
}

// Seconds from Install on the components page until Next is enabled on the
// finished install page; negative on failure.
double PeerInstall(const std::string& exe) {
  e2e::ChildProcess run(exe);
  HWND wnd = nullptr;
  if (!WaitUntil([&] { return (wnd = bench::VisibleWindow(run.id(), kPeerTitle, "&Next >")) != nullptr; },
                 kStartTimeout)) {
    std::fprintf(stderr, "wizard_install_bench: no peer window\n");
    return -1;
  }
  const HWND next = GetDlgItem(wnd, kPeerNext);
  for (const char* text : kPeerPages)
    if (!ClickUntil(next, [&] { return ControlText(next) == text && IsWindowEnabled(next); }, kStepTimeout)) {
      std::fprintf(stderr, "wizard_install_bench: the peer did not show \"%s\" (shows \"%s\")\n", text,
                   ControlText(next).c_str());
      return -1;
    }
  // Done when the page's status line (in the inner page dialog) says so and
  // Next is back: neither alone tells the install page from the one before.
  auto done = [&] {
    const HWND page = FindWindowExA(wnd, nullptr, "#32770", nullptr);
    return page && FindWindowExA(page, nullptr, nullptr, "Completed") && ControlText(next) == "&Next >" &&
           IsWindowEnabled(next);
  };
  const double t0 = Seconds();
  if (!ClickUntil(next, done, kInstallTimeout)) return -1;
  return Seconds() - t0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: wizard_install_bench SETUP.EXE PEER.EXE [ROUNDS]\n");
    return 2;
  }
  const std::string setup = WindowsPath(argv[1]), peer = WindowsPath(argv[2]);
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 9;
  // One run of each first: the first install makes the folders, and neither
  // should pay for a cold cache.
  if (SetupInstall(setup) < 0 || PeerInstall(peer) < 0) {
    std::fprintf(stderr, "wizard_install_bench: a wizard did not finish its install\n");
    return 1;
  }
  std::vector<double> setupTimes, peerTimes;
  for (int i = 0; i < rounds; ++i) {
    // Alternating which goes first keeps the file system's state from favouring one.
    for (int half = 0; half < 2; ++half) {
      const bool setupNow = (i + half) % 2 == 0;
      const double t = setupNow ? SetupInstall(setup) : PeerInstall(peer);
      if (t < 0) {
        std::fprintf(stderr, "wizard_install_bench: the %s did not finish its install\n", setupNow ? "setup" : "peer");
        return 1;
      }
      (setupNow ? setupTimes : peerTimes).push_back(t);
    }
  }
  const double s = Median(setupTimes), p = Median(peerTimes);
  std::printf("install through the wizard, median of %d:\n  setup %s\n  peer  %s\n  ratio to peer %.2f\n", rounds,
              bench::Spread(setupTimes).c_str(), bench::Spread(peerTimes, "i686").c_str(), s / p);
  return 0;
}
