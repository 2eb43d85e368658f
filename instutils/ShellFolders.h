// The shell's special-folder lookup, bound once at start-up.
#pragma once
#include <string>

namespace instutils {

// Binds SHGetFolderPathA from shell32.dll, else from shfolder.dll, both loaded
// by their full system path so that a DLL planted beside the setup (a
// Downloads folder) is never picked up. The libraries are never freed.
void BindSpecialFolderLookup();

// Forgets the bound function (tests of the unbound case).
void UnbindSpecialFolderLookup();

bool SpecialFolderLookupBound();

// The folder of a CSIDL, without a trailing backslash; empty when the folder is
// not defined, does not exist, or no lookup was bound. Never creates a folder.
std::string SpecialFolder(int csidl);

}  // namespace instutils
