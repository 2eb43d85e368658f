#include "PathGuard.h"

#include <windows.h>

namespace vlm {

namespace {

std::string Upper(std::string s) {
  if (!s.empty()) CharUpperBuffA(&s[0], static_cast<DWORD>(s.size()));
  return s;
}

bool IsReservedDeviceName(const std::string& name) {
  // Windows maps these to devices in any folder and with any extension.
  std::string base = Upper(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  for (const char* device : kDevices)
    if (base == device) return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) && base[3] >= '0' &&
         base[3] <= '9';
}

bool IsAcceptableName(const std::string& name) {
  if (name.find(':') != std::string::npos) return false;  // a stream of another file
  if (name.back() == '.' || name.back() == ' ') return false;
  return !IsReservedDeviceName(name);
}

// Splits at backslashes that are not the second byte of a double-byte character.
std::vector<std::string> SplitNames(const std::string& rest) {
  std::vector<std::string> names(1);
  for (size_t i = 0; i < rest.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(rest[i])) && i + 1 < rest.size()) {
      names.back() += rest.substr(i, 2);
      ++i;
    } else if (rest[i] == '\\') {
      names.emplace_back();
    } else {
      names.back() += rest[i];
    }
  }
  return names;
}

// The last backslash that is not the second byte of a double-byte character.
size_t LastSeparator(const std::string& path) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size())
      ++i;
    else if (path[i] == '\\')
      last = i;
  }
  return last;
}

std::string FullPathName(const std::string& path) {
  char buf[MAX_PATH + 1];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

bool IsReparsePoint(const std::string& path, bool& exists) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  exists = attributes != INVALID_FILE_ATTRIBUTES;
  return exists && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

bool NormalisePath(const std::string& path, std::string& normal) {
  std::string p = path;
  for (char& c : p) {
    if (static_cast<unsigned char>(c) < 32) return false;
    if (c == '/') c = '\\';
  }
  if (p.find_first_of("\"<>|*?") != std::string::npos) return false;

  std::string root, rest;
  if (p.size() >= 3 && p[1] == ':' && p[2] == '\\' && IsCharAlphaA(p[0]) && static_cast<unsigned char>(p[0]) < 128) {
    root = Upper(p.substr(0, 2));
    rest = p.substr(3);
  } else if (p.compare(0, 2, "\\\\") == 0) {
    std::vector<std::string> names = SplitNames(p.substr(2));
    if (names.size() < 2 || names[0].empty() || names[1].empty() || names[0] == "." || names[0] == "?" ||
        !IsAcceptableName(names[0]) || !IsAcceptableName(names[1]) || names[1] == "." || names[1] == "..")
      return false;
    root = "\\\\" + names[0] + "\\" + names[1];
    rest = p.substr(root.size() < p.size() ? root.size() + 1 : p.size());
  } else {
    return false;  // relative, drive-relative, "\??\" and the like
  }

  std::vector<std::string> kept;
  for (const std::string& name : SplitNames(rest)) {
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (kept.empty()) return false;
      kept.pop_back();
      continue;
    }
    if (!IsAcceptableName(name)) return false;
    kept.push_back(name);
  }
  std::string result = root;
  for (const std::string& name : kept) result += "\\" + name;
  if (kept.empty() && root.size() == 2) result += "\\";

  // Whatever Windows would resolve differently (length limits included) is not ours to guess.
  if (FullPathName(result) != result) return false;
  normal = result;
  return true;
}

bool CanonicalPath(const std::string& path, std::string& canonical) {
  std::string normal;
  if (!NormalisePath(path, normal)) return false;
  char buf[MAX_PATH + 1];
  DWORD n = GetLongPathNameA(normal.c_str(), buf, sizeof buf);
  std::string longName;
  if (n > 0 && n < sizeof buf && NormalisePath(std::string(buf, n), longName)) normal = longName;
  canonical = normal;
  return true;
}

bool SamePathName(const std::string& a, const std::string& b) {
  std::string ca, cb;
  return CanonicalPath(a, ca) && CanonicalPath(b, cb) && Upper(ca) == Upper(cb);
}

bool SameCanonical(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

bool IsWithin(const std::string& normal, const std::string& root) {
  const std::string n = Upper(normal), r = Upper(root);
  if (n.compare(0, r.size(), r) != 0) return false;
  if (n.size() == r.size()) return true;
  return r.back() == '\\' || n[r.size()] == '\\';
}

void TPlaces::Add(const std::string& root) {
  std::string canonical;
  if (CanonicalPath(root, canonical)) roots_.push_back(canonical);
}

std::string TPlaces::Grant(const std::string& path, DWORD* attributes) {
  if (attributes) *attributes = INVALID_FILE_ATTRIBUTES;
  std::string normal;
  if (!NormalisePath(path, normal)) return std::string();
  for (const std::string& root : roots_)
    if (SameCanonical(normal, root)) {
      if (attributes) *attributes = GetFileAttributesA(root.c_str());
      return GrantWalk(normal);
    }
  const size_t cut = LastSeparator(normal);
  if (cut == std::string::npos || cut + 1 == normal.size()) return std::string();  // a root outside every place
  std::string parent = normal.substr(0, cut);
  if (parent.size() == 2) parent += '\\';
  const TFolder& folder = Folder(parent);
  if (folder.Granted.empty()) return std::string();

  std::string name = normal.substr(cut + 1);
  const auto entry = folder.Entries.find(Upper(name));
  if (entry != folder.Entries.end()) {
    if (entry->second.Attributes & FILE_ATTRIBUTE_REPARSE_POINT) return std::string();
    name = entry->second.LongName;  // a short name reads as its long one
    if (attributes) *attributes = entry->second.Attributes;
  }
  return folder.Granted + (folder.Granted.back() == '\\' ? "" : "\\") + name;
}

const TPlaces::TFolder& TPlaces::Folder(const std::string& normal) {
  const std::string key = Upper(normal);
  auto known = folders_.find(key);
  if (known != folders_.end()) return known->second;
  TFolder& folder = folders_[key];
  folder.Granted = GrantWalk(normal);
  if (folder.Granted.empty()) return folder;
  // One listing answers every line about this folder's files.
  WIN32_FIND_DATAA found;
  const std::string pattern = folder.Granted + (folder.Granted.back() == '\\' ? "*" : "\\*");
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return folder;
  do {
    const TEntry entry = {found.cFileName, found.dwFileAttributes};
    folder.Entries[Upper(found.cFileName)] = entry;
    if (found.cAlternateFileName[0]) folder.Entries[Upper(found.cAlternateFileName)] = entry;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return folder;
}

std::string TPlaces::GrantWalk(const std::string& path) const {
  std::string canonical;
  if (!CanonicalPath(path, canonical)) return std::string();
  for (const std::string& root : roots_) {
    if (!IsWithin(canonical, root)) continue;
    // Walk from the root down; a missing name ends the walk (nothing below it exists).
    bool exists = true;
    if (IsReparsePoint(root, exists)) return std::string();
    std::string step = root;
    if (step.back() == '\\') step.pop_back();
    for (const std::string& name : SplitNames(canonical.substr(root.size()))) {
      if (name.empty() || !exists) continue;
      step += "\\" + name;
      if (IsReparsePoint(step, exists)) return std::string();
    }
    return canonical;
  }
  return std::string();
}

}  // namespace vlm
