// The install plan: which payload records go where, per component, for the
// chosen components of this run; plus the clean-up of clip-library images old
// versions left behind and the install time stamp.
#pragma once
#include <cstdint>
#include <string>

#include "components/Components.h"
#include "payload/AttachFiles.h"

namespace components {

struct TPlanInput {
  TComponentSet Components;  // component 0 always among them
  std::string MainDir;       // the destination folder
  int32_t LastRunVersion;    // product::kLastRunVerAbsent when the product never ran
};

// Replaces the catalogue's six plans with this run's: always-replace on for a
// normal install and off for a portable one; the program, licence and
// hyphenation data to the destination; spellchecker, templates, clip library
// and sound scheme to the data folders, with logging suppressed for the
// spellchecker, templates and clip library. Removes obsolete clip-library
// images when the clip library is planned for a product older than version
// 30000000. A normal install writes the returned stamp (a TDateTime, now) to
// the hidden data folder's install_stamp; a portable one writes none and
// returns 0. Requests whose folder cannot be resolved are skipped, so every
// target lies below the destination or a data folder.
double BuildInstallPlan(TAttachedFiles& catalogue, const TPlanInput& in);

}  // namespace components
