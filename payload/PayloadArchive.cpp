#include "PayloadArchive.h"

#include <zlib.h>

#include <cstring>
#include <limits>

namespace payload {

namespace {

uint32_t ReadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Ends the zlib stream on every way out of InflatePayload.
struct InflateStream {
  z_stream z{};
  bool open = false;
  ~InflateStream() {
    if (open) inflateEnd(&z);
  }
};

}  // namespace

uint32_t InitialInflateCapacity(uint32_t compressedLength) {
  uint64_t c = uint64_t(compressedLength) * 5;
  return c > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max() : uint32_t(c);
}

uint32_t InflateGrowthStep(uint32_t compressedLength) {
  // Never zero: a step of 0 would stop the block from growing at all.
  uint64_t step = (uint64_t(compressedLength) + 255) / 256 * 256;
  if (step == 0) step = 256;
  return uint32_t(step > 0x7FFFFF00u ? 0x7FFFFF00u : step);
}

InflatedArchive InflatePayload(const uint8_t* stream, uint32_t length) {
  if (stream == nullptr || length == 0) throw PayloadDamaged("the payload is empty");

  uint32_t capacity = InitialInflateCapacity(length);
  HeapBlock block(static_cast<uint8_t*>(std::malloc(capacity ? capacity : 1)));
  if (!block) throw std::bad_alloc();

  InflateStream s;
  s.z.next_in = const_cast<Bytef*>(stream);
  s.z.avail_in = length;
  if (inflateInit2(&s.z, 15) != Z_OK) throw PayloadDamaged("the payload cannot be inflated");
  s.open = true;

  uint64_t produced = 0;
  for (;;) {
    if (produced == capacity) {
      uint64_t grown = uint64_t(capacity) + InflateGrowthStep(length);
      if (grown > 0x7FFFFFFFu) throw PayloadDamaged("the payload inflates to more than 2 GB");
      auto* p = static_cast<uint8_t*>(std::realloc(block.get(), size_t(grown)));
      if (!p) throw std::bad_alloc();
      block.release();
      block.reset(p);
      capacity = uint32_t(grown);
    }
    s.z.next_out = block.get() + produced;
    s.z.avail_out = uInt(capacity - produced);
    int rc = inflate(&s.z, Z_NO_FLUSH);
    produced = capacity - s.z.avail_out;
    if (rc == Z_STREAM_END) break;
    if (rc == Z_BUF_ERROR && s.z.avail_out != 0)
      throw PayloadDamaged("the payload stream ends before its end mark");
    if (rc != Z_OK && rc != Z_BUF_ERROR)
      throw PayloadDamaged("the payload stream is corrupt");
  }
  if (s.z.avail_in != 0) throw PayloadDamaged("bytes follow the payload stream");

  InflatedArchive out;
  out.size = uint32_t(produced);
  // Shrink to the inflated length; keep a 1-byte block for an empty archive
  // so the owner never holds a dangling pointer.
  auto* p = static_cast<uint8_t*>(std::realloc(block.get(), produced ? size_t(produced) : 1));
  if (p) {
    block.release();
    block.reset(p);
  }
  out.data = std::move(block);
  return out;
}

std::vector<TAttachedFile> ParseArchive(const uint8_t* data, uint32_t size) {
  std::vector<TAttachedFile> files;
  uint64_t p = 0;
  while (p < size) {
    const uint64_t n = data[p];
    if (p + kRecordFixedBytes + n > size)
      throw PayloadDamaged("a payload record's header reaches past the end of the archive");
    TAttachedFile f;
    f.Name.assign(reinterpret_cast<const char*>(data + p + 1), size_t(n));
    std::memcpy(&f.TimeStamp, data + p + 1 + n, 8);
    const int32_t s = int32_t(ReadLe32(data + p + 9 + n));
    const uint64_t dataPos = p + kRecordFixedBytes + n;
    if (s < 0 || dataPos + uint64_t(s) > size)
      throw PayloadDamaged("the payload record \"" + f.Name + "\" reaches past the end of the archive");
    f.Size = s;
    f.Offset = int32_t(dataPos);
    files.push_back(std::move(f));
    p = dataPos + uint64_t(s);
  }
  return files;
}

}  // namespace payload
