// The word processor's shortcuts in the Programs menu and on the desktop, for
// all users or for the current user only.
#pragma once
#include <array>
#include <string>

#include "contract/ProductInterface.h"

using product::kShortcutFile;
inline constexpr char kShortcutDescription[] =
    "Compact, fast-loading, but still powerful and efficient word processor.";

// Pair 0 the Programs menu, pair 1 the desktop; "" where a folder cannot be
// looked up.
struct TShortcutFolders {
  std::array<std::string, 2> AllUsers;  // CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_DESKTOPDIRECTORY
  std::array<std::string, 2> PerUser;   // CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY
};

// The four folders through the shell's special-folder lookup.
TShortcutFolders SystemShortcutFolders();

// For each pair: the chosen scope's folder is primary, the other secondary; a
// primary that is "" gives way to the secondary. The secondary's same-named
// shortcut, left by an install with the other choice, is deleted; then the
// shortcut to program (starting in workingFolder) is written into the primary
// and recorded in the installation log. A pair with neither folder is skipped
// rather than writing the shortcut into the current directory. COM must be
// initialised on the calling thread.
void PlaceShortcuts(const TShortcutFolders& folders, bool allUsers, const std::string& program,
                    const std::string& workingFolder);
