// Names the word processor shares with its setup; the setup finds a running
// copy by the window property, so it must never change.
#pragma once

namespace vlm {

constexpr const char kInstanceProperty[] = "1.x Quarrytide";
constexpr const char kMainWindowClass[] = "VellumarWordProcessorMain";
constexpr const char kUntitledCaption[] = "Untitled - Vellumar Word Processor Lite";
constexpr const char kCaptionSuffix[] = " - Vellumar Word Processor Lite";

// What the setup places and registers, and the uninstall takes away again.
constexpr const char kShortcutFile[] = "Vellumar Word Processor.lnk";
constexpr const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vellumar Word Processor";
constexpr const char kUninstallStringValue[] = "UninstallString";

}  // namespace vlm
