#include "registration/CommonData.h"

#include <cstdint>
#include <cstring>

#include "instutils/InstUtils.h"
#include "contract/ProductInterface.h"

namespace {

void AppendUInt32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

std::string CommonDataRecord(double now) {
  static_assert(sizeof(double) == 8, "TDateTime is an 8-byte double");
  std::string record;
  AppendUInt32(record, 1);
  AppendUInt32(record, sizeof now);
  char bytes[sizeof now];
  std::memcpy(bytes, &now, sizeof now);  // x86: already little-endian
  record.append(bytes, sizeof bytes);
  AppendUInt32(record, 2);
  AppendUInt32(record, 1);
  record += '1';
  return record;
}

void WriteCommonData(const std::string& folder) {
  if (folder.empty()) return;
  instutils::WriteWholeFile(instutils::JoinPath(folder, product::kCommonDataFile),
                            CommonDataRecord(instutils::NowAsDateTime()));
}
