// What the program was asked to do by its command line.
#pragma once
#include <string>
#include <vector>

namespace vlm {

enum TStartAction {
  saEdit,            // open the editor window, with a document when one is named
  saAssociate,       // "-assoc vdoc_...": register document types, no window
  saUninstall,       // "-ui": ask, then hand the removal to a copy outside the folder
  saFinishUninstall  // "-ui-finish <process> <file> <own file> <program>": that copy's part (these four exactly)
};

struct TStartRequest {
  TStartAction Action = saEdit;
  std::vector<std::string> Arguments;  // everything after the program name
  std::string DocumentPath;            // saEdit: the first argument that is not a switch
  std::string AssociationArgument;     // saAssociate: the argument after "-assoc", may be empty
  std::string WaitHandle;              // saFinishUninstall: inherited handle of the asking process
  std::string ConfirmedHandle;         // saFinishUninstall: inherited handle of the program confirmed
  std::string OwnFileHandle;           // saFinishUninstall: inherited handle that deletes that copy's file
  std::string ProgramPath;             // saFinishUninstall: the installed program to remove
};

// Splits a Windows command tail (without the program name) into arguments,
// honouring double quotes the way the C runtime does for simple cases.
std::vector<std::string> SplitCommandTail(const std::string& tail);

// The program a registered command line starts: its first argument.
std::string CommandProgram(const std::string& commandLine);

// Decides the action from the first argument. Unknown switches are ignored so
// that newer setups can pass options an older program does not know yet.
TStartRequest ParseCommandLine(const std::string& tail);

}  // namespace vlm
