#include "AttachFiles.h"

TAttachedFiles* AttachedFiles = nullptr;

namespace {

// The compressed bytes stay in the loaded image; nothing is copied.
void LocatePayload(HMODULE module, const uint8_t*& stream, uint32_t& length) {
  HRSRC res = FindResourceA(module, "FILES", "FILES");
  if (!res) throw payload::PayloadDamaged("the payload resource is missing");
  length = SizeofResource(module, res);
  HGLOBAL loaded = LoadResource(module, res);
  stream = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  if (!stream) throw payload::PayloadDamaged("the payload resource cannot be loaded");
}

}  // namespace

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
}

TAttachedFiles::~TAttachedFiles() = default;
