// PNG pictures from the executable's resources, turned into bitmaps for the
// wizard's image controls.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace wizard {

// Holds one decoded picture as 8-bit RGBA; loading another replaces it, so
// one object serves the small logo and then the big one.
class TPngDecoder {
 public:
  // Larger pictures are refused as damaged: nothing the setup carries comes near.
  static constexpr uint32_t kMaxSide = 4096;

  // False when the resource is missing or damaged; the previous picture is dropped either way.
  bool LoadFromResource(HMODULE module, const char* name, const char* type = "PNG");
  // Any colour type, bit depth and interlacing; false for anything damaged or cut short.
  bool LoadFromMemory(const uint8_t* data, size_t size);

  int Width() const { return static_cast<int>(width_); }    // 0 when nothing is loaded
  int Height() const { return static_cast<int>(height_); }

  // A new top-down 24-bit DIB section at the picture's own size, translucent
  // pixels blended over `background`; nullptr when nothing is loaded. The
  // caller owns it.
  HBITMAP CreateBitmap(COLORREF background) const;

 private:
  void Clear();

  uint32_t width_ = 0;
  uint32_t height_ = 0;
  std::vector<uint8_t> rgba_;
};

}  // namespace wizard
