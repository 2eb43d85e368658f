// The payload archive: inflating the zlib stream and splitting it into records.
// Free of Win32 so the host-side packer can share the layout.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "AttachedFile.h"

namespace payload {

// Record layout: name length (1), name (n), time stamp (8), size (4), data (s).
constexpr uint32_t kRecordFixedBytes = 13;

// A damaged or missing payload; the message names what is wrong.
class PayloadDamaged : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct FreeDeleter {
  void operator()(uint8_t* p) const { std::free(p); }
};
using HeapBlock = std::unique_ptr<uint8_t, FreeDeleter>;

struct InflatedArchive {
  HeapBlock data;
  uint32_t size = 0;
};

// Inflates one whole zlib stream into one heap block. The block starts at five
// times the compressed length, grows by the compressed length rounded up to
// 256 bytes whenever it is full, and is shrunk to the inflated length at the
// end. Throws PayloadDamaged if the stream does not inflate to its end, or if
// bytes follow it.
InflatedArchive InflatePayload(const uint8_t* stream, uint32_t length);

// Splits an inflated archive into its records, in archive order. Every field
// is checked against the archive's end: a record whose header or data would
// reach past it, or a negative size, throws PayloadDamaged.
std::vector<TAttachedFile> ParseArchive(const uint8_t* data, uint32_t size);

// The growth rule on its own, so it can be tested without a stream.
uint32_t InitialInflateCapacity(uint32_t compressedLength);
uint32_t InflateGrowthStep(uint32_t compressedLength);

}  // namespace payload
