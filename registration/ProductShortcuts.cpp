#include "registration/ProductShortcuts.h"

#include <shlobj.h>

#include "instutils/InstUtils.h"
#include "instutils/Shortcuts.h"

TShortcutFolders SystemShortcutFolders() {
  TShortcutFolders f;
  f.AllUsers = {instutils::SpecialFolder(CSIDL_COMMON_PROGRAMS),
                instutils::SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY)};
  f.PerUser = {instutils::SpecialFolder(CSIDL_PROGRAMS), instutils::SpecialFolder(CSIDL_DESKTOPDIRECTORY)};
  return f;
}

void PlaceShortcuts(const TShortcutFolders& folders, bool allUsers, const std::string& program,
                    const std::string& workingFolder) {
  for (size_t pair = 0; pair < 2; ++pair) {
    std::string primary = allUsers ? folders.AllUsers[pair] : folders.PerUser[pair];
    const std::string secondary = allUsers ? folders.PerUser[pair] : folders.AllUsers[pair];
    if (primary.empty()) primary = secondary;
    if (primary.empty()) continue;
    if (!secondary.empty()) DeleteFileA(instutils::JoinPath(secondary, kShortcutFile).c_str());
    instutils::CreateShortcut(instutils::JoinPath(primary, kShortcutFile), program, workingFolder,
                              kShortcutDescription);
  }
}
