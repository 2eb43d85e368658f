// One payload record as the catalogue indexes it.
#pragma once
#include <cstdint>
#include <string>

struct TAttachedFile {
  std::string Name;        // stored relative name, "\" between folder levels
  int32_t Size = 0;        // data byte count
  double TimeStamp = 0;    // TDateTime, local time
  int32_t Offset = 0;      // position of the data inside the inflated archive
};
