#include "wizard/PngImage.h"

#include <png.h>

#include <cstring>
#include <new>

namespace wizard {
namespace {

struct MemorySource {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

void ReadFromMemory(png_structp png, png_bytep out, size_t length) {
  auto* src = static_cast<MemorySource*>(png_get_io_ptr(png));
  if (length > src->size - src->pos) png_error(png, "truncated");
  std::memcpy(out, src->data + src->pos, length);
  src->pos += length;
}

// libpng's default build reads these chunks itself and refuses each of them
// ahead of IHDR as damage. The setup's libpng is built without them
// (cmake/libpng-reader.dfa) and skips them as unknown wherever they stand, so
// that refusal is made here; chunks it never knew stay allowed there.
bool ParsedChunkBeforeHeader(const uint8_t* data, size_t size) {
  static const char kParsed[][5] = {"bKGD", "cHRM", "eXIf", "gAMA", "hIST", "iCCP", "iTXt", "oFFs", "pCAL",
                                    "pHYs", "sBIT", "sCAL", "sPLT", "sRGB", "tEXt", "tIME", "zTXt"};
  size_t pos = 8;  // past the signature
  while (size - pos >= 8) {
    const uint8_t* name = data + pos + 4;
    if (std::memcmp(name, "IHDR", 4) == 0) return false;
    for (const char* parsed : kParsed)
      if (std::memcmp(name, parsed, 4) == 0) return true;
    const size_t length = (size_t{data[pos]} << 24) | (size_t{data[pos + 1]} << 16) |
                          (size_t{data[pos + 2]} << 8) | data[pos + 3];
    if (size - pos < 12 || length > size - pos - 12) return false;  // cut short: libpng refuses it
    pos += 12 + length;
  }
  return false;
}

[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// libpng reports errors by longjmp. Each method that calls into it arms the
// jump itself and creates no C++ object, so the jump never skips a destructor;
// memory is allocated by the caller between the two steps.
class PngReader {
 public:
  PngReader(const uint8_t* data, size_t size) : source_{data, size, 0} {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (png_) info_ = png_create_info_struct(png_);
  }
  ~PngReader() { png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr); }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;

  // Reads the header and sets up the conversion of any colour type, bit depth
  // and interlacing to 8-bit RGBA.
  bool ReadHeader(uint32_t max_side, uint32_t* width, uint32_t* height) {
    if (!png_ || !info_) return false;
    if (setjmp(png_jmpbuf(png_))) return false;
    png_set_read_fn(png_, &source_, ReadFromMemory);
    png_set_user_limits(png_, max_side, max_side);
    // A damaged ancillary chunk is damage too, not something to skip quietly.
    png_set_crc_action(png_, PNG_CRC_DEFAULT, PNG_CRC_ERROR_QUIT);
    png_read_info(png_, info_);

    const png_byte colour = png_get_color_type(png_, info_);
    const png_byte depth = png_get_bit_depth(png_, info_);
    if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png_);
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png_);
    const bool keyed = png_get_valid(png_, info_, PNG_INFO_tRNS) != 0;
    if (keyed) png_set_tRNS_to_alpha(png_);
    if (depth == 16) png_set_scale_16(png_);
    if (!(colour & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png_);
    if (!(colour & PNG_COLOR_MASK_ALPHA) && !keyed) png_set_filler(png_, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png_);
    png_read_update_info(png_, info_);

    *width = png_get_image_width(png_, info_);
    *height = png_get_image_height(png_, info_);
    return png_get_rowbytes(png_, info_) == static_cast<size_t>(*width) * 4;
  }

  // Reads every row, then the chunks up to IEND, so damage anywhere is noticed.
  bool ReadImage(png_bytepp rows) {
    if (setjmp(png_jmpbuf(png_))) return false;
    png_read_image(png_, rows);
    png_read_end(png_, nullptr);
    return true;
  }

 private:
  MemorySource source_;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

inline uint8_t Blend(uint8_t fg, uint8_t bg, uint8_t alpha) {
  return static_cast<uint8_t>((fg * alpha + bg * (255 - alpha) + 127) / 255);
}

}  // namespace

void TPngDecoder::Clear() {
  width_ = height_ = 0;
  std::vector<uint8_t>().swap(rgba_);
}

bool TPngDecoder::LoadFromResource(HMODULE module, const char* name, const char* type) {
  Clear();
  HRSRC res = ::FindResourceA(module, name, type);
  if (!res) return false;
  const DWORD size = ::SizeofResource(module, res);
  HGLOBAL loaded = ::LoadResource(module, res);
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data || size == 0) return false;
  return LoadFromMemory(static_cast<const uint8_t*>(data), size);
}

bool TPngDecoder::LoadFromMemory(const uint8_t* data, size_t size) {
  Clear();
  if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0) return false;
  if (ParsedChunkBeforeHeader(data, size)) return false;

  PngReader reader(data, size);
  uint32_t w = 0, h = 0;
  if (!reader.ReadHeader(kMaxSide, &w, &h)) return false;
  if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide) return false;  // libpng's limit, checked again

  std::vector<uint8_t> pixels;
  std::vector<png_bytep> rows;
  try {
    pixels.resize(static_cast<size_t>(w) * h * 4);
    rows.resize(h);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (uint32_t y = 0; y < h; ++y) rows[y] = &pixels[static_cast<size_t>(y) * w * 4];
  if (!reader.ReadImage(rows.data())) return false;

  width_ = w;
  height_ = h;
  rgba_.swap(pixels);
  return true;
}

HBITMAP TPngDecoder::CreateBitmap(COLORREF background) const {
  if (rgba_.empty()) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = static_cast<LONG>(width_);
  info.bmiHeader.biHeight = -static_cast<LONG>(height_);  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  if (!bits) {
    ::DeleteObject(bitmap);
    return nullptr;
  }

  const uint8_t bgR = GetRValue(background), bgG = GetGValue(background), bgB = GetBValue(background);
  const size_t stride = (static_cast<size_t>(width_) * 3 + 3) & ~static_cast<size_t>(3);
  for (uint32_t y = 0; y < height_; ++y) {
    const uint8_t* src = &rgba_[static_cast<size_t>(y) * width_ * 4];
    uint8_t* dst = static_cast<uint8_t*>(bits) + y * stride;
    for (uint32_t x = 0; x < width_; ++x, src += 4, dst += 3) {
      dst[0] = Blend(src[2], bgB, src[3]);
      dst[1] = Blend(src[1], bgG, src[3]);
      dst[2] = Blend(src[0], bgR, src[3]);
    }
  }
  return bitmap;
}

}  // namespace wizard
