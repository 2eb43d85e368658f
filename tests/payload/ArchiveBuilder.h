// Builds payload archives and zlib streams in memory for tests.
#pragma once
#include <cstdint>
#include <string>

namespace testing_payload {

// One record: name length, name, 8-byte time stamp, 32-bit size, data.
void AddRecord(std::string& archive, const std::string& name, double stamp, const std::string& data);
// Same, with a size field that need not match the data (damaged archives).
void AddRawRecord(std::string& archive, const std::string& name, double stamp, int32_t sizeField,
                  const std::string& data);
std::string Compress(const std::string& archive, int level = 9);

}  // namespace testing_payload
