// The real setup in a Wine prefix of another DPI, walked through every page
// to Finish; the client area must be the 96-DPI one scaled on each page. The
// gated setup holds its run after one file, so that page 5 is certainly seen.
//   dpi_walk.exe <setup_gated.exe> <client width> <client height>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/ProcessDriver.h"
#include "wizard/WizardLayout.h"

using namespace e2e;
using namespace wizard;

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const TWidgetId sheets[kPageCount] = {widWelcomeTabSheet, widLicenseTabSheet, widDestDirTabSheet,
                                        widSelCompTabSheet, widStartTabSheet,   widInstallingTabSheet,
                                        widAssocTabSheet,   widFinishTabSheet};
  DeleteKeyTree(HKEY_CURRENT_USER, kSettingsKey);  // the defaults, every time
  const std::string gate = "VellumarDpiWalk" + std::to_string(GetCurrentProcessId());
  const base::UniqueHandle held(CreateEventA(nullptr, TRUE, FALSE, (gate + ".held").c_str()));
  const base::UniqueHandle go(CreateEventA(nullptr, TRUE, FALSE, (gate + ".go").c_str()));
  SetEnvironmentVariableA("VELLUMAR_GATE", gate.c_str());
  SetEnvironmentVariableA("VELLUMAR_GATE_AFTER", "Hyphenation.dat");
  ChildProcess setup(WindowsPath(argv[1]));
  HWND wnd = setup.started() ? WaitForWindowWithControl(setup.id(), kTitle, widPgCtrl, kStartTimeout) : nullptr;
  int failures = 0;
  for (int page = 0; wnd && page < kPageCount; ++page) {
    HWND sheet = nullptr;  // a page's controls may be made only when it is entered
    if (!WaitUntil([&] { return IsWindowVisible(sheet = FindControl(wnd, sheets[page])) != FALSE; },
                   page == 6 ? kInstallTimeout : kStepTimeout) ||
        (page == 5 && WaitForSingleObject(held.get(), kInstallTimeout) != WAIT_OBJECT_0)) {
      std::printf("FAILED: page %d did not come\n", page);
      return 1;
    }
    RECT client = {};
    GetClientRect(wnd, &client);
    const bool right = std::abs(client.right - std::atoi(argv[2])) <= 1 && std::abs(client.bottom - std::atoi(argv[3])) <= 1;
    std::printf("%s page %d: client area %ld x %ld\n", right ? "ok" : "FAILED", page, client.right, client.bottom);
    failures += right ? 0 : 1;
    if (page == 5) {
      SetEvent(go.get());
      continue;
    }
    if (page == kPageCount - 1) SendMessageA(FindControl(wnd, widFinishChkBx), BM_SETCHECK, BST_UNCHECKED, 0);
    ClickButton(FindControl(wnd, widNextBtn));
  }
  DWORD code = 1;
  const bool ended = wnd && setup.WaitForExit(kStepTimeout, &code) && code == 0;
  if (!ended) std::printf("FAILED: no wizard, or it did not end well after Finish\n");
  return failures == 0 && ended ? 0 : 1;
}
