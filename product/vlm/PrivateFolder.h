// The folder the uninstall's temporary copy runs from. A program started from
// a folder loads libraries from it, so nobody but the user, the system and the
// administrators may put anything there, wherever the temporary folder is.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace vlm {

// A security descriptor whose DACL grants the current user, SYSTEM and the
// Administrators alone, inherited by what is created inside, and protected:
// the parent's inheritable entries (a shared C:\Temp lets every signed-in user
// write) are not merged in when the folder is created with it.
class TPrivateAccess {
 public:
  TPrivateAccess() = default;
  ~TPrivateAccess();
  TPrivateAccess(const TPrivateAccess&) = delete;
  TPrivateAccess& operator=(const TPrivateAccess&) = delete;
  bool Build();
  SECURITY_ATTRIBUTES* Attributes();

 private:
  std::vector<BYTE> user_, acl_;
  PSID system_ = nullptr, administrators_ = nullptr;
  SECURITY_DESCRIPTOR descriptor_ = {};
  SECURITY_ATTRIBUTES attributes_ = {};
};

// A folder made now under parent (ending in a backslash), so nothing can have
// been planted in it, with TPrivateAccess. Empty when none could be made.
std::string MakePrivateFolder(const std::string& parent);

}  // namespace vlm
