#include "CommandLine.h"

#include <windows.h>

namespace vlm {

namespace {

bool IsSwitch(const std::string& arg, const char* name) { return lstrcmpiA(arg.c_str(), name) == 0; }

}  // namespace

std::vector<std::string> SplitCommandTail(const std::string& tail) {
  std::vector<std::string> args;
  std::string current;
  bool inQuotes = false, pending = false;
  for (char c : tail) {
    if (c == '"') {
      inQuotes = !inQuotes;
      pending = true;
    } else if ((c == ' ' || c == '\t') && !inQuotes) {
      if (pending) args.push_back(current);
      current.clear();
      pending = false;
    } else {
      current += c;
      pending = true;
    }
  }
  if (pending) args.push_back(current);
  return args;
}

std::string CommandProgram(const std::string& commandLine) {
  const std::vector<std::string> args = SplitCommandTail(commandLine);
  return args.empty() ? std::string() : args[0];
}

TStartRequest ParseCommandLine(const std::string& tail) {
  TStartRequest request;
  request.Arguments = SplitCommandTail(tail);
  const std::vector<std::string>& args = request.Arguments;
  if (args.empty()) return request;
  if (IsSwitch(args[0], "-assoc")) {
    request.Action = saAssociate;
    if (args.size() > 1) request.AssociationArgument = args[1];
  } else if (IsSwitch(args[0], "-ui")) {
    request.Action = saUninstall;
  } else if (IsSwitch(args[0], "-ui-finish")) {
    // Any other count of values leaves the fields empty, and the hand-over is refused.
    request.Action = saFinishUninstall;
    if (args.size() != 5) return request;
    request.WaitHandle = args[1];
    request.ConfirmedHandle = args[2];
    request.OwnFileHandle = args[3];
    request.ProgramPath = args[4];
  } else {
    for (const std::string& arg : args)
      if (!arg.empty() && arg[0] != '-') {
        request.DocumentPath = arg;
        break;
      }
  }
  return request;
}

}  // namespace vlm
