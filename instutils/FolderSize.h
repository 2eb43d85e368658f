// The room an installed folder takes on its volume, for the uninstall entry.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

// Kilobytes the folder tree takes: every file below it (hidden and system ones
// included), its size rounded up to whole clusters of the folder's volume and
// divided by 1024 with the remainder dropped, summed. Sizes are taken from the
// folder listing, so a file that another program holds open counts its real
// size. A folder that is a reparse point (junction, mount point, symbolic
// link) is never entered: one pointing at an ancestor would be walked
// forever. The sum saturates at 0xFFFFFFFF (4 TiB) rather than wrap. A folder
// that cannot be listed counts 0; empty when the folder name is empty or the
// volume's cluster size cannot be measured.
std::optional<uint32_t> FolderSizeKB(const std::string& folder);

// Test seam (Wine cannot make a junction): maps the attributes the listing
// reports for an entry (its full path) to those the walk acts on; nullptr
// restores the listing's own.
using EntryAttributesFunction = DWORD (*)(const std::string& path, DWORD listed);
void SetEntryAttributesFunction(EntryAttributesFunction fn);
