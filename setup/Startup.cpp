#include "Startup.h"

#include <commctrl.h>

#include <cstdlib>

#include "base/OleOnDemand.h"
#include "instutils/ShellFolders.h"

namespace setup {

namespace {
OSVERSIONINFOA g_version;

// A static import of InitCommonControlsEx would keep the setup from loading
// on Windows NT 4.0 without Internet Explorer 3, where it must still start to
// show its refusal: the older call is in every version of the DLL and loads
// it; the newer is taken from that DLL when it has it.
void InitialiseCommonControls() {
  InitCommonControls();
  using InitExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto initEx = reinterpret_cast<InitExFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("comctl32.dll"), "InitCommonControlsEx")));
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  if (initEx) initEx(&icc);
}

}  // namespace

void InitialiseProcess() {
  // OLE starts when the first shortcut or screen reader needs it (base::OleOnDemand).
  instutils::BindSpecialFolderLookup();
  InitialiseCommonControls();
  ZeroMemory(&g_version, sizeof(g_version));
  g_version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record is 148 bytes");
  GetVersionExA(&g_version);
}

void FinaliseProcess() {
  base::OleOnDemand::End();
}

const OSVERSIONINFOA& OsVersion() { return g_version; }

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> args;
  for (int i = 1; i < __argc; ++i) args.emplace_back(__argv[i] ? __argv[i] : "");
  return args;
}

bool QualifiesForSetup(const OSVERSIONINFOA& v) {
  return v.dwPlatformId == VER_PLATFORM_WIN32_NT && v.dwMajorVersion > 4;
}

}  // namespace setup
