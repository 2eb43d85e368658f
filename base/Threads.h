// Owners for a critical section and a thread, straight on the Windows
// primitives: the runtime's own std::thread and std::mutex need a threads
// library that imports functions newer than Windows 2000.
#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <system_error>
#include <utility>

#include "base/WinHandles.h"

namespace base {

// Recursive, like every critical section: the same thread may enter again.
class CriticalSection {
 public:
  CriticalSection() { ::InitializeCriticalSection(&cs_); }
  ~CriticalSection() { ::DeleteCriticalSection(&cs_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;
  void Enter() { ::EnterCriticalSection(&cs_); }
  void Leave() { ::LeaveCriticalSection(&cs_); }

 private:
  CRITICAL_SECTION cs_;
};

class ScopedLock {
 public:
  explicit ScopedLock(CriticalSection& cs) : cs_(cs) { cs_.Enter(); }
  ~ScopedLock() { cs_.Leave(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

 private:
  CriticalSection& cs_;
};

// Runs a body on a new thread; the owner joins it before it goes, so the body
// may use whatever outlives the owner. An exception escaping the body ends
// the process, as with std::thread: nothing may be left half done unseen.
class Thread {
 public:
  Thread() = default;
  // Throws std::system_error when Windows cannot start the thread.
  explicit Thread(std::function<void()> body) {
    auto owned = std::make_unique<std::function<void()>>(std::move(body));
    HANDLE h = ::CreateThread(nullptr, 0, &Thread::Run, owned.get(), 0, nullptr);
    if (!h) throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), "CreateThread");
    owned.release();  // the thread owns it now
    handle_.reset(h);
  }
  ~Thread() { Join(); }
  Thread(Thread&&) = default;
  Thread& operator=(Thread&& o) noexcept {
    if (this != &o) {
      Join();
      handle_ = std::move(o.handle_);
    }
    return *this;
  }

  bool Joinable() const { return handle_.valid(); }
  void Join() {
    if (!handle_) return;
    ::WaitForSingleObject(handle_.get(), INFINITE);
    handle_.reset();
  }

 private:
  static DWORD WINAPI Run(void* arg) {
    std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(arg));
    try {
      (*body)();
    } catch (...) {
      std::terminate();
    }
    return 0;
  }

  UniqueHandle handle_;
};

}  // namespace base
