// What the setup shares with the word processor it installs: the names,
// command lines, registry value and files both sides rely on. The product is
// another program, so none of these may change on one side alone.
#pragma once
#include <cstdint>
#include <string>

#include "contract/Names.h"

namespace product {

inline constexpr char kProgramFile[] = "vlm.exe";
inline constexpr char kProductFolder[] = PRODUCT_FOLDER;  // the data folders' own folder

// The product sets this property on its top-level windows while it runs.
inline constexpr char kRunningProperty[] = "1.x Quarrytide";

// REG_DWORD the product writes under HKEY_CURRENT_USER; the setup only reads it.
inline constexpr char kLastRunVerKey[] = PRODUCT_KEY "\\Internal";
inline constexpr char kLastRunVerValue[] = "LastRunVer";
inline constexpr int32_t kLastRunVerAbsent = 2147483647;  // no product has run yet
// Last-run versions below this get the clip library whether chosen or not.
inline constexpr int32_t kClipLibraryForcedBelow = 20004000;
// Last-run versions below this may have left obsolete clip-library images.
inline constexpr int32_t kOldClipImagesBelow = 30000000;

inline constexpr char kCommonDataFile[] = "vlm_common.dat";  // in the root data folder
inline constexpr char kInstallStampFile[] = "install_stamp";  // in the hidden data folder
inline constexpr char kInstallLogFile[] = "Install.log";      // in the destination folder
inline constexpr char kUpdateLogFile[] = "Update.log";        // in the root data folder
// The user's own words: installed empty, never the setup's to take away again.
inline constexpr char kUserDictionaryFile[] = "userdicen.tlx";  // in the spellcheck data folder

// The shortcut the setup places and the uninstaller removes.
inline constexpr char kShortcutFile[] = PRODUCT_NAME ".lnk";
// The uninstall entry under HKEY_LOCAL_MACHINE; the uninstaller removes the key.
inline constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" PRODUCT_NAME;
inline constexpr char kUninstallStringValue[] = "UninstallString";

// The document types the product registers, in the order of their suffixes.
struct TDocumentType {
  char Letter;         // as saved in the association letters
  const char* Suffix;  // appended to the "-assoc vdoc" argument
};
inline constexpr int kDocumentTypeCount = 4;
inline constexpr TDocumentType kDocumentTypes[kDocumentTypeCount] = {
    {'A', "_rtf"}, {'B', "_cod"}, {'C', "_doc"}, {'D', "_docx"}};

// "-assoc vdoc" plus the suffix of every type whose letter occurs in letters,
// in type order whatever the order or repetition of the letters.
std::string AssociationArgument(const std::string& letters);
// programPath quoted, a space, the association argument.
std::string AssociationCommand(const std::string& programPath, const std::string& letters);
// programPath quoted and nothing else.
std::string LaunchCommand(const std::string& programPath);
// programPath quoted, then " -ui".
std::string UninstallCommand(const std::string& programPath);

}  // namespace product
