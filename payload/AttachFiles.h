// The payload catalogue: the inflated archive, one entry per record, the six
// per-component install plans, and the extraction of single files.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "AttachedFile.h"
#include "PayloadArchive.h"
#include "QuestionAsker.h"
#include "RecordName.h"

// Replace rules of a planned file.
enum TReplaceRule : uint8_t { rrKeepExisting = 0, rrReplaceIfDifferent = 1, rrAlways = 2 };

// One planned extraction.
struct TFileToInstall {
  const TAttachedFile* Source = nullptr;  // an entry of the catalogue's Files
  std::string Target;                     // full path of the file to write
  bool Logged = false;                    // recorded in the installation log
};

using TFileToInstallList = std::vector<TFileToInstall>;
constexpr int kPlanCount = 6;  // one plan per component number

class TAttachedFiles {
 public:
  // Locates the "FILES" resource of `module`, inflates it and indexes its
  // records. Throws payload::PayloadDamaged when it is missing or damaged.
  explicit TAttachedFiles(HMODULE module);
  // The same from a zlib stream in memory (tests, benchmark).
  TAttachedFiles(const uint8_t* stream, uint32_t length);
  // Frees the lists and the archive, then this setup's temporary files.
  ~TAttachedFiles();
  TAttachedFiles(const TAttachedFiles&) = delete;
  TAttachedFiles& operator=(const TAttachedFiles&) = delete;

  const uint8_t* Data() const { return data_.get(); }
  int32_t DataSize() const { return dataSize_; }
  const std::vector<TAttachedFile>& Files() const { return files_; }

  // Bytes the items of fileList (separated by line breaks; an item ending in
  // "\" is a folder prefix) take on the volume of destFolder, each file
  // rounded up to whole clusters. Items that match nothing count 0.
  int32_t RequiredSpace(const std::string& fileList, const std::string& destFolder) const;
  void ClearPlan(uint8_t component);
  // Plans the record named pattern, or every record below the folder prefix
  // pattern (ending in "\"), for extraction below folder (or to folder itself
  // while UseTargetAsGiven is on). True when at least one file was planned.
  bool AddFiles(const std::string& pattern, const std::string& folder, uint8_t component, uint8_t rule);
  int32_t PlannedSize() const;
  // Writes the record (source, else the last record named name) to target
  // with its stored time. Failures ask asker Abort/Retry/Ignore; false means
  // Abort, or that there is no such record.
  bool ExtractFile(const TAttachedFile* source, const std::string& name, const std::string& target,
                   TQuestionAsker& asker);

  std::array<TFileToInstallList, kPlanCount> Plans;
  std::vector<std::string> UpdateList;  // planned targets in the public data folder
  bool AlwaysReplace = false;

 private:
  void Load(const uint8_t* stream, uint32_t length);
  bool PlanOne(const TAttachedFile& entry, const std::string& folder, uint8_t component, uint8_t requestedRule,
               uint8_t rule, const std::string& publicPrefix);
  bool Installable(const TAttachedFile& entry) const;
  bool WriteOnce(const TAttachedFile& entry, const std::string& target);

  payload::HeapBlock data_;
  int32_t dataSize_ = 0;
  std::vector<TAttachedFile> files_;
  std::vector<bool> safeName_;           // per entry: the name stays below the folder it is planned into
  std::vector<std::string> upperNames_;  // per entry: the name as AddFiles compares it
  std::string publicPrefix_;             // the public data folder, for UpdateList
  std::string madeFolder_;               // the folder the last file was written to
};

// The single catalogue, from start-up to shutdown.
extern TAttachedFiles* AttachedFiles;
// While on, AddFiles takes its folder argument as the complete target path.
extern bool UseTargetAsGiven;

// The message of a file that cannot be written.
std::string CannotCreateFileMessage(const std::string& target);
