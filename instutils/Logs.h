// The installation log (Install.log) and the update log (Update.log).
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace instutils {

// Case-insensitive comparison of log lines and update-list entries:
// CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT),
// whole strings. <0, 0, >0.
int CompareLogLines(const std::string& a, const std::string& b);

// Lines in insertion order, each present once under CompareLogLines.
// Loading keeps whatever a file held, duplicates included.
class TLogList {
 public:
  int Count() const { return static_cast<int>(lines_.size()); }
  const std::string& operator[](int i) const { return lines_[static_cast<size_t>(i)]; }
  const std::vector<std::string>& Lines() const { return lines_; }
  bool Contains(const std::string& line) const;
  bool AddUnique(const std::string& line);  // false when already present
  void Assign(std::vector<std::string> lines);
  void Clear();

 private:
  static std::string Key(const std::string& line);  // its sort key under CompareLogLines
  std::vector<std::string> lines_;
  std::set<std::string> index_;  // the lines' keys, for a look-up that does not grow with the log
};

extern std::unique_ptr<TLogList> LogList;  // absent until StartInstallLog
extern std::string LogName;                // full path of Install.log; empty for a portable install
extern int LogSuspendCount;                // one thread at a time: the worker only while it runs
extern bool InstallStarted;                // set by StartInstallLog, never reset

// Adds line unless LogSuspendCount > 0, there is no LogList, or an equal line
// (CompareLogLines) is already there.
void LogLine(const std::string& line);
void SuspendLogging();
void ResumeLogging();

// Entering the installing page: a new empty LogList; LogName := installLogPath
// and, when a file (not a folder) of that name exists, the list takes its
// lines (read errors leave it empty). An empty path (portable install) loads
// nothing. Sets InstallStarted.
void StartInstallLog(const std::string& installLogPath);
// Shutdown: writes LogList to LogName when both exist. Errors are swallowed;
// false when nothing was written.
bool SaveInstallLog();
// Process end, and tests: frees LogList and clears LogName, the count and the flag.
void ResetLogs();

// Text files: ANSI, CR LF after every line. Reading splits at CR, LF or CR LF
// and stops at the first NUL; a final CR LF yields no empty last line.
std::vector<std::string> SplitTextLines(const std::string& data);
std::string JoinTextLines(const std::vector<std::string>& lines);
bool ReadTextLines(const std::string& path, std::vector<std::string>& lines);  // false: cannot open or read
bool WriteTextLines(const std::string& path, const std::vector<std::string>& lines);  // false: cannot create or write

// The shared-data stamp: the 8 bytes of a TDateTime in memory order.
using TStamp = std::array<uint8_t, 8>;
TStamp StampOf(double dateTime);
std::string StampLine(const TStamp& stamp);  // "*" + 16 upper-case hex digits, e.g. *0000000070A3E640

// Sorts an update list in place with CompareLogLines; SortedContains then
// finds an entry by binary search with the same comparison.
void SortUpdateList(std::vector<std::string>& updateList);
bool SortedContains(const std::vector<std::string>& sortedList, const std::string& line);

// Merges this run's update list into folder + "Update.log" (folder: the
// product's all-users data root, already created). An empty list leaves the
// file alone. updateList is sorted in place and stays sorted. Returns false
// only when an existing Update.log cannot be opened or the file cannot be
// created; the Finish step then stops silently.
bool WriteUpdateLog(std::vector<std::string>& updateList, const TStamp& stamp, const std::string& folder);

}  // namespace instutils
