// Arbitrary bytes as the setup's "FILES" resource: inflated and split exactly as
// the catalogue's Load does, then every record judged by the extraction name
// rule. The records must tile the inflated archive, so that writing them back
// gives its bytes again: an offset or size off by one would show here before it
// shows as a wrong file on a user's disk. (The catalogue's upper-case index
// goes through CharUpperBuffA, so it stays out of this native build.)
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzCheck.h"
#include "payload/PayloadArchive.h"
#include "payload/RecordName.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > UINT32_MAX) return 0;  // SizeofResource gives 32 bits
  payload::InflatedArchive a;
  std::vector<TAttachedFile> files;
  try {
    a = payload::InflatePayload(data, uint32_t(size));
    files = payload::ParseArchive(a.data.get(), a.size);
  } catch (const payload::PayloadDamaged&) {
    return 0;  // the setup reports a damaged setup and stops
  }
  FUZZ_REQUIRE(a.data != nullptr, "an inflated archive always owns a block");
  FUZZ_REQUIRE(a.size <= 0x7FFFFFFFu, "the archive fits the catalogue's 31-bit size");

  const uint8_t* archive = a.data.get();
  uint64_t next = 0;
  for (const TAttachedFile& f : files) {
    IsSafeRecordName(f.Name);  // the catalogue's per-record judgement at load
    FUZZ_REQUIRE(f.Name.size() == archive[next], "the name has its stored length");
    FUZZ_REQUIRE(std::memcmp(f.Name.data(), archive + next + 1, f.Name.size()) == 0, "the name has its stored bytes");
    FUZZ_REQUIRE(std::memcmp(&f.TimeStamp, archive + next + 1 + f.Name.size(), 8) == 0, "the stamp has its stored bytes");
    uint32_t storedSize;  // little-endian, like the target
    std::memcpy(&storedSize, archive + next + 9 + f.Name.size(), 4);
    FUZZ_REQUIRE(f.Size >= 0 && uint32_t(f.Size) == storedSize, "the size is the stored one");
    FUZZ_REQUIRE(f.Offset >= 0 && uint64_t(f.Offset) == next + payload::kRecordFixedBytes + f.Name.size(),
                 "the data follows its header");
    FUZZ_REQUIRE(uint64_t(f.Offset) + uint64_t(f.Size) <= a.size, "the data lies inside the archive");
    next = uint64_t(f.Offset) + uint64_t(f.Size);
  }
  FUZZ_REQUIRE(next == a.size, "the records cover the archive to its end");
  return 0;
}
