#include "InstallRecord.h"

#include "instutils/Logs.h"

namespace vlm {

TInstallRecord ReadInstallRecord(const std::string& logPath) {
  static const std::string kFilePrefix = "File Copy: ", kFolderPrefix = "Made Dir: ";
  TInstallRecord record;
  std::vector<std::string> lines;
  if (!instutils::ReadTextLines(logPath, lines)) return record;
  for (const std::string& line : lines) {
    if (line.compare(0, kFilePrefix.size(), kFilePrefix) == 0)
      record.Files.push_back(line.substr(kFilePrefix.size()));
    else if (line.compare(0, kFolderPrefix.size(), kFolderPrefix) == 0)
      record.Folders.push_back(line.substr(kFolderPrefix.size()));
  }
  return record;
}

}  // namespace vlm
