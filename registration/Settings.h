// The choices the setup remembers between runs, under HKEY_CURRENT_USER, and
// the last-run version the installed product leaves beside them.
#pragma once
#include <cstdint>
#include <string>

#include "registration/ProductInterface.h"

constexpr int32_t kAbsentNumber = product::kLastRunVerAbsent;

inline constexpr char kInstallKey[] = "Software\\Vellumar Word Processor\\Install";
// Opened while the Install key is open; the leading "\" puts it beside that key.
inline const std::string kInternalKey = std::string("\\") + product::kLastRunVerKey;

inline constexpr char kMainDirValue[] = "MAINDIR";
inline constexpr char kCompsValue[] = "COMPS (1.6.6.2)";
inline constexpr char kInstallToAllValue[] = "INSTALLTOALL";
inline constexpr char kExtensionsValue[] = "EXTENSIONS";
inline constexpr char kLaunchValue[] = "LAUNCH";
using product::kLastRunVerValue;

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
