// Shell links (.lnk) through the shell's link object. COM must be initialised
// on the calling thread.
#pragma once
#include <string>

namespace instutils {

// Writes linkPath (folder included; missing folders are created and recorded
// by MakeDir) starting target in workingFolder with description as comment,
// then records "File Copy: " + linkPath. Nothing else is set on the link. When
// the link object cannot be created nothing is written or recorded.
void CreateShortcut(const std::string& linkPath, const std::string& target, const std::string& workingFolder,
                    const std::string& description);

}  // namespace instutils
