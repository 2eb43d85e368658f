#include "CommandLine.h"

namespace vlm {

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

TStartRequest ParseCommandLine(const std::string& tail) {
  TStartRequest request;
  request.Arguments = SplitCommandTail(tail);
  return request;
}

}  // namespace vlm
