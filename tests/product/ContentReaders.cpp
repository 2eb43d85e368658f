#include "ContentReaders.h"

#include <cstring>

namespace product_test {

namespace {

uint16_t U16(const std::string& d, size_t at) {
  return uint16_t(uint8_t(d[at]) | uint8_t(d[at + 1]) << 8);
}

uint32_t U32(const std::string& d, size_t at) { return U16(d, at) | uint32_t(U16(d, at + 2)) << 16; }

}  // namespace

std::string DecodeGif(const std::string& d, GifImage& out) {
  if (d.size() < 13 || (d.compare(0, 6, "GIF89a") != 0 && d.compare(0, 6, "GIF87a") != 0)) return "no GIF header";
  size_t p = 6;
  const int screenW = U16(d, p), screenH = U16(d, p + 2);
  const uint8_t flags = uint8_t(d[p + 4]);
  p += 7;
  if (flags & 0x80) {
    out.paletteSize = 2 << (flags & 7);
    p += size_t(3) * out.paletteSize;
  }
  for (;;) {
    if (p >= d.size()) return "no image before the end";
    const uint8_t block = uint8_t(d[p++]);
    if (block == 0x3B) return "trailer before any image";
    if (block == 0x21) {  // extension: label, then sub-blocks
      ++p;
      while (p < d.size() && d[p] != 0) p += 1 + uint8_t(d[p]);
      ++p;
      continue;
    }
    if (block != 0x2C) return "unknown block";
    break;
  }
  if (p + 10 > d.size()) return "image descriptor cut short";
  out.width = U16(d, p + 4);
  out.height = U16(d, p + 6);
  if (out.width == 0 || out.height == 0 || out.width > screenW || out.height > screenH) return "bad image size";
  if (uint8_t(d[p + 8]) & 0x80) return "local colour tables are not used here";
  p += 9;
  const int minCode = uint8_t(d[p++]);
  if (minCode < 2 || minCode > 8) return "bad LZW code size";

  std::string stream;
  while (p < d.size() && d[p] != 0) {
    const size_t n = uint8_t(d[p]);
    if (p + 1 + n > d.size()) return "data sub-block cut short";
    stream.append(d, p + 1, n);
    p += 1 + n;
  }
  if (p + 1 >= d.size() || d[p + 1] != 0x3B) return "no trailer after the image";

  const int clear = 1 << minCode, eoi = clear + 1;
  std::vector<std::vector<uint8_t>> table;
  auto reset = [&] {
    table.assign(clear + 2, {});
    for (int i = 0; i < clear; ++i) table[i] = {uint8_t(i)};
  };
  reset();
  int codeSize = minCode + 1;
  size_t bit = 0;
  int previous = -1;
  out.pixels.clear();
  for (;;) {
    if (bit + codeSize > stream.size() * 8) return "LZW data ends without an end code";
    int code = 0;
    for (int i = 0; i < codeSize; ++i, ++bit)
      if (uint8_t(stream[bit / 8]) >> (bit % 8) & 1) code |= 1 << i;
    if (code == clear) {
      reset();
      codeSize = minCode + 1;
      previous = -1;
      continue;
    }
    if (code == eoi) break;
    std::vector<uint8_t> entry;
    if (code < int(table.size()) && !table[code].empty()) {
      entry = table[code];
    } else if (code == int(table.size()) && previous >= 0) {
      entry = table[previous];
      entry.push_back(table[previous][0]);
    } else {
      return "LZW code out of range";
    }
    out.pixels.insert(out.pixels.end(), entry.begin(), entry.end());
    if (previous >= 0 && table.size() < 4096) {
      std::vector<uint8_t> added = table[previous];
      added.push_back(entry[0]);
      table.push_back(added);
      if (int(table.size()) == (1 << codeSize) && codeSize < 12) ++codeSize;
    }
    previous = code;
  }
  if (out.pixels.size() != size_t(out.width) * out.height) return "pixel count differs from the image size";
  for (uint8_t px : out.pixels)
    if (out.paletteSize && px >= out.paletteSize) return "pixel outside the palette";
  return "";
}

std::string CheckRtfGroups(const std::string& d) {
  if (d.compare(0, 6, "{\\rtf1") != 0) return "does not start with {\\rtf1";
  int depth = 0;
  size_t closedAt = std::string::npos;
  for (size_t i = 0; i < d.size(); ++i) {
    const char c = d[i];
    if (c == '\\') {
      ++i;  // an escaped brace or backslash is text
      continue;
    }
    if (c == '{') {
      if (closedAt != std::string::npos) return "text after the document's closing brace";
      ++depth;
    } else if (c == '}') {
      if (--depth < 0) return "unbalanced closing brace";
      if (depth == 0) closedAt = i;
    } else if (static_cast<unsigned char>(c) >= 0x80) {
      return "raw 8-bit character (must be escaped as \\'hh)";
    } else if (closedAt != std::string::npos && c != '\r' && c != '\n') {
      return "text after the document's closing brace";
    }
  }
  return depth == 0 && closedAt != std::string::npos ? "" : "unclosed group";
}

std::string DecodeLexicon(const std::string& d, Lexicon& out) {
  const size_t header = 28;
  if (d.size() < header || d.compare(0, 4, "VZLX") != 0) return "no lexicon header";
  if (U16(d, 4) != 1) return "unknown lexicon version";
  out.declaredBuckets = U16(d, 6);
  out.declaredWords = U32(d, 8);
  out.tag = std::string(d.c_str() + 12, strnlen(d.c_str() + 12, 16));
  std::string word;
  size_t p = header;
  while (p < d.size()) {
    if (p + 2 > d.size()) return "entry cut short";
    const uint8_t shared = uint8_t(d[p]), suffix = uint8_t(d[p + 1]);
    if (shared > word.size()) return "shared prefix longer than the previous word";
    if (p + 2 + suffix > d.size()) return "suffix cut short";
    out.entryOffsets.push_back(uint32_t(p));
    out.sharedPrefix.push_back(shared);
    word = word.substr(0, shared) + d.substr(p + 2, suffix);
    if (word.empty()) return "empty word";
    out.words.push_back(word);
    p += 2 + suffix;
  }
  return out.words.size() == out.declaredWords ? "" : "word count differs from the header";
}

}  // namespace product_test
