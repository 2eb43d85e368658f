// Names the word processor shares with its setup; the setup finds a running
// copy by the window property, so it must never change.
#pragma once

namespace vlm {

constexpr const char kInstanceProperty[] = "1.x Quarrytide";
constexpr const char kMainWindowClass[] = "VellumarWordProcessorMain";
constexpr const char kUntitledCaption[] = "Untitled - Vellumar Word Processor Lite";

}  // namespace vlm
