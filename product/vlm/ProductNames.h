// Names the word processor shares with its setup; the setup finds a running
// copy by the window property, so it must never change.
#pragma once

#include "contract/ProductInterface.h"

namespace vlm {

inline constexpr const auto& kInstanceProperty = product::kRunningProperty;
constexpr const char kMainWindowClass[] = PRODUCT_IDENT "Main";
constexpr const char kUntitledCaption[] = "Untitled - " PRODUCT_EDITION;
constexpr const char kCaptionSuffix[] = " - " PRODUCT_EDITION;

// What the setup places and registers, and the uninstall takes away again.
using product::kShortcutFile;
using product::kUninstallKey;
using product::kUninstallStringValue;

}  // namespace vlm
