// Both programs start from folders others may write to (a download folder,
// the temporary folder): no DLL lying there may load in place of a system one.
#pragma once

namespace instutils {

// Limits DLL search to the system folder where the system allows it, and
// drops the current folder from it everywhere else.
void RestrictDllSearch();

}  // namespace instutils
