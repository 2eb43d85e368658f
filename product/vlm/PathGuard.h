// Paths read from data that others may have written (Install.log, registry
// commands) are taken strictly, and the uninstall deletes only inside the
// places it owns: it may run elevated over a log any user of the folder could
// have edited.
#pragma once
#include <map>
#include <string>
#include <vector>

namespace vlm {

// An absolute "X:\..." or "\\server\share\..." path with "." and ".."
// resolved, separators made single backslashes and no trailing backslash (a
// drive root keeps its own). False for relative and drive-relative paths,
// device and namespace paths (\\?\, \\.\, \??\), stream names, wildcards,
// reserved device names, names Windows would silently trim (trailing dot or
// space), ".." above the root, and anything Windows itself would read
// differently.
bool NormalisePath(const std::string& path, std::string& normal);

// NormalisePath, then the long form of every name when the path exists, so
// that a short name cannot hide a path from the containment test.
bool CanonicalPath(const std::string& path, std::string& canonical);

// Both paths canonicalise and are equal ignoring letter case.
bool SamePathName(const std::string& a, const std::string& b);

// Two canonical paths name the same file.
bool SameCanonical(const std::string& a, const std::string& b);

// normal lies in root or is root itself; both canonical.
bool IsWithin(const std::string& normal, const std::string& root);

// The folders an uninstall may delete in. A path is granted when it lies in
// one of them and neither that root nor any folder or name below it on the
// way to the path is a reparse point (a junction would lead elsewhere).
// A log lists many files per folder: each folder is checked and listed once,
// so a path's existence and attributes are those of that listing.
class TPlaces {
 public:
  void Add(const std::string& root);  // ignored when it does not canonicalise
  // The canonical path when granted, else empty. attributes: the path's, or
  // INVALID_FILE_ATTRIBUTES when it does not exist.
  std::string Grant(const std::string& path, unsigned long* attributes = nullptr);
  const std::vector<std::string>& Roots() const { return roots_; }

 private:
  struct TEntry {
    std::string LongName;
    unsigned long Attributes;
  };
  struct TFolder {
    std::string Granted;                   // empty when not granted
    std::map<std::string, TEntry> Entries;  // upper-case long and short names
  };
  const TFolder& Folder(const std::string& normal);
  std::string GrantWalk(const std::string& path) const;
  std::vector<std::string> roots_;
  std::map<std::string, TFolder> folders_;  // by upper-case normal path
};

}  // namespace vlm
