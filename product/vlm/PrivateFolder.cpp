#include "PrivateFolder.h"

#include "base/WinHandles.h"

namespace vlm {

TPrivateAccess::~TPrivateAccess() {
  if (system_) FreeSid(system_);
  if (administrators_) FreeSid(administrators_);
}

bool TPrivateAccess::Build() {
  base::UniqueHandle token;
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  token.reset(raw);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return false;
  user_.resize(size);
  if (!GetTokenInformation(token.get(), TokenUser, user_.data(), size, &size)) return false;
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  if (!AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &system_) ||
      !AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                &administrators_))
    return false;
  const PSID sids[] = {reinterpret_cast<TOKEN_USER*>(user_.data())->User.Sid, system_, administrators_};
  size_t aclSize = sizeof(ACL);
  for (PSID sid : sids) aclSize += sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(sid);
  acl_.resize(aclSize);
  auto* acl = reinterpret_cast<ACL*>(acl_.data());
  if (!InitializeAcl(acl, static_cast<DWORD>(acl_.size()), ACL_REVISION)) return false;
  // Specific rights, not GENERIC_ALL: stored as given, with no inherit-only split.
  for (PSID sid : sids)
    if (!AddAccessAllowedAceEx(acl, ACL_REVISION, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE, FILE_ALL_ACCESS, sid))
      return false;
  return InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
         SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE) &&
         SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
}

SECURITY_ATTRIBUTES* TPrivateAccess::Attributes() {
  attributes_ = {sizeof attributes_, &descriptor_, FALSE};
  return &attributes_;
}

std::string MakePrivateFolder(const std::string& parent) {
  TPrivateAccess access;
  if (!access.Build()) return std::string();
  const DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (DWORD attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    wsprintfA(name, "vlu%08lX", static_cast<unsigned long>(seed + attempt * 7919));
    const std::string folder = parent + name;
    if (CreateDirectoryA(folder.c_str(), access.Attributes())) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
  }
  return std::string();
}

}  // namespace vlm
