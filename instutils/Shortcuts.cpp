#include "instutils/Shortcuts.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <vector>

#include "base/OleOnDemand.h"
#include "base/WinHandles.h"
#include "instutils/InstUtils.h"
#include "instutils/Logs.h"

namespace instutils {

namespace {

std::wstring Widen(const std::string& s) {
  int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::vector<wchar_t> buf(static_cast<size_t>(n));
  MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, buf.data(), n);
  return std::wstring(buf.data());
}

}  // namespace

void CreateShortcut(const std::string& linkPath, const std::string& target, const std::string& workingFolder,
                    const std::string& description) {
  base::ComPtr<IShellLinkA> link;
  if (FAILED(base::OleOnDemand::CreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                                link.outVoid())) ||
      !link)
    return;
  link->SetPath(target.c_str());
  link->SetWorkingDirectory(workingFolder.c_str());
  link->SetDescription(description.c_str());
  base::ComPtr<IPersistFile> file;
  link->QueryInterface(IID_IPersistFile, file.outVoid());

  // The folder only once the link is filled in, so that its lines come first.
  size_t cut = linkPath.find_last_of("\\:");
  if (cut != std::string::npos) MakeDir(linkPath.substr(0, cut + 1));
  if (file) file->Save(Widen(linkPath).c_str(), TRUE);
  LogLine("File Copy: " + linkPath);
}

}  // namespace instutils
