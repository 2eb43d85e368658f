// Hooks for situations the test system cannot produce. Not for product code.
#pragma once
#include <string>

namespace components {

// Replaces the special-folder lookup of the install locations (a machine
// without an all-users or a documents folder, scratch folders in their place);
// nullptr restores it.
using SpecialFolderFunction = std::string (*)(int csidl);
void SetSpecialFolderFunction(SpecialFolderFunction fn);

}  // namespace components
