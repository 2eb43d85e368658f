// "-ui" runs from the folder it is to remove, and a running program file
// cannot be deleted. So the asking copy hands the work to a copy of itself in
// a fresh private folder under the temporary folder (elsewhere when that lies
// in the folder to remove) and ends; that copy waits
// for it, removes the installation, and its file goes when its last handle
// closes.
#pragma once
#include <string>

namespace vlm {

// Asks Yes or No; on Yes starts the temporary copy. 0 when the removal was
// handed on, 1 when the user declined or the copy could not be started.
int AskAndHandOffUninstall();

// The temporary copy's part. The handles are inherited, in decimal: the
// asking process, the program file whose removal the user confirmed there,
// and the copy's own file, open to be deleted on close. Removes programPath's installation only when
// programPath is that very file and this program is a copy of it; otherwise
// removes nothing, says why and returns 1.
int FinishUninstall(const std::string& waitHandle, const std::string& confirmedHandle,
                    const std::string& ownFileHandle, const std::string& programPath);

}  // namespace vlm
