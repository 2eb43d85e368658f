#include "InstallRecord.h"

#include <windows.h>

#include <set>

#include "base/WinHandles.h"
#include "instutils/Logs.h"

namespace vlm {

namespace {

// Far beyond what the setup writes (a line per file and folder of the
// payload, over a few install folders), and small enough to finish in seconds.
constexpr DWORD kMaxLogBytes = 16u * 1024 * 1024;

// At most kMaxLogBytes of the log; a line cut there is dropped, so that no
// shortened path is taken for another file.
bool ReadLogLines(const std::string& path, std::vector<std::string>& lines) {
  base::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::string data(kMaxLogBytes + 1, '\0');
  DWORD done = 0;
  while (done < data.size()) {
    DWORD got = 0;
    if (!ReadFile(file.get(), &data[done], static_cast<DWORD>(data.size()) - done, &got, nullptr)) return false;
    if (got == 0) break;
    done += got;
  }
  const bool cut = done > kMaxLogBytes;
  data.resize(cut ? kMaxLogBytes : done);
  if (cut) data.resize(data.find_last_of("\r\n") == std::string::npos ? 0 : data.find_last_of("\r\n") + 1);
  lines = instutils::SplitTextLines(data);
  return true;
}

}  // namespace

TInstallRecord ReadInstallRecord(const std::string& logPath) {
  static const std::string kFilePrefix = "File Copy: ", kFolderPrefix = "Made Dir: ";
  TInstallRecord record;
  std::vector<std::string> lines;
  if (!ReadLogLines(logPath, lines)) return record;
  std::set<std::string> seen;  // each line is acted on once, however often the log repeats it
  for (const std::string& line : lines) {
    if (!seen.insert(line).second) continue;
    if (line.compare(0, kFilePrefix.size(), kFilePrefix) == 0)
      record.Files.push_back(line.substr(kFilePrefix.size()));
    else if (line.compare(0, kFolderPrefix.size(), kFolderPrefix) == 0)
      record.Folders.push_back(line.substr(kFolderPrefix.size()));
  }
  return record;
}

}  // namespace vlm
