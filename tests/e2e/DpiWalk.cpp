// The real setup on a display of another DPI, run in a Wine prefix whose
// DPI is set (the test's script makes it): the client area must be the 96-DPI
// one scaled, and every page must come, with its controls inside the window,
// through to Finish.
//   dpi_walk.exe <setup_gated.exe> <client width> <client height>
// The gated setup holds its run after one file, so that the installing page
// is certainly seen.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/ProcessDriver.h"
#include "wizard/WizardLayout.h"

using namespace e2e;
using namespace wizard;

namespace {

const TWidgetId kSheets[kPageCount] = {widWelcomeTabSheet, widLicenseTabSheet, widDestDirTabSheet,
                                       widSelCompTabSheet, widStartTabSheet,   widInstallingTabSheet,
                                       widAssocTabSheet,   widFinishTabSheet};
int g_failures = 0;

void Check(bool ok, const std::string& what) {
  if (ok) return;
  ++g_failures;
  std::printf("FAILED: %s\n", what.c_str());
}

int Page(HWND wnd) {
  for (int page = 0; page < kPageCount; ++page)
    if (IsWindowVisible(FindControl(wnd, kSheets[page])) && ControlText(FindControl(wnd, widTopLbl)) == PageTitles[page])
      return page;
  return -1;
}

// The client size (within one pixel per rounding), and every shown control
// of the table inside the client area: the page container reaches beyond
// it, under the panels, and the etched lines are drawn where they lie.
void CheckLayout(HWND wnd, int page, int width, int height) {
  RECT client = {};
  GetClientRect(wnd, &client);
  std::printf("page %d: client %ld x %ld\n", page, client.right, client.bottom);
  Check(std::abs(client.right - width) <= 1 && std::abs(client.bottom - height) <= 1,
        "page " + std::to_string(page) + ": client area " + std::to_string(client.right) + " x " +
            std::to_string(client.bottom) + ", not " + std::to_string(width) + " x " + std::to_string(height));
  for (int i = 0; i < kWidgetCount; ++i) {
    const TWidgetDef& def = kWidgets[i];
    HWND w = FindControl(wnd, def.Id);
    const bool decor = def.Kind == wkPageControl || def.Kind == wkEtchedHorz || def.Kind == wkEtchedVert;
    if (decor || !w || !IsWindowVisible(w)) continue;
    RECT r = {};
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&r), 2);
    Check(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom,
          "page " + std::to_string(page) + ": " + def.Name + " reaches out of the window");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const int width = std::atoi(argv[2]), height = std::atoi(argv[3]);
  DeleteKeyTree(HKEY_CURRENT_USER, kSettingsKey);  // the defaults, every time
  const std::string gate = "VellumarDpiWalk" + std::to_string(GetCurrentProcessId());
  const base::UniqueHandle held(CreateEventA(nullptr, TRUE, FALSE, (gate + ".held").c_str()));
  const base::UniqueHandle go(CreateEventA(nullptr, TRUE, FALSE, (gate + ".go").c_str()));
  SetEnvironmentVariableA("VELLUMAR_GATE", gate.c_str());
  SetEnvironmentVariableA("VELLUMAR_GATE_AFTER", "Hyphenation.dat");
  ChildProcess setup(WindowsPath(argv[1]));
  HWND wnd = setup.started() ? WaitForWindowWithControl(setup.id(), kTitle, widPgCtrl, kStartTimeout) : nullptr;
  if (!wnd) {
    std::printf("FAILED: no wizard window\n");
    return 1;
  }
  for (int page = 0; page < kPageCount; ++page) {
    // The associations page follows the run by itself.
    const bool came = WaitUntil([&] { return Page(wnd) >= page; }, page == 6 ? kInstallTimeout : kStepTimeout);
    if (!came || Page(wnd) != page) {
      Check(false, "page " + std::to_string(page) + " did not come (page " + std::to_string(Page(wnd)) + ")");
      break;
    }
    if (page != 5) CheckLayout(wnd, page, width, height);
    if (page == 5) {
      Check(WaitForSingleObject(held.get(), kInstallTimeout) == WAIT_OBJECT_0, "the run was not held");
      CheckLayout(wnd, page, width, height);
      SetEvent(go.get());
      continue;
    }
    if (page == kPageCount - 1) SendMessageA(FindControl(wnd, widFinishChkBx), BM_SETCHECK, BST_UNCHECKED, 0);
    ClickButton(FindControl(wnd, widNextBtn));
  }
  DWORD code = 1234;
  Check(setup.WaitForExit(kStepTimeout, &code) && code == 0, "the setup did not end well after Finish");
  return g_failures ? 1 : 0;
}
