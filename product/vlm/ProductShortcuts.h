// The shortcuts the setup places in the Programs menu and on the desktop, for
// the current user or for all users.
#pragma once
#include <string>

namespace vlm {

// Deletes the product's shortcut in each of the four folders when it starts
// programPath; a same-named shortcut to anything else stays. Initialises COM
// on the calling thread for the time of the call.
void RemoveProductShortcuts(const std::string& programPath);

}  // namespace vlm
