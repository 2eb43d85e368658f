// The word processor's entry: read the command line, then do what it asks.
#include <windows.h>

#include "CommandLine.h"
#include "DocumentTypes.h"
#include "EditorWindow.h"
#include "LastRunVersion.h"
#include "PathGuard.h"
#include "ProductNames.h"
#include "UninstallHandoff.h"
#include "instutils/DllSearch.h"

namespace {

std::string ProgramPath() {
  char buf[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  const std::string path = n > 0 && n < MAX_PATH ? std::string(buf, n) : std::string();
  std::string canonical;  // long names, so that the shell shows and matches the real path
  return vlm::CanonicalPath(path, canonical) ? canonical : path;
}

int RunEditor(HINSTANCE instance, int showCommand, const std::string& documentPath) {
  vlm::WriteLastRunVersion();
  vlm::TEditorWindow window(instance);
  if (!window.Create()) return 1;
  // Loaded before the window shows, so that it never appears empty first.
  const bool loaded = documentPath.empty() || window.LoadDocument(documentPath);
  window.Show(showCommand);
  if (!loaded)
    MessageBoxA(window.Handle(), ("The document \"" + documentPath + "\" cannot be opened.").c_str(),
                vlm::kUntitledCaption, MB_OK | MB_ICONERROR);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int showCommand) {
  instutils::RestrictDllSearch();  // the uninstall runs a copy of this program from the temporary folder
  const vlm::TStartRequest request = vlm::ParseCommandLine(commandTail ? commandTail : "");
  switch (request.Action) {
    case vlm::saAssociate:
      vlm::RegisterDocumentTypes(ProgramPath(), vlm::ChosenDocumentTypes(request.AssociationArgument));
      return 0;
    case vlm::saUninstall:
      return vlm::AskAndHandOffUninstall();
    case vlm::saFinishUninstall:
      return vlm::FinishUninstall(request.WaitHandle, request.ConfirmedHandle, request.OwnFileHandle,
                                request.ProgramPath);
    case vlm::saEdit:
      break;
  }
  return RunEditor(instance, showCommand, request.DocumentPath);
}
