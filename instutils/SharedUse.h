// Who uses the shared data folder, and what of it the installs wrote.
//
// Every normal install shares one data folder. It may go only with the last
// copy, and then only the files the installs wrote and nobody changed since.
// The record lives under HKEY_LOCAL_MACHINE, beside the uninstall entry:
// administrators alone can write it (any user may add files to the all-users
// data folder on current Windows, and the uninstall may run elevated), and
// each value is written whole, so a run cut short never leaves it torn.
//
//   <kSharedUseKey>\Installs  one REG_DWORD 1 per install, named by its program
//                             path (value names ignore case: an install into
//                             the same folder again counts once)
//   <kSharedUseKey>\Files     one 16-byte REG_BINARY per shared file written,
//                             named by its path: the size (8 bytes) and
//                             last-write FILETIME (8 bytes) it had then
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>
#include "contract/Names.h"

namespace shareduse {

inline constexpr char kProductKey[] = PRODUCT_KEY;
inline constexpr char kSharedUseKey[] = PRODUCT_KEY "\\Shared Data";
inline constexpr char kInstallsKey[] = PRODUCT_KEY "\\Shared Data\\Installs";
inline constexpr char kFilesKey[] = PRODUCT_KEY "\\Shared Data\\Files";

struct TFileMark {
  uint64_t Size = 0;
  FILETIME LastWrite = {};
};

// The size and last-write time of a plain file; false when it is missing, a
// folder, or cannot be read.
bool MarkOf(const std::string& path, TFileMark& mark);
bool SameMark(const TFileMark& a, const TFileMark& b);

// ---- the setup's side ----

// Counts the install whose program is programPath (idempotent per path).
void AddInstall(const std::string& programPath);
// Records what a shared file looks like as just written.
void MarkFile(const std::string& path, const TFileMark& mark);

// ---- the uninstall's side ----

struct TInstalls {
  bool Readable = false;  // the record exists and every value in it was understood
  std::vector<std::string> Programs;
};
TInstalls ReadInstalls();
// Takes away the counts of the install whose program is the same file as
// programPath, however spelt; true when one was there.
bool RemoveInstall(const std::string& programPath);

struct TFileMarks {
  bool Readable = false;  // as for TInstalls
  std::map<std::string, TFileMark> Files;  // by path as recorded
};
TFileMarks ReadFileMarks();

// The whole record, once the last copy has gone, and the product's key
// under HKEY_LOCAL_MACHINE when that is left empty.
void DeleteRecord();

// ---- the uninstall entry, read by both sides ----

enum TEntryState { esAbsent, esUnreadable, esReadable };
// The program the entry's UninstallString starts. REG_EXPAND_SZ is expanded;
// any other type, an empty or unparseable command, is esUnreadable.
TEntryState ReadUninstallEntryProgram(std::string& program);

// The program a command line starts: the quoted first argument, or an
// unquoted path with a trailing " -ui" taken off.
std::string CommandProgram(const std::string& command);

}  // namespace shareduse
