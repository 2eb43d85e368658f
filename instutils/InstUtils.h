// Path, folder, file, size, drive and time helpers of the setup.
// ANSI strings and the A variants of Win32 throughout. Nothing here raises or
// shows a message: failures show only in the result.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "instutils/DateTime.h"
#include "instutils/ShellFolders.h"

namespace instutils {

// Strings and paths.
void AddBackslash(std::string& path);  // "" stays ""; a final "/" or "\" becomes "\"; else "\" appended
void DeleteFirstChar(std::string& s);
void DeleteLastChar(std::string& s);
char LastChar(const std::string& s);  // s non-empty
std::string JoinPath(const std::string& folder, const std::string& name);
bool SamePath(const std::string& a, const std::string& b);  // CharUpperBuffA on both, then exact
// Whether two spellings name the same folder as Windows reads them: "/" as
// "\", "." and ".." resolved, trailing dots and spaces dropped, one trailing
// backslash ignored; then SamePath.
bool SameFolder(const std::string& a, const std::string& b);
// The long form of an existing path (short 8.3 names spelt out); the path
// itself where it does not exist or cannot be read.
std::string LongPathName(const std::string& path);
std::string EscapeAmpersands(const std::string& text);
// Every CR, LF or CR LF as CR LF: the line break static and edit controls need.
std::string WithCrLf(const std::string& text);
std::string GroupThousands(int32_t n);  // "1 234 567"

// Current directory. Push and pop hold one process-wide lock from the push to
// the matching pop on the same thread, so that FolderExists, ClusterSize and
// MakeDir on the worker and the wizard thread never restore each other's
// directory. Every push must be paired with a pop on the same thread.
std::string CurrentFolder();  // with trailing backslash
void PushCurrentFolder();
void PopCurrentFolder();
bool FolderExists(const std::string& path);
bool IsFile(const std::string& path);  // exists and is no folder  // enterable and reported back under the same name

// Temporary files.
std::string TempFolder();    // with trailing backslash
std::string TempPrefix();    // "~" and the letters of the setup's title
std::string TempFileName();  // first free TempFolder + prefix + n + ".tmp"; not created
void CleanTempFolder();      // removes every entry of TempFolder whose name starts with the prefix

// Sizes.
uint32_t FileSizeOf(const std::string& path);  // INVALID_FILE_SIZE when it cannot be opened
// Bytes per cluster of the volume the folder lies on; for a folder that cannot
// be entered, of its nearest enterable ancestor, else of the current
// directory. 0 when the volume cannot be measured.
uint32_t ClusterSize(const std::string& folder);
// size rounded up to whole clusters of the folder's volume (4096-byte clusters
// when the volume cannot be measured).
int32_t SizeOnDisk(const std::string& folder, int32_t size);
std::string FormatSize(int64_t bytes);  // "1 023 KB", "16 MB"

// File times as TDateTime (local, two-second resolution); the current local
// time when the file is not found.
double FileTimeOf(const std::string& path, bool lastWrite);
double LastWriteTimeOf(const std::string& path);

// "C:" for a drive-letter path, "\\server\share" for a UNC path, else empty.
std::string DrivePart(const std::string& path);

// GetDriveTypeA of the path's drive (C:\ or \\server\share\); empty drive part
// passes an empty root.
UINT DriveTypeOf(const std::string& path);

// Creating, writing and deleting.
// Creates path and its missing parents, outermost first, recording each as
// "Made Dir: " + the path as passed (also when the creation failed).
void MakeDir(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& data);  // folder must exist
void DeleteTree(const std::string& folder);  // failures skipped

}  // namespace instutils
