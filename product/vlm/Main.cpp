// The word processor's entry: read the command line, then do what it asks.
#include <windows.h>

#include "CommandLine.h"
#include "EditorWindow.h"

namespace {

int RunEditor(HINSTANCE instance, int showCommand) {
  vlm::TEditorWindow window(instance);
  if (!window.Create(showCommand)) return 1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int showCommand) {
  const vlm::TStartRequest request = vlm::ParseCommandLine(commandTail ? commandTail : "");
  switch (request.Action) {
    case vlm::saEdit:
      break;
  }
  return RunEditor(instance, showCommand);
}
