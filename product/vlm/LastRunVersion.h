// The version the program leaves for the next setup, which decides by it
// what an older copy may have left behind.
#pragma once
#include <cstdint>

#include "resources/Version.h"

namespace vlm {

struct TVersion {
  int Major, Minor, Release, Build;
};

inline constexpr TVersion kProductVersion = {VELLUMAR_VERSION_NUMBERS};

// major x 10,000,000 + minor x 100,000 + release x 1,000 + build.
constexpr int32_t EncodeVersion(const TVersion& v) {
  return v.Major * 10000000 + v.Minor * 100000 + v.Release * 1000 + v.Build;
}

// Writes "LastRunVer" under the current user's Internal key; failures are
// silent (the setup then treats the product as never run).
void WriteLastRunVersion();

}  // namespace vlm
