// Where installed files go: the destination folder, and the product's shared
// data folders below the all-users application data folder, or inside the
// destination for a portable install. Plain values in, paths out; nothing is
// cached, so every answer follows the destination as it is at the call.
#pragma once
#include <cstdint>
#include <string>

namespace components {

enum TDataFolder : uint8_t { dfRoot, dfHidden, dfPublic, dfSpellcheck };

// The destination lies on a drive that can be carried away; asked afresh on
// every call.
bool IsPortableInstall(const std::string& mainDir);

// The data folder of that kind, ending in "\", created with its missing
// parents (each recorded as "Made Dir: " unless logging is suppressed).
// Normal install: <all-users application data>\<product folder>\ with Hidden\,
// Public\ and Public\Spellcheck\; the user's documents folder stands in when
// the all-users folder cannot be looked up. Portable install, and a normal
// one where neither folder can be looked up: the destination folder, with
// Spellcheck\ below it. Empty only when mainDir is empty as well.
std::string DataFolder(TDataFolder kind, const std::string& mainDir);

// mainDir joined with name ("\" between them unless mainDir ends in one; a
// final "/" becomes "\"). name may carry trailing text such as a closing quote
// and arguments. Creates nothing.
std::string DestFile(const std::string& mainDir, const std::string& name);

// The folder below which older versions kept their clip library, ending in
// "\": <documents>\<product folder>\ for a normal install, the destination folder for
// a portable one. Empty when the documents folder cannot be looked up. Creates
// nothing.
std::string OldClipLibraryBase(const std::string& mainDir);

}  // namespace components
