#include "registration/Settings.h"

#include <windows.h>

#include <optional>

#include "instutils/InstUtils.h"
#include "instutils/FolderSize.h"
#include "instutils/Probes.h"
#include "registration/Registry.h"
#include "instutils/SharedUse.h"

namespace {

constexpr size_t kComponentRows = 6;  // the rows of the component list; higher bits are not ours

uint32_t UpdatedComps(uint32_t comps, const std::vector<uint8_t>& rows) {
  for (size_t n = 0; n < rows.size() && n < kComponentRows; ++n) {
    if (rows[n] == 1)
      comps |= 1u << n;
    else
      comps &= ~(1u << n);
  }
  return comps;
}

// Before the entry is overwritten: it may name a copy installed before the
// counts were kept, which uses the shared data as much as this one.
void CountSharedUse(const std::string& program, const std::vector<TSharedFile>& files) {
  std::string previous;
  if (shareduse::ReadUninstallEntryProgram(previous) == shareduse::esReadable &&
      !instutils::SamePath(instutils::LongPathName(previous), instutils::LongPathName(program)) &&
      GetFileAttributesA(previous.c_str()) != INVALID_FILE_ATTRIBUTES)
    shareduse::AddInstall(previous);
  shareduse::AddInstall(program);
  // Only what this run left as the payload holds it: a file skipped after a
  // failed write may be the user's.
  for (const TSharedFile& file : files) {
    shareduse::TFileMark mark;
    const size_t cut = file.Path.find_last_of('\\');
    if (lstrcmpiA(file.Path.c_str() + (cut == std::string::npos ? 0 : cut + 1), product::kUserDictionaryFile) == 0)
      continue;
    if (shareduse::MarkOf(file.Path, mark) && mark.Size == uint64_t(uint32_t(file.Size)) &&
        instutils::SameDosTime(instutils::LastWriteTimeOf(file.Path), file.TimeStamp))
      shareduse::MarkFile(file.Path, mark);
  }
}

}  // namespace

TSavedSettings ReadSettings() {
  TSavedSettings s;
  TRegistryAccess reg;
  reg.OpenKey(kInstallKey);
  if (auto dir = reg.ReadString(kMainDirValue); dir && dir->size() < MAX_PATH) s.Options.MainDir = *dir;
  if (auto comps = reg.ReadInteger(kCompsValue)) s.Options.Comps = static_cast<uint32_t>(*comps);
  if (auto all = reg.ReadBool(kInstallToAllValue)) s.InstallToAll = *all;
  if (auto ext = reg.ReadString(kExtensionsValue)) s.Options.Extensions = *ext;
  if (auto launch = reg.ReadBool(kLaunchValue)) s.Launch = *launch;
  reg.OpenKey(kInternalKey);
  if (auto ver = reg.ReadInteger(kLastRunVerValue)) s.LastRunVer = *ver;
  return s;
}

void SaveSettings(const TSettingsToSave& s) {
  TRegistryAccess reg;
  reg.OpenKey(kInstallKey);
  reg.WriteString(kMainDirValue, s.Options.MainDir);
  reg.WriteInteger(kCompsValue, static_cast<int32_t>(UpdatedComps(s.Options.Comps, s.RowStates)));
  reg.WriteBool(kInstallToAllValue, s.InstallToAll);
  reg.WriteString(kExtensionsValue, s.Options.Extensions);
  reg.WriteBool(kLaunchValue, s.Launch);
  if (IsPortableDrive(s.Options.MainDir)) return;

  // Where the values go does not follow the install-for-anyone choice.
  const std::string program = instutils::JoinPath(s.Options.MainDir, product::kProgramFile);
  CountSharedUse(program, s.SharedFiles);
  reg.SetRoot(HKEY_LOCAL_MACHINE);
  reg.OpenKey(kUninstallKey);
  reg.WriteString("DisplayIcon", program);
  reg.WriteString("DisplayName", kDisplayName);
  reg.WriteString("DisplayVersion", kDisplayVersion);
  if (std::optional<uint32_t> kb = FolderSizeKB(s.Options.MainDir))
    reg.WriteInteger("EstimatedSize", static_cast<int32_t>(*kb));
  reg.WriteString("Publisher", kPublisher);
  reg.WriteString("UninstallString", product::UninstallCommand(program));
  reg.WriteString("InstallLocation", s.Options.MainDir);
}
