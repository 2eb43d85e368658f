// vpack: builds the setup's payload from a manifest.
//   vpack --manifest FILE --out STREAM [--archive RAW] [--build-dir DIR] [--depfile FILE]
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "ArchiveWriter.h"
#include "Manifest.h"

namespace {

int Usage() {
  std::cerr << "usage: vpack --manifest FILE --out STREAM [--archive RAW] [--build-dir DIR] [--depfile FILE]\n";
  return 2;
}

bool WriteFile(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), std::streamsize(data.size()));
  return bool(out.flush());
}

std::string DepEscape(const std::string& path) {
  std::string e;
  for (char c : path) {
    if (c == ' ' || c == '#' || c == '\\') e += '\\';
    if (c == '$') e += '$';
    e += c;
  }
  return e;
}

}  // namespace

int main(int argc, char** argv) {
  std::string manifest, out, archivePath, buildDir = ".", depfile;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (i + 1 >= argc) return Usage();
    std::string v = argv[++i];
    if (a == "--manifest") manifest = v;
    else if (a == "--out") out = v;
    else if (a == "--archive") archivePath = v;
    else if (a == "--build-dir") buildDir = v;
    else if (a == "--depfile") depfile = v;
    else return Usage();
  }
  if (manifest.empty() || out.empty()) return Usage();

  std::ifstream in(manifest, std::ios::binary);
  if (!in) {
    std::cerr << "vpack: cannot read manifest \"" << manifest << "\"\n";
    return 1;
  }
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t slash = manifest.find_last_of('/');
  const std::string baseDir = slash == std::string::npos ? "." : manifest.substr(0, slash);

  std::vector<packer::ManifestRecord> records;
  std::string err = packer::ParseManifest(text, manifest, baseDir, buildDir, records);
  std::string archive;
  if (err.empty()) err = packer::BuildArchive(records, archive);
  if (!err.empty()) {
    std::cerr << "vpack: " << err << "\n";
    return 1;
  }
  const std::string stream = packer::CompressArchive(archive);
  if (!WriteFile(out, stream) || (!archivePath.empty() && !WriteFile(archivePath, archive))) {
    std::cerr << "vpack: cannot write the output\n";
    return 1;
  }
  if (!depfile.empty()) {
    std::string deps = DepEscape(out) + ": " + DepEscape(manifest);
    for (const auto& r : records) deps += " \\\n  " + DepEscape(r.source);
    WriteFile(depfile, deps + "\n");
  }
  std::cout << "vpack: " << records.size() << " records, " << archive.size() << " bytes, " << stream.size()
            << " compressed\n";
  return 0;
}
