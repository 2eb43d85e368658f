#include "instutils/FolderSize.h"

#include <atomic>
#include <limits>

#include "base/WinHandles.h"
#include "instutils/InstUtils.h"

namespace {

constexpr uint64_t kSaturated = std::numeric_limits<uint32_t>::max();

std::atomic<EntryAttributesFunction> g_entryAttributes{nullptr};

uint64_t FileKB(uint64_t bytes, uint64_t cluster) {
  const uint64_t clusters = bytes / cluster + (bytes % cluster != 0 ? 1 : 0);
  if (clusters > std::numeric_limits<uint64_t>::max() / cluster) return kSaturated;
  return clusters * cluster / 1024;
}

// Adds the tree below folder (ending in "\") to total; stops once saturated.
void AddTree(const std::string& folder, uint64_t cluster, uint64_t& total) {
  WIN32_FIND_DATAA fd;
  base::UniqueFind find(FindFirstFileA((folder + "*.*").c_str(), &fd));
  if (!find) return;  // also where an over-long path ends the descent
  do {
    const std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    DWORD attributes = fd.dwFileAttributes;
    if (EntryAttributesFunction fn = g_entryAttributes) attributes = fn(folder + name, attributes);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) AddTree(folder + name + "\\", cluster, total);
    } else {
      total += FileKB((static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow, cluster);
    }
    if (total >= kSaturated) return;
  } while (FindNextFileA(find.get(), &fd));
}

}  // namespace

void SetEntryAttributesFunction(EntryAttributesFunction fn) { g_entryAttributes = fn; }

std::optional<uint32_t> FolderSizeKB(const std::string& folder) {
  const uint32_t cluster = instutils::ClusterSize(folder);
  if (cluster == 0 || folder.empty()) return std::nullopt;
  std::string dir = folder;
  instutils::AddBackslash(dir);
  uint64_t total = 0;
  AddTree(dir, cluster, total);
  return static_cast<uint32_t>(total < kSaturated ? total : kSaturated);
}
