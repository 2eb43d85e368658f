// Non-copyable owners for the Win32 handles the setup holds.
#pragma once
#include <windows.h>
#include <utility>

namespace base {

// Closes a kernel handle (file, thread, event, search) exactly once.
template <typename Traits>
class UniqueHandleT {
 public:
  using Handle = typename Traits::Handle;
  UniqueHandleT() = default;
  explicit UniqueHandleT(Handle h) : h_(h) {}
  ~UniqueHandleT() { reset(); }
  UniqueHandleT(const UniqueHandleT&) = delete;
  UniqueHandleT& operator=(const UniqueHandleT&) = delete;
  UniqueHandleT(UniqueHandleT&& o) noexcept : h_(o.release()) {}
  UniqueHandleT& operator=(UniqueHandleT&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  Handle get() const { return h_; }
  bool valid() const { return Traits::Valid(h_); }
  explicit operator bool() const { return valid(); }
  Handle release() { return std::exchange(h_, Traits::Invalid()); }
  void reset(Handle h = Traits::Invalid()) {
    if (Traits::Valid(h_)) Traits::Close(h_);
    h_ = h;
  }
  Handle* out() { reset(); return &h_; }

 private:
  Handle h_ = Traits::Invalid();
};

struct FileHandleTraits {  // CreateFile reports failure as INVALID_HANDLE_VALUE
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(Handle h) { ::CloseHandle(h); }
};
struct KernelHandleTraits {  // CreateThread, CreateEvent report failure as NULL
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::CloseHandle(h); }
};
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(Handle h) { ::FindClose(h); }
};
struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::RegCloseKey(h); }
};
struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static Handle Invalid() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DeleteObject(h); }
};
struct IconTraits {
  using Handle = HICON;
  static Handle Invalid() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DestroyIcon(h); }
};
struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { if (::IsWindow(h)) ::DestroyWindow(h); }
};
struct MemoryDcTraits {  // CreateCompatibleDC
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DeleteDC(h); }
};
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::FreeLibrary(h); }
};

using UniqueFile = UniqueHandleT<FileHandleTraits>;
using UniqueHandle = UniqueHandleT<KernelHandleTraits>;
using UniqueFind = UniqueHandleT<FindHandleTraits>;
using UniqueHKey = UniqueHandleT<RegKeyTraits>;
using UniqueGdiObject = UniqueHandleT<GdiObjectTraits>;
using UniqueIcon = UniqueHandleT<IconTraits>;
using UniqueWindow = UniqueHandleT<WindowTraits>;
using UniqueModule = UniqueHandleT<ModuleTraits>;
using UniqueMemoryDc = UniqueHandleT<MemoryDcTraits>;

// HFONT owner; a typed wrapper so callers need no casts.
class UniqueFont {
 public:
  UniqueFont() = default;
  explicit UniqueFont(HFONT f) : obj_(f) {}
  HFONT get() const { return static_cast<HFONT>(obj_.get()); }
  explicit operator bool() const { return obj_.valid(); }
  void reset(HFONT f = nullptr) { obj_.reset(f); }

 private:
  UniqueGdiObject obj_;
};

// HBITMAP owner, typed like UniqueFont.
class UniqueBitmap {
 public:
  UniqueBitmap() = default;
  explicit UniqueBitmap(HBITMAP b) : obj_(b) {}
  HBITMAP get() const { return static_cast<HBITMAP>(obj_.get()); }
  explicit operator bool() const { return obj_.valid(); }
  void reset(HBITMAP b = nullptr) { obj_.reset(b); }

 private:
  UniqueGdiObject obj_;
};

// BeginPaint to EndPaint over one scope: WM_PAINT's device context.
class PaintDc {
 public:
  explicit PaintDc(HWND wnd) : wnd_(wnd), dc_(::BeginPaint(wnd, &ps_)) {}
  ~PaintDc() { ::EndPaint(wnd_, &ps_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND wnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// GetDC to ReleaseDC over one scope; a null window gives the screen's.
class WindowDc {
 public:
  explicit WindowDc(HWND wnd) : wnd_(wnd), dc_(::GetDC(wnd)) {}
  ~WindowDc() {
    if (dc_) ::ReleaseDC(wnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND wnd_;
  HDC dc_;
};

// An object selected into a device context for one scope; the one it
// replaced goes back on exit, so the context never ends up holding ours
// when it is released or ours is deleted.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
  ~SelectedObject() {
    if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// COM interface pointer owner: Release exactly once.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  T** out() { reset(); return &p_; }
  void** outVoid() { return reinterpret_cast<void**>(out()); }
  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }

 private:
  T* p_ = nullptr;
};

}  // namespace base
