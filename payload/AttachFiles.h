// The payload catalogue: the inflated archive and one entry per record.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "AttachedFile.h"
#include "PayloadArchive.h"

class TAttachedFiles {
 public:
  // Locates the "FILES" resource of `module`, inflates it and indexes its
  // records. Throws payload::PayloadDamaged when it is missing or damaged.
  explicit TAttachedFiles(HMODULE module);
  // The same from a zlib stream in memory (tests, benchmark).
  TAttachedFiles(const uint8_t* stream, uint32_t length);
  ~TAttachedFiles();
  TAttachedFiles(const TAttachedFiles&) = delete;
  TAttachedFiles& operator=(const TAttachedFiles&) = delete;

  const uint8_t* Data() const { return data_.get(); }
  int32_t DataSize() const { return dataSize_; }
  const std::vector<TAttachedFile>& Files() const { return files_; }

 private:
  void Load(const uint8_t* stream, uint32_t length);

  payload::HeapBlock data_;
  int32_t dataSize_ = 0;
  std::vector<TAttachedFile> files_;
};

// The single catalogue, from start-up to shutdown.
extern TAttachedFiles* AttachedFiles;
