// Writes payload records and the zlib stream the setup carries.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Manifest.h"

namespace packer {

// Appends one record: name length, name, time stamp, size, data.
void AppendRecord(std::string& archive, const std::string& name, double stamp, const std::string& data);

// Reads every record's source and concatenates the records. Returns an empty
// string on success, else a message naming the record.
std::string BuildArchive(const std::vector<ManifestRecord>& records, std::string& archive);

// zlib stream of the archive at level 9 (header 0x78 0xDA), nothing before or after.
std::string CompressArchive(const std::string& archive);

}  // namespace packer
