#include "registration/Settings.h"

#include <windows.h>

#include "registration/Registry.h"

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
