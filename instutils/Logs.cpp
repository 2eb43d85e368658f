#include "instutils/Logs.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "base/WinHandles.h"
#include "instutils/InstUtils.h"

namespace instutils {

std::unique_ptr<TLogList> LogList;
std::string LogName;
int LogSuspendCount = 0;
bool InstallStarted = false;

namespace {

constexpr DWORD kMaxTextFile = 64u * 1024 * 1024;  // far beyond any log; guards the allocation

bool IsStampLine(const std::string& line) { return !line.empty() && line[0] == '*'; }

}  // namespace

namespace {
constexpr DWORD kLogLineRules = NORM_IGNORECASE | SORT_STRINGSORT;
}

int CompareLogLines(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_USER_DEFAULT, kLogLineRules, a.data(), static_cast<int>(a.size()), b.data(),
                        static_cast<int>(b.size())) -
         CSTR_EQUAL;
}

// The line's sort key under the same rules: keys compare byte by byte as the
// lines compare, so the index asks the locale once per line, not once per
// comparison (an install adds hundreds of lines).
std::string TLogList::Key(const std::string& line) {
  if (line.empty()) return std::string();
  const auto sortKey = [&line](char* out, int size) {
    return LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | kLogLineRules, line.data(), int(line.size()), out, size);
  };
  // Nearly every line's key fits here: one call instead of asking its size first.
  char quick[512];
  const int got = sortKey(quick, sizeof quick);
  if (got > 0) return std::string(quick, size_t(got));
  const int n = sortKey(nullptr, 0);
  std::string key(n > 0 ? size_t(n) : 0, '\0');
  if (n <= 0 || sortKey(&key[0], n) != n) {
    // No key to be had: the line in capitals, after every real key (they never hold 0xFF first).
    key = "\xFF" + line;
    CharUpperBuffA(&key[1], DWORD(line.size()));
  }
  return key;
}

bool TLogList::Contains(const std::string& line) const { return index_.count(Key(line)) != 0; }

bool TLogList::AddUnique(const std::string& line) {
  if (!index_.insert(Key(line)).second) return false;
  lines_.push_back(line);
  return true;
}

void TLogList::Assign(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  index_.clear();
  for (const std::string& line : lines_) index_.insert(Key(line));
}

void TLogList::Clear() {
  lines_.clear();
  index_.clear();
}

void LogLine(const std::string& line) {
  if (LogSuspendCount != 0 || !LogList) return;
  LogList->AddUnique(line);
}

void SuspendLogging() { ++LogSuspendCount; }
void ResumeLogging() { --LogSuspendCount; }

void StartInstallLog(const std::string& installLogPath) {
  LogList = std::make_unique<TLogList>();
  LogName = installLogPath;
  if (!LogName.empty() && IsFile(LogName)) {
    std::vector<std::string> lines;
    if (ReadTextLines(LogName, lines)) LogList->Assign(std::move(lines));
  }
  InstallStarted = true;
}

bool SaveInstallLog() {
  if (!LogList || LogName.empty()) return false;
  return WriteTextLines(LogName, LogList->Lines());
}

void ResetLogs() {
  LogList.reset();
  LogName.clear();
  LogSuspendCount = 0;
  InstallStarted = false;
}

std::vector<std::string> SplitTextLines(const std::string& data) {
  std::vector<std::string> lines;
  const size_t end = std::min(data.find('\0'), data.size());
  size_t start = 0;
  for (size_t i = 0; i < end; ++i) {
    const char c = data[i];
    if (c != '\r' && c != '\n') continue;
    lines.push_back(data.substr(start, i - start));
    if (c == '\r' && i + 1 < end && data[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < end) lines.push_back(data.substr(start, end - start));
  return lines;
}

std::string JoinTextLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) {
    text += l;
    text += "\r\n";
  }
  return text;
}

bool ReadTextLines(const std::string& path, std::vector<std::string>& lines) {
  lines.clear();
  base::UniqueFile file(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD high = 0;
  DWORD size = GetFileSize(file.get(), &high);
  if ((size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || size > kMaxTextFile) return false;
  std::string data(size, '\0');
  DWORD done = 0;
  while (done < size) {
    DWORD got = 0;
    if (!ReadFile(file.get(), &data[done], size - done, &got, nullptr)) return false;
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  data.resize(done);
  lines = SplitTextLines(data);
  return true;
}

bool WriteTextLines(const std::string& path, const std::vector<std::string>& lines) {
  const std::string text = JoinTextLines(lines);
  base::UniqueFile file(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

TStamp StampOf(double dateTime) {
  static_assert(sizeof(double) == 8, "TDateTime is an 8-byte double");
  TStamp stamp;
  std::memcpy(stamp.data(), &dateTime, stamp.size());
  return stamp;
}

std::string StampLine(const TStamp& stamp) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string line = "*";
  for (uint8_t b : stamp) {
    line += kDigits[b >> 4];
    line += kDigits[b & 0x0F];
  }
  return line;
}

void SortUpdateList(std::vector<std::string>& updateList) {
  std::stable_sort(updateList.begin(), updateList.end(),
                   [](const std::string& a, const std::string& b) { return CompareLogLines(a, b) < 0; });
}

bool SortedContains(const std::vector<std::string>& sortedList, const std::string& line) {
  auto it = std::lower_bound(sortedList.begin(), sortedList.end(), line,
                             [](const std::string& a, const std::string& b) { return CompareLogLines(a, b) < 0; });
  return it != sortedList.end() && CompareLogLines(*it, line) == 0;
}

bool WriteUpdateLog(std::vector<std::string>& updateList, const TStamp& stamp, const std::string& folder) {
  if (updateList.empty()) return true;
  SortUpdateList(updateList);
  const std::string path = JoinPath(folder, "Update.log");

  std::vector<std::string> old;
  if (IsFile(path) && !ReadTextLines(path, old)) return false;

  // Drop empty lines and earlier records of the files this run wrote again.
  std::vector<std::string> kept;
  kept.reserve(old.size() + updateList.size() + 1);
  for (std::string& line : old)
    if (!line.empty() && !SortedContains(updateList, line)) kept.push_back(std::move(line));

  // A run of adjacent stamp lines keeps its first, oldest line; the entries
  // after the run stay under it.
  std::vector<std::string> work;
  work.reserve(kept.size() + updateList.size() + 1);
  bool previousIsStamp = false;
  for (std::string& line : kept) {
    const bool isStamp = IsStampLine(line);
    if (!(isStamp && previousIsStamp)) work.push_back(std::move(line));
    previousIsStamp = isStamp;
  }
  if (!work.empty() && IsStampLine(work.back())) work.pop_back();

  work.push_back(StampLine(stamp));
  work.insert(work.end(), updateList.begin(), updateList.end());
  return WriteTextLines(path, work);
}

}  // namespace instutils
