// What the program was asked to do by its command line.
#pragma once
#include <string>
#include <vector>

namespace vlm {

enum TStartAction {
  saEdit,     // open the editor window
};

struct TStartRequest {
  TStartAction Action = saEdit;
  std::vector<std::string> Arguments;  // everything after the program name
};

// Splits a Windows command tail (without the program name) into arguments,
// honouring double quotes the way the C runtime does for simple cases.
std::vector<std::string> SplitCommandTail(const std::string& tail);

// Decides the action. Unknown switches are ignored so that newer setups can
// pass options an older program does not know yet.
TStartRequest ParseCommandLine(const std::string& tail);

}  // namespace vlm
