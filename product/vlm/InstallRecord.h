// What an Install.log says the setup put on disk, as raw paths: the log is
// data, and every path in it is checked before use (PathGuard.h).
#pragma once
#include <string>
#include <vector>

namespace vlm {

struct TInstallRecord {
  std::vector<std::string> Files;    // "File Copy: " lines, in log order
  std::vector<std::string> Folders;  // "Made Dir: " lines, in log order
};

// Lines of other forms are skipped, and repeated lines count once; only the
// first 16 MB are read. A missing or unreadable log gives an empty record.
TInstallRecord ReadInstallRecord(const std::string& logPath);

}  // namespace vlm
