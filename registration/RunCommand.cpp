#include "registration/RunCommand.h"

#include <atomic>

namespace {

std::atomic<WinExecFunction> g_winExec{nullptr};

}  // namespace

void SetWinExecFunction(WinExecFunction fn) { g_winExec = fn; }

void RunCommand(const std::string& commandLine) {
  WinExecFunction fn = g_winExec;
  if (!fn) fn = WinExec;
  fn(commandLine.c_str(), SW_SHOW);
}
