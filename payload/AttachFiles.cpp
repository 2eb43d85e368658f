#include "AttachFiles.h"

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <limits>

#include "contract/Names.h"
#include "base/WinHandles.h"
#include "instutils/DateTime.h"
#include "instutils/InstUtils.h"
#include "instutils/Logs.h"
#include "payload/TestSeams.h"

TAttachedFiles* AttachedFiles = nullptr;
bool UseTargetAsGiven = false;

namespace {

using instutils::SamePath;

// The compressed bytes stay in the loaded image; nothing is copied.
void LocatePayload(HMODULE module, const uint8_t*& stream, uint32_t& length) {
  HRSRC res = FindResourceA(module, "FILES", "FILES");
  if (!res) throw payload::PayloadDamaged("the payload resource is missing");
  length = SizeofResource(module, res);
  HGLOBAL loaded = LoadResource(module, res);
  stream = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  if (!stream) throw payload::PayloadDamaged("the payload resource cannot be loaded");
}

std::atomic<WriteFileFunction> writeFile{nullptr};

bool IsFolderPrefix(const std::string& pattern) { return !pattern.empty() && pattern.back() == '\\'; }

bool BeginsWith(const std::string& name, const std::string& prefix) {
  return name.size() >= prefix.size() && SamePath(name.substr(0, prefix.size()), prefix);
}

// The comparison form of a name: SamePath's upper case, done once.
std::string UpperName(const std::string& name) {
  std::string u = name;
  if (!u.empty()) CharUpperBuffA(&u[0], DWORD(u.size()));
  return u;
}


int32_t ClampToInt32(int64_t n) {
  return int32_t(std::min<int64_t>(n, std::numeric_limits<int32_t>::max()));
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Sets the last-write time from a TDateTime through the DOS conversion;
// creation and last-access times stay. A stamp outside the DOS range leaves
// the time of writing.
// On the handle that wrote the data: one open per file, not two.
void SetLastWriteTime(HANDLE file, double stamp) {
  WORD dosDate, dosTime;
  if (!instutils::DateTimeToDosDateTime(stamp, dosDate, dosTime)) return;
  FILETIME local, utc;
  if (!DosDateTimeToFileTime(dosDate, dosTime, &local) || !LocalFileTimeToFileTime(&local, &utc)) return;
  SetFileTime(file, nullptr, nullptr, &utc);
}

}  // namespace

void SetWriteFileFunction(WriteFileFunction fn) { writeFile.store(fn); }

std::string CannotCreateFileMessage(const std::string& target) {
  return "Cannot create file \"" + target +
         "\".\rAnother application might already be using this file.\r\r"
         "Please make sure that the setup of " PRODUCT_NAME " is not blocked by your security software "
         "(firewall/antivirus) in any way.\rYou might want to temporarily disable your security software and try "
         "again.";
}

TAttachedFiles::TAttachedFiles(HMODULE module) {
  const uint8_t* stream = nullptr;
  uint32_t length = 0;
  LocatePayload(module, stream, length);
  Load(stream, length);
}

TAttachedFiles::TAttachedFiles(const uint8_t* stream, uint32_t length) { Load(stream, length); }

void TAttachedFiles::Load(const uint8_t* stream, uint32_t length) {
  payload::InflatedArchive a = payload::InflatePayload(stream, length);
  files_ = payload::ParseArchive(a.data.get(), a.size);
  data_ = std::move(a.data);
  dataSize_ = int32_t(a.size);
  safeName_.reserve(files_.size());
  for (const TAttachedFile& f : files_) safeName_.push_back(IsSafeRecordName(f.Name));
  upperNames_.reserve(files_.size());
  for (const TAttachedFile& f : files_) upperNames_.push_back(UpperName(f.Name));
}

TAttachedFiles::~TAttachedFiles() {
  UpdateList.clear();
  for (TFileToInstallList& plan : Plans) plan.clear();  // before Files: they point into it
  data_.reset();
  dataSize_ = 0;
  files_.clear();
  instutils::CleanTempFolder();
}

bool TAttachedFiles::Installable(const TAttachedFile& entry) const {
  const bool ours = !files_.empty() && &entry >= files_.data() && &entry < files_.data() + files_.size();
  const bool safe = ours ? safeName_[size_t(&entry - files_.data())] : IsSafeRecordName(entry.Name);
  return safe && entry.Offset >= 0 && entry.Size >= 0 && int64_t(entry.Offset) + entry.Size <= dataSize_;
}

int32_t TAttachedFiles::RequiredSpace(const std::string& fileList, const std::string& destFolder) const {
  const std::vector<std::string> items = instutils::SplitTextLines(fileList);
  int64_t sum = 0;
  for (auto item = items.rbegin(); item != items.rend(); ++item) {
    if (item->empty()) continue;
    const bool prefix = IsFolderPrefix(*item);
    for (auto f = files_.rbegin(); f != files_.rend(); ++f) {
      if (!Installable(*f)) continue;
      if (prefix ? BeginsWith(f->Name, *item) : SamePath(f->Name, *item)) {
        sum += instutils::SizeOnDisk(destFolder, f->Size);
        if (!prefix) break;
      }
    }
  }
  return ClampToInt32(sum);
}

void TAttachedFiles::ClearPlan(uint8_t component) {
  if (component < kPlanCount) Plans[component].clear();
}

int32_t TAttachedFiles::PlannedSize() const {
  int64_t sum = 0;
  for (const TFileToInstallList& plan : Plans)
    for (const TFileToInstall& f : plan) sum += f.Source->Size;
  return ClampToInt32(sum);
}

bool TAttachedFiles::AddFiles(const std::string& pattern, const std::string& folder, uint8_t component,
                              uint8_t rule) {
  if (component >= kPlanCount || pattern.empty()) return false;
  const uint8_t effective = AlwaysReplace ? uint8_t(rrAlways) : rule;
  // Looked up once per catalogue: the shell's answer costs more than a file write.
  if (publicPrefix_.empty())
    publicPrefix_ = instutils::JoinPath(instutils::SpecialFolder(CSIDL_COMMON_APPDATA), PRODUCT_FOLDER "\\Public\\");
  const std::string& publicPrefix = publicPrefix_;
  const std::string key = UpperName(pattern);
  if (!IsFolderPrefix(pattern)) {
    for (size_t i = 0; i < files_.size(); ++i)
      if (upperNames_[i] == key) return PlanOne(files_[i], folder, component, rule, effective, publicPrefix);
    return false;
  }
  bool any = false;
  for (size_t i = 0; i < files_.size(); ++i)
    if (upperNames_[i].compare(0, key.size(), key) == 0 &&
        PlanOne(files_[i], folder, component, rule, effective, publicPrefix))
      any = true;
  return any;
}

bool TAttachedFiles::PlanOne(const TAttachedFile& entry, const std::string& folder, uint8_t component,
                             uint8_t requestedRule, uint8_t rule, const std::string& publicPrefix) {
  // The archive is data: a name that climbs out of the folder is never planned.
  if (!Installable(entry)) return false;
  std::string target = folder;
  if (!UseTargetAsGiven) {
    instutils::AddBackslash(target);
    target += entry.Name;
  }
  if (rule != rrAlways && instutils::IsFile(target)) {
    if (rule == rrKeepExisting) return false;
    if (rule == rrReplaceIfDifferent && instutils::SameDosTime(instutils::LastWriteTimeOf(target), entry.TimeStamp))
      return false;
  }
  Plans[component].push_back(TFileToInstall{&entry, target, instutils::LogSuspendCount == 0});
  if (BeginsWith(target, publicPrefix)) UpdateList.push_back(requestedRule == rrKeepExisting ? target + "\t!" : target);
  return true;
}

bool TAttachedFiles::WriteOnce(const TAttachedFile& entry, const std::string& target) {
  const auto create = [&] {
    return CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
  };
  // Files of one folder stand together in the plan: the folder is made for the
  // first of them, and again only if a later one cannot be created in it.
  const std::string folder = FolderOf(target);
  const bool made = !folder.empty() && folder == madeFolder_;
  if (!folder.empty() && !made) instutils::MakeDir(folder);
  {
    base::UniqueFile f(create());
    if (!f && made) {
      instutils::MakeDir(folder);
      f.reset(create());
    }
    madeFolder_ = f ? folder : std::string();
    if (!f) return false;
    DWORD written = 0;
    WriteFileFunction write = writeFile.load();
    const BOOL ok = (write ? write : ::WriteFile)(f.get(), data_.get() + entry.Offset, DWORD(entry.Size), &written, nullptr);
    if (!ok || written != DWORD(entry.Size)) {
      // A short write (a full disk) leaves no truncated file behind.
      f.reset();
      DeleteFileA(target.c_str());
      return false;
    }
    SetLastWriteTime(f.get(), entry.TimeStamp);
  }
  instutils::LogLine("File Copy: " + target);
  return true;
}

bool TAttachedFiles::ExtractFile(const TAttachedFile* source, const std::string& name, const std::string& target,
                                 TQuestionAsker& asker) {
  if (!source) {
    for (auto f = files_.rbegin(); f != files_.rend() && !source; ++f)
      if (SamePath(f->Name, name)) source = &*f;
    if (!source) return false;
  }
  if (!Installable(*source)) return false;
  for (;;) {
    if (WriteOnce(*source, target)) return true;
    switch (asker.CannotWrite(target)) {
      case faAbort:
        return false;
      case faIgnore:
        return true;
      case faNone:
        return true;  // no answer possible (the run is being stopped): skip the file
      case faRetry:
        break;
    }
  }
}
