#include "ArchiveBuilder.h"

#include <zlib.h>

#include <cstring>

namespace testing_payload {

void AddRawRecord(std::string& a, const std::string& name, double stamp, int32_t sizeField, const std::string& data) {
  a.push_back(char(uint8_t(name.size())));
  a += name;
  char b[8];
  std::memcpy(b, &stamp, 8);
  a.append(b, 8);
  const uint32_t s = uint32_t(sizeField);
  const char size[4] = {char(s), char(s >> 8), char(s >> 16), char(s >> 24)};
  a.append(size, 4);
  a += data;
}

void AddRecord(std::string& a, const std::string& name, double stamp, const std::string& data) {
  AddRawRecord(a, name, stamp, int32_t(data.size()), data);
}

std::string Compress(const std::string& archive, int level) {
  uLongf n = compressBound(archive.size());
  std::string out(n, '\0');
  compress2(reinterpret_cast<Bytef*>(&out[0]), &n, reinterpret_cast<const Bytef*>(archive.data()), archive.size(),
            level);
  out.resize(n);
  return out;
}

}  // namespace testing_payload
