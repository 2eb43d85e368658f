#include "tools/picturetour/Screenshot.h"

#include <cstdint>
#include <vector>

#include "base/WinHandles.h"

namespace tour {

namespace {

constexpr int kMaxGrabs = 10;
constexpr DWORD kGrabInterval = 200;

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rows;  // bottom-up BGR rows, each padded to four bytes
  int Stride() const { return (width * 3 + 3) & ~3; }
};

bool Grab(const RECT& area, Picture& out) {
  out.width = area.right - area.left;
  out.height = area.bottom - area.top;
  if (out.width <= 0 || out.height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = out.width;
  bi.bmiHeader.biHeight = out.height;  // bottom-up, as a BMP file stores it
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  base::UniqueGdiObject dib(CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  bool ok = false;
  if (dib && bits) {
    HGDIOBJ old = SelectObject(mem, dib.get());
    ok = BitBlt(mem, 0, 0, out.width, out.height, screen, area.left, area.top, SRCCOPY) != FALSE;
    GdiFlush();
    const auto* p = static_cast<const uint8_t*>(bits);
    out.rows.assign(p, p + size_t(out.Stride()) * size_t(out.height));
    SelectObject(mem, old);
  }
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
}

bool WriteBmp(const Picture& pic, const std::string& path) {
  BITMAPFILEHEADER fh = {};
  BITMAPINFOHEADER ih = {};
  ih.biSize = sizeof(ih);
  ih.biWidth = pic.width;
  ih.biHeight = pic.height;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  ih.biSizeImage = DWORD(pic.rows.size());
  fh.bfType = 0x4D42;  // "BM"
  fh.bfOffBits = sizeof(fh) + sizeof(ih);
  fh.bfSize = fh.bfOffBits + ih.biSizeImage;
  base::UniqueFile f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) return false;
  DWORD written = 0;
  bool ok = WriteFile(f.get(), &fh, sizeof(fh), &written, nullptr) && written == sizeof(fh);
  ok = ok && WriteFile(f.get(), &ih, sizeof(ih), &written, nullptr) && written == sizeof(ih);
  ok = ok && WriteFile(f.get(), pic.rows.data(), DWORD(pic.rows.size()), &written, nullptr) &&
       written == pic.rows.size();
  return ok;
}

}  // namespace

RECT AreaOf(HWND a, HWND b) {
  RECT area = {0, 0, 0, 0};
  for (HWND w : {a, b}) {
    RECT r;
    if (!w || !GetWindowRect(w, &r)) continue;
    if (IsRectEmpty(&area))
      area = r;
    else
      UnionRect(&area, &area, &r);
  }
  const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  IntersectRect(&area, &area, &screen);
  return area;
}

bool SaveStablePicture(const RECT& area, const std::string& path) {
  Picture last, next;
  if (!Grab(area, last)) return false;
  for (int i = 1; i < kMaxGrabs; ++i) {
    Sleep(kGrabInterval);
    if (!Grab(area, next)) return false;
    const bool same = next.rows == last.rows;
    last.rows.swap(next.rows);
    if (same) break;
  }
  return WriteBmp(last, path);
}

}  // namespace tour
