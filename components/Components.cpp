#include "components/Components.h"

#include "instutils/InstUtils.h"
#include "contract/Names.h"

namespace components {

const TComponentDef ComponentTable[kComponentCount] = {
    {PRODUCT_NAME, "vlm.exe\rLicense.txt"},
    {"English spellchecker",
     "English (American).asc\rEnglish (British).asc\renglish.zlx\rus.zlx\ruk.zlx\ruserdicen.tlx\r"
     "English (American).cache"},
    {"Hyphenation module", "Hyphenation.dat"},
    {"Document templates", "Templates\\"},
    {"Clip library", "Clip Library\\"},
    {"Basic sound scheme", "Basic.asn"},
};

namespace {
FreeSpaceFn g_freeSpace = nullptr;
}

const char* ComponentName(int component) {
  return component >= 0 && component < kComponentCount ? ComponentTable[component].Name : "";
}

TComponentRows FillComponentRows(uint32_t savedMask) {
  TComponentRows rows;
  for (int n = 0; n < kComponentCount; ++n) {
    const bool chosen = n <= 7 && ((savedMask >> n) & 1u);
    rows.push_back({uint8_t(n), chosen ? cbChecked : cbUnchecked});
  }
  rows[0].State = cbGrayed;  // the program itself cannot be left out
  return rows;
}

void FlipComponentRow(TComponentRows& rows, int row) {
  if (row < 0 || row >= int(rows.size())) return;
  TCheckState& s = rows[size_t(row)].State;
  s = s == cbUnchecked ? cbChecked : cbUnchecked;
}

bool RestoreProgramRow(TComponentRows& rows) {
  if (rows.empty() || rows[0].Component != 0 || rows[0].State == cbGrayed) return false;
  rows[0].State = cbGrayed;
  return true;
}

int32_t RequiredBytes(const TComponentRows& rows, const std::vector<int32_t>& sizes) {
  uint32_t sum = 0;
  for (size_t i = 0; i < rows.size() && i < sizes.size(); ++i)
    if (rows[i].State != cbUnchecked) sum += uint32_t(sizes[i]);
  return int32_t(sum);
}

TComponentSet FixSelection(const TComponentRows& rows) {
  TComponentSet set = 0;
  for (auto r = rows.rbegin(); r != rows.rend(); ++r)
    if (r->State != cbUnchecked && r->Component <= 7) set |= TComponentSet(1u << r->Component);
  return set;
}

bool AvailableSpace(const std::string& folder, int64_t& bytes) {
  std::string root = instutils::DrivePart(folder);
  if (root.empty()) return false;
  root += '\\';
  ULARGE_INTEGER avail{}, total{}, free{};
  const BOOL ok = g_freeSpace ? g_freeSpace(root.c_str(), &avail, &total, &free)
                              : GetDiskFreeSpaceExA(root.c_str(), &avail, &total, &free);
  if (!ok) return false;
  bytes = int64_t(avail.QuadPart & 0x7FFFFFFFFFFFFFFFull);
  return true;
}

bool SpaceSuffices(bool availableKnown, int64_t available, int32_t required) {
  return !availableKnown || available >= int64_t(required);
}

void SetFreeSpaceFunction(FreeSpaceFn fn) { g_freeSpace = fn; }

}  // namespace components
