#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/WinHandles.h"
#include "wizard/PngImage.h"

using wizard::TPngDecoder;

namespace {

// Small pictures with known pixels, one per colour type the decoder must
// expand; written by a throwaway encoder and checked with an independent decoder.
// 2 x 2 RGBA, 8 bits: red; green at alpha 128; blue at alpha 0; (10, 20, 30).
const uint8_t kRgba8[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00, 0x00, 0x72, 0xb6, 0x0d,
    0x24, 0x00, 0x00, 0x00, 0x16, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0xf8, 0xcf, 0xc0, 0xf0,
    0x1f, 0x08, 0x1b, 0x18, 0x40, 0x34, 0x97, 0x88, 0xdc, 0x7f, 0x00, 0x37, 0x80, 0x05, 0xb8, 0x88,
    0x71, 0xa6, 0x15, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};

// 3 x 2, 2-bit palette with transparency: (200, 100, 50); black at alpha 0;
// white at alpha 128 / (12, 34, 56); white at alpha 128; (200, 100, 50).
const uint8_t kPalette2[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x02, 0x02, 0x03, 0x00, 0x00, 0x00, 0xe0, 0x1a, 0x8e,
    0x89, 0x00, 0x00, 0x00, 0x0c, 0x50, 0x4c, 0x54, 0x45, 0xc8, 0x64, 0x32, 0x00, 0x00, 0x00, 0xff,
    0xff, 0xff, 0x0c, 0x22, 0x38, 0x99, 0x45, 0x43, 0xac, 0x00, 0x00, 0x00, 0x03, 0x74, 0x52, 0x4e,
    0x53, 0xff, 0x00, 0x80, 0xa9, 0x56, 0x73, 0x13, 0x00, 0x00, 0x00, 0x0c, 0x49, 0x44, 0x41, 0x54,
    0x78, 0xda, 0x63, 0x90, 0x60, 0x78, 0x00, 0x00, 0x01, 0x2c, 0x00, 0xf9, 0x37, 0xa9, 0xf0, 0xd9,
    0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};

// 2 x 2 gray, 16 bits, no colour-space chunk: 0x0000, 0xFFFF / 0x8080, 0x1234.
const uint8_t kGray16[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x10, 0x00, 0x00, 0x00, 0x00, 0x07, 0x4d, 0x8e,
    0xbb, 0x00, 0x00, 0x00, 0x12, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0x60, 0x60, 0xf8, 0xff,
    0x9f, 0xa1, 0xa1, 0x41, 0xc8, 0x04, 0x00, 0x10, 0xd5, 0x03, 0x45, 0xf1, 0xf7, 0xe7, 0xa6, 0x00,
    0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};

// 2 x 2 gray, 4 bits, gray 5 transparent: 0, 5 / 15, 9.
const uint8_t kGray4Keyed[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x04, 0x00, 0x00, 0x00, 0x00, 0x92, 0x2d, 0xbf,
    0xf9, 0x00, 0x00, 0x00, 0x02, 0x74, 0x52, 0x4e, 0x53, 0x00, 0x05, 0x06, 0xf9, 0x39, 0xb7, 0x00,
    0x00, 0x00, 0x0c, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0x60, 0x65, 0xf8, 0x09, 0x00, 0x01,
    0x0c, 0x00, 0xff, 0x97, 0x88, 0x65, 0xc8, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae,
    0x42, 0x60, 0x82,
};

// 5 x 5 RGB, 8 bits, Adam7-interlaced: pixel (x, y) is (50x, 50y, 250 - 20(x + y)).
const uint8_t kRgbInterlaced[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x05, 0x08, 0x02, 0x00, 0x00, 0x01, 0x75, 0x0a, 0x81,
    0x24, 0x00, 0x00, 0x00, 0x46, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x0d, 0xc1, 0x31, 0x01, 0x80,
    0x30, 0x14, 0x43, 0xc1, 0xa7, 0x29, 0x72, 0x98, 0x33, 0x23, 0xa2, 0x22, 0x22, 0xe2, 0x8b, 0xe8,
    0x9c, 0xb9, 0x22, 0x10, 0xc1, 0x04, 0x77, 0xc0, 0x4b, 0x19, 0xe8, 0xb4, 0x17, 0xe6, 0xe0, 0x2e,
    0xf0, 0xb1, 0xa7, 0x5e, 0x88, 0x27, 0x6c, 0xe4, 0x1d, 0x07, 0x35, 0xe9, 0x0d, 0x7a, 0xa4, 0x63,
    0xed, 0x68, 0xaa, 0x40, 0xb6, 0x32, 0xce, 0x6f, 0x35, 0xf7, 0x07, 0xb3, 0x9d, 0x24, 0x23, 0xbc,
    0x8e, 0x76, 0x59, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};

struct Rgba {
  int r, g, b, a;
};

struct Rgb {
  int r, g, b;
};

// The pixels of any bitmap as GDI reads them back, top row first.
std::vector<Rgb> ReadBack(HBITMAP bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint8_t> bgrx(static_cast<size_t>(width) * height * 4);
  HDC dc = CreateCompatibleDC(nullptr);
  const int rows = GetDIBits(dc, bitmap, 0, height, bgrx.data(), &info, DIB_RGB_COLORS);
  DeleteDC(dc);
  EXPECT_EQ(rows, height);
  std::vector<Rgb> pixels;
  for (size_t i = 0; i < bgrx.size(); i += 4) pixels.push_back({bgrx[i + 2], bgrx[i + 1], bgrx[i]});
  return pixels;
}

BITMAP SizeOf(HBITMAP bitmap) {
  BITMAP bm{};
  EXPECT_NE(GetObjectA(bitmap, sizeof(bm), &bm), 0);
  return bm;
}

int Over(int fg, int bg, int alpha) { return (fg * alpha + bg * (255 - alpha)) / 255; }

struct Case {
  const char* name;
  const uint8_t* data;
  size_t size;
  int width, height;
  std::vector<Rgba> pixels;
};

std::vector<Case> Cases() {
  std::vector<Rgba> interlaced;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) interlaced.push_back({50 * x, 50 * y, 250 - 20 * (x + y), 255});
  return {
      {"rgba8", kRgba8, sizeof kRgba8, 2, 2, {{255, 0, 0, 255}, {0, 255, 0, 128}, {0, 0, 255, 0}, {10, 20, 30, 255}}},
      {"palette2", kPalette2, sizeof kPalette2, 3, 2,
       {{200, 100, 50, 255}, {0, 0, 0, 0}, {255, 255, 255, 128}, {12, 34, 56, 255}, {255, 255, 255, 128},
        {200, 100, 50, 255}}},
      {"gray16", kGray16, sizeof kGray16, 2, 2,
       {{0, 0, 0, 255}, {255, 255, 255, 255}, {128, 128, 128, 255}, {18, 18, 18, 255}}},
      {"gray4keyed", kGray4Keyed, sizeof kGray4Keyed, 2, 2,
       {{0, 0, 0, 255}, {85, 85, 85, 0}, {255, 255, 255, 255}, {153, 153, 153, 255}}},
      {"interlaced", kRgbInterlaced, sizeof kRgbInterlaced, 5, 5, interlaced},
  };
}

// A copy of some bytes that ends exactly where an inaccessible page begins:
// reading one byte past the data faults.
class GuardedCopy {
 public:
  GuardedCopy(const uint8_t* data, size_t size) {
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    const size_t page = si.dwPageSize;
    const size_t span = (size / page + 1) * page;
    base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, span + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old;
    VirtualProtect(base_ + span, page, PAGE_NOACCESS, &old);
    data_ = base_ + span - size;
    if (size) memcpy(data_, data, size);
  }
  ~GuardedCopy() { VirtualFree(base_, 0, MEM_RELEASE); }
  const uint8_t* data() const { return data_; }

 private:
  uint8_t* base_ = nullptr;
  uint8_t* data_ = nullptr;
};

void PutChunk(std::vector<uint8_t>& png, const char* kind, const std::vector<uint8_t>& body) {
  const uint8_t len[4] = {uint8_t(body.size() >> 24), uint8_t(body.size() >> 16), uint8_t(body.size() >> 8),
                          uint8_t(body.size())};
  png.insert(png.end(), len, len + 4);
  const size_t start = png.size();
  png.insert(png.end(), kind, kind + 4);
  png.insert(png.end(), body.begin(), body.end());
  const uLong crc = crc32(0, png.data() + start, static_cast<uInt>(png.size() - start));
  for (int shift = 24; shift >= 0; shift -= 8) png.push_back(uint8_t(crc >> shift));
}

// A well-formed, fully transparent RGBA picture of any size.
std::vector<uint8_t> BlankPng(uint32_t width, uint32_t height) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> ihdr = {uint8_t(width >> 24), uint8_t(width >> 16), uint8_t(width >> 8), uint8_t(width),
                               uint8_t(height >> 24), uint8_t(height >> 16), uint8_t(height >> 8), uint8_t(height),
                               8, 6, 0, 0, 0};
  PutChunk(png, "IHDR", ihdr);
  std::vector<uint8_t> raw((static_cast<size_t>(width) * 4 + 1) * height, 0);
  std::vector<uint8_t> packed(compressBound(static_cast<uLong>(raw.size())));
  uLongf packedSize = static_cast<uLongf>(packed.size());
  compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()));
  packed.resize(packedSize);
  PutChunk(png, "IDAT", packed);
  PutChunk(png, "IEND", {});
  return png;
}

const Rgb kBackgrounds[] = {{255, 255, 255}, {30, 140, 220}};

TEST(PngDecoder, EveryColourTypeComesOutOverAnyBackground) {
  TPngDecoder decoder;  // one object for all, as the window uses it
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(decoder.LoadFromMemory(c.data, c.size));
    ASSERT_EQ(decoder.Width(), c.width);
    ASSERT_EQ(decoder.Height(), c.height);
    for (const Rgb& bg : kBackgrounds) {
      base::UniqueBitmap bitmap(decoder.CreateBitmap(RGB(bg.r, bg.g, bg.b)));
      ASSERT_TRUE(bitmap);
      const BITMAP bm = SizeOf(bitmap.get());
      EXPECT_EQ(bm.bmWidth, c.width);
      EXPECT_EQ(bm.bmHeight, c.height);
      EXPECT_EQ(bm.bmBitsPixel, 24);
      const std::vector<Rgb> got = ReadBack(bitmap.get(), c.width, c.height);
      for (size_t i = 0; i < got.size(); ++i) {
        const Rgba& want = c.pixels[i];
        SCOPED_TRACE("pixel " + std::to_string(i) + " over " + std::to_string(bg.r) + "," + std::to_string(bg.g) +
                     "," + std::to_string(bg.b));
        EXPECT_NEAR(got[i].r, Over(want.r, bg.r, want.a), 1);
        EXPECT_NEAR(got[i].g, Over(want.g, bg.g, want.a), 1);
        EXPECT_NEAR(got[i].b, Over(want.b, bg.b, want.a), 1);
      }
    }
  }
}

TEST(PngDecoder, DamagedDataIsRefusedWithoutReadingPastIt) {
  TPngDecoder decoder;
  auto refused = [&decoder](const uint8_t* data, size_t size) {
    EXPECT_TRUE(decoder.LoadFromMemory(kRgba8, sizeof kRgba8));
    GuardedCopy copy(data, size);
    const bool loaded = decoder.LoadFromMemory(copy.data(), size);
    // The picture loaded before must not survive a failed load.
    const bool dropped = decoder.Width() == 0 && decoder.Height() == 0 && decoder.CreateBitmap(0) == nullptr;
    return !loaded && dropped;
  };

  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    for (size_t cut = 0; cut < c.size; ++cut) EXPECT_TRUE(refused(c.data, cut)) << "cut to " << cut << " bytes";
    // Every single damaged byte past the signature: a chunk check or the image data catches it.
    std::vector<uint8_t> bad(c.data, c.data + c.size);
    for (size_t i = 8; i < bad.size(); ++i) {
      bad[i] ^= 0x5A;
      EXPECT_TRUE(refused(bad.data(), bad.size())) << "byte " << i << " damaged";
      bad[i] ^= 0x5A;
    }
  }

  // Damage that chunk checksums cannot see: a broken compressed stream with a correct checksum.
  std::vector<uint8_t> png = BlankPng(3, 3);
  const size_t idat = 8 + 25 + 8;  // first IDAT data byte
  png[idat + 2] ^= 0xFF;
  const uLong crc = crc32(0, png.data() + idat - 4, static_cast<uInt>(png.size() - 12 - 4 - (idat - 4)));
  for (int k = 0; k < 4; ++k) png[png.size() - 12 - 4 + k] = uint8_t(crc >> (24 - 8 * k));
  EXPECT_TRUE(refused(png.data(), png.size()));

  // Ahead of IHDR, a chunk libpng reads is damage; one it does not know is skipped.
  auto leading = [](const char* kind) {
    std::vector<uint8_t> png = BlankPng(2, 2), early(png.begin(), png.begin() + 8);
    PutChunk(early, kind, {0, 0, 0xB1, 0x8F});
    early.insert(early.end(), png.begin() + 8, png.end());
    return early;
  };
  for (const char* kind : {"gAMA", "tEXt", "sRGB", "pHYs"}) {
    const std::vector<uint8_t> png = leading(kind);
    EXPECT_TRUE(refused(png.data(), png.size())) << kind << " ahead of IHDR";
  }
  const std::vector<uint8_t> unknown = leading("vpAg");
  EXPECT_TRUE(decoder.LoadFromMemory(unknown.data(), unknown.size()));

  std::vector<uint8_t> largest = BlankPng(TPngDecoder::kMaxSide, 1);
  EXPECT_TRUE(decoder.LoadFromMemory(largest.data(), largest.size()));
  EXPECT_EQ(decoder.Width(), 4096);
  std::vector<uint8_t> wide = BlankPng(TPngDecoder::kMaxSide + 1, 1);
  std::vector<uint8_t> tall = BlankPng(1, TPngDecoder::kMaxSide + 1);
  EXPECT_TRUE(refused(wide.data(), wide.size()));
  EXPECT_TRUE(refused(tall.data(), tall.size()));
}

TEST(PngDecoder, WizardPicturesDecodeInTurnIntoOneObject) {
  HMODULE self = GetModuleHandleA(nullptr);
  TPngDecoder decoder;
  ASSERT_TRUE(decoder.LoadFromResource(self, "LOGOSMALL"));
  EXPECT_EQ(decoder.Width(), 32);
  EXPECT_EQ(decoder.Height(), 32);
  // It sits on the white header, so its corner is white whatever it is blended over.
  base::UniqueBitmap small(decoder.CreateBitmap(RGB(0, 0, 0)));
  ASSERT_TRUE(small);
  const Rgb corner = ReadBack(small.get(), 32, 32)[0];
  EXPECT_EQ(corner.r + corner.g + corner.b, 3 * 255);

  ASSERT_TRUE(decoder.LoadFromResource(self, "LOGO"));
  ASSERT_EQ(decoder.Width(), 120);
  ASSERT_EQ(decoder.Height(), 260);
  base::UniqueBitmap onBlack(decoder.CreateBitmap(RGB(0, 0, 0)));
  base::UniqueBitmap onWhite(decoder.CreateBitmap(RGB(255, 255, 255)));
  ASSERT_TRUE(onBlack && onWhite);
  EXPECT_EQ(SizeOf(onBlack.get()).bmHeight, 260);
  const std::vector<Rgb> black = ReadBack(onBlack.get(), 120, 260);
  const std::vector<Rgb> white = ReadBack(onWhite.get(), 120, 260);
  // Opaque, and deep blue at the top.
  EXPECT_EQ(0, memcmp(black.data(), white.data(), black.size() * sizeof(Rgb)));
  EXPECT_GT(black[0].b, black[0].r + 80);
  EXPECT_GT(black[0].b, black[0].g + 40);

  EXPECT_FALSE(decoder.LoadFromResource(self, "NOSUCHPICTURE"));
  EXPECT_EQ(decoder.Width(), 0);
  EXPECT_EQ(decoder.CreateBitmap(0), nullptr);
}

TEST(WizardBitmaps, ListPicturesAreDrawnOnTheirBottomLeftKeyColour) {
  const struct {
    const char* name;
    int width, height;
  } pictures[] = {{"FIXEDDRIVE", 16, 16}, {"REMOVABLEDRIVE", 16, 16}, {"OPENFOLDER", 16, 14}, {"CLOSEDFOLDER", 16, 14}};
  for (const auto& p : pictures) {
    SCOPED_TRACE(p.name);
    base::UniqueBitmap bitmap(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), p.name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ASSERT_TRUE(bitmap);
    const BITMAP bm = SizeOf(bitmap.get());
    ASSERT_EQ(bm.bmWidth, p.width);
    ASSERT_EQ(bm.bmHeight, p.height);
    const std::vector<Rgb> pixels = ReadBack(bitmap.get(), p.width, p.height);
    const Rgb key = pixels[static_cast<size_t>(p.height - 1) * p.width];
    EXPECT_EQ(key.r, 255);
    EXPECT_EQ(key.g, 0);
    EXPECT_EQ(key.b, 255);
    // Something is drawn, and it covers a good part of the picture.
    int drawn = 0;
    for (const Rgb& px : pixels) drawn += !(px.r == key.r && px.g == key.g && px.b == key.b);
    EXPECT_GT(drawn, p.width * p.height / 3);
  }
}

}  // namespace
