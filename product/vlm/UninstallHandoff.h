// "-ui" runs from the folder it is to remove, and a running program file
// cannot be deleted. So the asking copy hands the work to a copy of itself in
// the temporary folder and ends; that copy waits for it, removes the
// installation, and its file goes when its last handle closes.
#pragma once
#include <string>

namespace vlm {

// Asks Yes or No; on Yes starts the temporary copy. 0 when the removal was
// handed on, 1 when the user declined or the copy could not be started.
int AskAndHandOffUninstall();

// The temporary copy's part: waits for the asking process (waitHandle: an
// inherited process handle, in decimal), then removes programPath's installation.
int FinishUninstall(const std::string& waitHandle, const std::string& programPath);

}  // namespace vlm
