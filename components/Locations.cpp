#include "components/Locations.h"

#include <shlobj.h>

#include <atomic>

#include "components/TestSeams.h"
#include "instutils/InstUtils.h"
#include "instutils/Probes.h"
#include "contract/ProductInterface.h"

namespace components {

namespace {

std::atomic<SpecialFolderFunction> g_specialFolder{nullptr};

std::string LookUp(int csidl) {
  SpecialFolderFunction fn = g_specialFolder;
  return fn ? fn(csidl) : instutils::SpecialFolder(csidl);
}

// The destination with Spellcheck\ below it, everything else in it.
std::string InsideDestination(TDataFolder kind, const std::string& mainDir) {
  std::string folder = mainDir;
  instutils::AddBackslash(folder);
  if (kind == dfSpellcheck && !folder.empty()) folder += "Spellcheck\\";
  return folder;
}

// <all-users application data>, else <documents>; empty when neither can be
// looked up.
std::string SharedBase() {
  const std::string base = LookUp(CSIDL_COMMON_APPDATA);
  return base.empty() ? LookUp(CSIDL_PERSONAL) : base;
}

std::string Resolve(TDataFolder kind, const std::string& mainDir) {
  // Without either shell folder, a relative <product folder>\ would land wherever the
  // current directory is; the destination is the one folder the user chose.
  if (IsPortableInstall(mainDir) || SharedBase().empty()) return InsideDestination(kind, mainDir);
  switch (kind) {
    case dfRoot:
      return instutils::JoinPath(SharedBase(), product::kProductFolder);
    case dfHidden:
      return DataFolder(dfRoot, mainDir) + "Hidden";
    case dfPublic:
      return DataFolder(dfRoot, mainDir) + "Public";
    case dfSpellcheck:
      return DataFolder(dfPublic, mainDir) + "Spellcheck\\";
  }
  return std::string();
}

}  // namespace

void SetSpecialFolderFunction(SpecialFolderFunction fn) { g_specialFolder = fn; }

bool IsPortableInstall(const std::string& mainDir) { return IsPortableDrive(mainDir); }

std::string DataFolder(TDataFolder kind, const std::string& mainDir) {
  std::string folder = Resolve(kind, mainDir);
  if (!folder.empty()) {
    instutils::AddBackslash(folder);
    instutils::MakeDir(folder);
  }
  return folder;
}

std::string DestFile(const std::string& mainDir, const std::string& name) {
  return instutils::JoinPath(mainDir, name);
}

std::string OldClipLibraryBase(const std::string& mainDir) {
  std::string base;
  if (IsPortableInstall(mainDir)) {
    base = mainDir;
  } else {
    const std::string documents = LookUp(CSIDL_PERSONAL);
    if (!documents.empty()) base = instutils::JoinPath(documents, product::kProductFolder);
  }
  instutils::AddBackslash(base);
  return base;
}

}  // namespace components
