// The payload manifest: one line per record, in archive order:
//   stored name <TAB> YYYY-MM-DD HH:MM:SS <TAB> source path
// Lines starting with "//" are comments (no stored name can contain "/").
// A source path is relative to the manifest's folder; "$BUILD/" at its start
// stands for the build folder, for files the build itself makes.
#pragma once
#include <string>
#include <vector>

namespace packer {

struct ManifestRecord {
  std::string name;    // stored name, ANSI bytes as written
  double stamp = 0;    // TDateTime
  std::string source;  // resolved source path
  int line = 0;        // manifest line, for messages
};

// Why a stored name is refused, or empty when it is acceptable.
std::string CheckName(const std::string& name);

// Upper-cases single-byte Windows-1252 text the way the setup compares names.
std::string UpperAnsi(const std::string& s);

// Parses and checks a whole manifest. Returns an empty string on success, else
// one message naming the manifest line and the record.
std::string ParseManifest(const std::string& text, const std::string& manifestName, const std::string& baseDir,
                          const std::string& buildDir, std::vector<ManifestRecord>& out);

}  // namespace packer
