// Arbitrary bytes as the packer's manifest, read the way vpack reads it. What
// the packer accepts must reach the user's disk: every accepted name must pass
// the setup's extraction rule (else the record is shipped and silently never
// installed), and the records must come back out of the packed stream through
// the setup's reader with the same names and stamps.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ArchiveWriter.h"
#include "FuzzCheck.h"
#include "Manifest.h"
#include "payload/PayloadArchive.h"
#include "payload/RecordName.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<packer::ManifestRecord> records;
  if (!packer::ParseManifest(text, "payload.manifest", "product", "build", records).empty()) return 0;

  // The sources are paths taken from the input: stand-in data instead of reading them.
  std::string archive;
  for (const packer::ManifestRecord& r : records) {
    FUZZ_REQUIRE(IsSafeRecordName(r.name), "the packer accepted a name the setup never extracts");
    packer::AppendRecord(archive, r.name, r.stamp, r.source);
  }
  const std::string stream = packer::CompressArchive(archive);
  payload::InflatedArchive a = payload::InflatePayload(reinterpret_cast<const uint8_t*>(stream.data()),
                                                       uint32_t(stream.size()));
  FUZZ_REQUIRE(a.size == archive.size() && std::memcmp(a.data.get(), archive.data(), a.size) == 0,
               "the stream inflates to the packed archive");
  const std::vector<TAttachedFile> files = payload::ParseArchive(a.data.get(), a.size);
  FUZZ_REQUIRE(files.size() == records.size(), "one record per manifest line");
  for (size_t i = 0; i < files.size(); ++i) {
    FUZZ_REQUIRE(files[i].Name == records[i].name, "the name comes back");
    FUZZ_REQUIRE(std::memcmp(&files[i].TimeStamp, &records[i].stamp, 8) == 0, "the stamp comes back");
    FUZZ_REQUIRE(files[i].Size == int32_t(records[i].source.size()), "the size comes back");
  }
  return 0;
}
