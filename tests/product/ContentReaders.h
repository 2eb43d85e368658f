// Independent readers for the payload's file kinds, so that a test can tell a
// well-formed file from one that merely starts with the right bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace product_test {

struct GifImage {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;  // palette indices, row by row
  int paletteSize = 0;
};

// Decodes the first image of a GIF file; returns an error text or "".
std::string DecodeGif(const std::string& data, GifImage& out);

// Checks that an RTF document's groups are balanced and the whole text is one
// group; returns an error text or "".
std::string CheckRtfGroups(const std::string& data);

struct Lexicon {
  std::string tag;
  uint32_t declaredWords = 0;
  uint16_t declaredBuckets = 0;
  std::vector<std::string> words;
  std::vector<uint32_t> entryOffsets;  // file offset of each word's entry
  std::vector<uint8_t> sharedPrefix;   // shared-prefix byte of each entry
};

// Decodes a front-coded .zlx lexicon; returns an error text or "".
std::string DecodeLexicon(const std::string& data, Lexicon& out);

}  // namespace product_test
