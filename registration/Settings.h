// The choices the setup remembers between runs, under HKEY_CURRENT_USER, the
// last-run version the installed product leaves beside them, and the uninstall
// entry under HKEY_LOCAL_MACHINE.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "contract/ProductInterface.h"
#include "resources/Version.h"

constexpr int32_t kAbsentNumber = product::kLastRunVerAbsent;

inline constexpr char kInstallKey[] = PRODUCT_KEY "\\Install";
// Opened while the Install key is open; the leading "\" puts it beside that key.
inline const std::string kInternalKey = std::string("\\") + product::kLastRunVerKey;

inline constexpr char kMainDirValue[] = "MAINDIR";
inline constexpr char kCompsValue[] = "COMPS (1.6.6.2)";
inline constexpr char kInstallToAllValue[] = "INSTALLTOALL";
inline constexpr char kExtensionsValue[] = "EXTENSIONS";
inline constexpr char kLaunchValue[] = "LAUNCH";
using product::kLastRunVerValue;

using product::kUninstallKey;
inline constexpr char kDisplayName[] = PRODUCT_NAME;
inline constexpr char kDisplayVersion[] = VELLUMAR_VERSION_TEXT;  // the version the setup installs
inline constexpr char kPublisher[] = VELLUMAR_COMPANY;

struct TOptions {       // the wizard's record of the saved settings
  std::string MainDir;  // "" when MAINDIR is absent
  uint32_t Comps = 0x7FFFFFFF;
  std::string Extensions = "B";
};

struct TSavedSettings {
  TOptions Options;
  bool InstallToAll = true;  // INSTALLTOALL absent -> true, else value != 0
  bool Launch = true;        // LAUNCH absent -> true, else value != 0
  int32_t LastRunVer = kAbsentNumber;
};

// Reads the saved settings, creating both keys under HKEY_CURRENT_USER when
// missing. A value of the wrong type or size counts as absent, and so does a
// MAINDIR of MAX_PATH characters or more (no folder has such a name).
TSavedSettings ReadSettings();

// A file of the install plan that goes to the shared data folder, as the
// payload holds it.
struct TSharedFile {
  std::string Path;
  int32_t Size = 0;
  double TimeStamp = 0;  // TDateTime, local
};

struct TSettingsToSave {
  TOptions Options;  // as the wizard holds it when it closes; Comps as read at start
  // The component list's check states in row order: 0 unchecked, 1 checked,
  // 2 grayed.
  std::vector<uint8_t> RowStates;
  bool InstallToAll = true;  // the ready page's box
  bool Launch = true;        // the finish page's box
  std::vector<TSharedFile> SharedFiles;  // planned into the shared data folder
};

// Run once after the wizard has closed, when the installing page was entered,
// however the run ended, and before Install.log is saved. Writes the five
// values under HKEY_CURRENT_USER; Comps is rebuilt from the first six rows
// (bit n set for a checked row n, cleared otherwise, so the grayed program row
// clears bit 0; bits 6 to 31 keep their value). Unless the destination is on
// a portable drive, also writes the uninstall entry under HKEY_LOCAL_MACHINE:
// DisplayIcon, DisplayName, DisplayVersion, EstimatedSize (FolderSizeKB of the
// destination; left as it was when that cannot be measured), Publisher,
// UninstallString, InstallLocation. Before that it counts this install as a
// user of the shared data (and the copy the entry named until now, which may
// predate the counts), and records each shared file that lies on disk as the
// payload holds it, so that the last uninstall knows what it may remove.
// Registry failures are silent.
void SaveSettings(const TSettingsToSave& s);
