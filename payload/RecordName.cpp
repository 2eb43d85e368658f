#include "RecordName.h"

bool IsSafeRecordName(const std::string& name) {
  if (name.empty() || name.find(':') != std::string::npos) return false;
  size_t start = 0;
  for (;;) {
    const size_t end = name.find_first_of("\\/", start);
    const std::string level = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
    // Windows drops trailing dots and spaces, so ". ." is as bad as "..".
    if (level.find_first_not_of(". ") == std::string::npos) return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}
