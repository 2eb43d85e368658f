// Names the word processor shares with its setup; the setup finds a running
// copy by the window property, so it must never change.
#pragma once

#include "contract/ProductInterface.h"

namespace vlm {

inline constexpr const auto& kInstanceProperty = product::kRunningProperty;
constexpr const char kMainWindowClass[] = "VellumarWordProcessorMain";
constexpr const char kUntitledCaption[] = "Untitled - Vellumar Word Processor Lite";
constexpr const char kCaptionSuffix[] = " - Vellumar Word Processor Lite";

// What the setup places and registers, and the uninstall takes away again.
using product::kShortcutFile;
using product::kUninstallKey;
using product::kUninstallStringValue;

}  // namespace vlm
