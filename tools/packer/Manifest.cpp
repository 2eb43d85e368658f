#include "Manifest.h"

#include <cstring>
#include <set>

#include "DosTime.h"

namespace packer {

std::string UpperAnsi(const std::string& s) {
  std::string u = s;
  for (char& c : u) {
    unsigned char b = static_cast<unsigned char>(c);
    if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) b -= 0x20;
    else if (b == 0x9A || b == 0x9C || b == 0x9E) b -= 0x10;
    else if (b == 0xFF) b = 0x9F;
    c = static_cast<char>(b);
  }
  return u;
}

std::string CheckName(const std::string& name) {
  if (name.empty()) return "the name is empty";
  if (name.size() > 255) return "the name is longer than 255 bytes";
  if (name.front() == '\\' || name.back() == '\\') return "the name has a leading or trailing \"\\\"";
  for (char c : name) {
    if (c == '/') return "the name contains \"/\"";
    if (c == ':') return "the name contains \":\"";
    if (static_cast<unsigned char>(c) < 0x20) return "the name contains a control character";
    // No Windows file can carry these: the record would fail at every install.
    if (std::strchr("<>\"|?*", c)) return std::string("the name contains \"") + c + "\"";
  }
  size_t start = 0;
  for (;;) {
    size_t end = name.find('\\', start);
    std::string part = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (part.empty()) return "the name has an empty folder level";
    if (part == "..") return "the name has a \"..\" component";
    if (part == ".") return "the name has a \".\" component";
    // Windows drops trailing dots and spaces: " " or "..." would name the folder
    // itself or its parent, and the setup never extracts such a record.
    if (part.find_first_not_of(". ") == std::string::npos) return "the name has a level of only dots and spaces";
    // ... and "a." or "a " would be written over "a".
    if (part.back() == '.' || part.back() == ' ') return "the name has a level ending in a dot or a space";
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return std::string();
}

namespace {

std::string Resolve(const std::string& source, const std::string& baseDir, const std::string& buildDir) {
  static const std::string kBuild = "$BUILD/";
  if (source.compare(0, kBuild.size(), kBuild) == 0) return buildDir + "/" + source.substr(kBuild.size());
  if (!source.empty() && source[0] == '/') return source;
  return baseDir + "/" + source;
}

}  // namespace

std::string ParseManifest(const std::string& text, const std::string& manifestName, const std::string& baseDir,
                          const std::string& buildDir, std::vector<ManifestRecord>& out) {
  out.clear();
  std::set<std::string> seen;
  size_t pos = 0;
  int lineNo = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
    pos = nl == std::string::npos ? text.size() : nl + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.compare(0, 2, "//") == 0) continue;

    const std::string where = manifestName + ":" + std::to_string(lineNo) + ": ";
    size_t t1 = line.find('\t');
    size_t t2 = t1 == std::string::npos ? t1 : line.find('\t', t1 + 1);
    if (t2 == std::string::npos || line.find('\t', t2 + 1) != std::string::npos)
      return where + "expected three fields separated by tabs: name, time stamp, source";

    ManifestRecord r;
    r.name = line.substr(0, t1);
    r.line = lineNo;
    const std::string what = where + "record \"" + r.name + "\": ";
    std::string why = CheckName(r.name);
    if (!why.empty()) return what + why;
    if (!seen.insert(UpperAnsi(r.name)).second) return what + "the name equals an earlier name, ignoring case";

    CivilTime t;
    why = ParseCivilTime(line.substr(t1 + 1, t2 - t1 - 1), t);
    if (!why.empty()) return what + why;
    r.stamp = ToDateTime(t);

    const std::string source = line.substr(t2 + 1);
    if (source.empty()) return what + "no source file is given";
    r.source = Resolve(source, baseDir, buildDir);
    out.push_back(std::move(r));
  }
  return std::string();
}

}  // namespace packer
