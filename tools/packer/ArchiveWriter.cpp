#include "ArchiveWriter.h"

#include <zlib.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/stat.h>

namespace packer {

void AppendRecord(std::string& archive, const std::string& name, double stamp, const std::string& data) {
  archive.push_back(static_cast<char>(static_cast<unsigned char>(name.size())));
  archive += name;
  unsigned char b[8];
  std::memcpy(b, &stamp, 8);  // the host is little-endian like the target
  archive.append(reinterpret_cast<char*>(b), 8);
  const uint32_t s = static_cast<uint32_t>(data.size());
  const char size[4] = {char(s & 0xFF), char(s >> 8 & 0xFF), char(s >> 16 & 0xFF), char(s >> 24 & 0xFF)};
  archive.append(size, 4);
  archive += data;
}

std::string BuildArchive(const std::vector<ManifestRecord>& records, std::string& archive) {
  archive.clear();
  for (const ManifestRecord& r : records) {
    const std::string what = "record \"" + r.name + "\" (line " + std::to_string(r.line) + "): ";
    struct stat st {};
    if (stat(r.source.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
      return what + "source file \"" + r.source + "\" is missing";
    if (st.st_size > 0x7FFFFFFF) return what + "source file \"" + r.source + "\" is too large for a 31-bit size";
    std::ifstream in(r.source, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) return what + "source file \"" + r.source + "\" cannot be read";
    if (archive.size() + data.size() + 13 + r.name.size() > 0x7FFFFFFFu)
      return what + "the archive would exceed 2 GB";
    AppendRecord(archive, r.name, r.stamp, data);
  }
  return std::string();
}

std::string CompressArchive(const std::string& archive) {
  uLongf bound = compressBound(archive.size());
  std::string out(bound, '\0');
  if (compress2(reinterpret_cast<Bytef*>(&out[0]), &bound, reinterpret_cast<const Bytef*>(archive.data()),
                archive.size(), 9) != Z_OK)
    throw std::runtime_error("zlib compression failed");
  out.resize(bound);
  return out;
}

}  // namespace packer
