// The data folder all copies share, and the uninstall entry that lists one of
// them: what becomes of both when one copy goes.
#pragma once
#include <string>
#include <vector>

namespace vlm {

// The product's folder in the all-users data folder (or in the documents
// folder the setup falls back to); empty when neither can be looked up.
std::string SharedDataFolder();

struct TSharedUse {
  bool LastCopy = false;            // certain that no other copy uses the shared data
  std::vector<std::string> Others;  // the other copies counted, as recorded
};

// Takes the count of the copy whose program is `program` (canonical) away and
// says who still uses the shared data. A record or uninstall entry that
// cannot be read or understood, or an entry naming a copy the record does not
// know, counts as another user: doubt never deletes.
TSharedUse ReleaseSharedUse(const std::string& program);

// When the uninstall entry names this copy: made to name another counted copy
// (program, location, size), one that is there by preference, so that it
// stays listed and removable; removed when no other copy is counted. An
// entry naming another copy, or unreadable, stays.
void HandOverUninstallEntry(const std::string& program, const TSharedUse& use);

// After the last copy: removes from the data folder every file the installs
// recorded whose size and time are still those it was written with, the
// folder's own records, and the folders left empty; then the record. What the
// user changed or added stays, and with it the folders holding it.
void RemoveSharedData(const std::string& dataFolder);

}  // namespace vlm
