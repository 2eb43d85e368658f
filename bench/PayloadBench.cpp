// Measures the catalogue's inflate-and-parse on the payload a setup carries,
// against a plain zlib uncompress of the same bytes into a buffer of the right
// size, in the same run.
//   payload_bench SETUP.EXE [ROUNDS]
#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "payload/AttachFiles.h"

using bench::Median;
using bench::Seconds;
using bench::WindowsPath;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: payload_bench SETUP.EXE [ROUNDS]\n");
    return 2;
  }
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
  HMODULE module = LoadLibraryExA(WindowsPath(argv[1]).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC res = module ? FindResourceA(module, "FILES", "FILES") : nullptr;
  if (!res) {
    std::fprintf(stderr, "payload_bench: no payload in %s\n", argv[1]);
    return 1;
  }
  const uint32_t compressed = SizeofResource(module, res);
  const auto* stream = static_cast<const uint8_t*>(LockResource(LoadResource(module, res)));

  std::vector<double> catalogue, raw;
  size_t records = 0;
  int32_t inflated = 0;
  for (int i = 0; i < rounds; ++i) {
    double t0 = Seconds();
    {
      TAttachedFiles files(stream, compressed);
      records = files.Files().size();
      inflated = files.DataSize();
    }
    catalogue.push_back(Seconds() - t0);

    std::vector<Bytef> out(size_t(inflated) + 1);
    uLongf outLen = uLongf(out.size());
    t0 = Seconds();
    int rc = uncompress(out.data(), &outLen, stream, compressed);
    raw.push_back(Seconds() - t0);
    if (rc != Z_OK || outLen != uLongf(inflated)) {
      std::fprintf(stderr, "payload_bench: uncompress disagrees (rc %d, %lu bytes)\n", rc, (unsigned long)outLen);
      return 1;
    }
  }
  const double c = Median(catalogue), r = Median(raw);
  const double mb = inflated / 1048576.0;
  std::printf("payload: %lu bytes compressed, %ld bytes inflated, %lu records (ratio %.2f)\n",
              (unsigned long)compressed, (long)inflated, (unsigned long)records, double(inflated) / compressed);
  std::printf("catalogue inflate+parse: %s, median of %d, %.1f MB/s of inflated output\n",
              bench::Spread(catalogue).c_str(), rounds, mb / c);
  std::printf("raw zlib uncompress:     %s, median of %d, %.1f MB/s\n", bench::Spread(raw).c_str(), rounds, mb / r);
  std::printf("catalogue / raw: %.2f\n", c / r);
  FreeLibrary(module);
  return 0;
}
