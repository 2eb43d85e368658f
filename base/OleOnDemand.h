// OLE for the setup's own thread, started on first need. Loading ole32 and
// what it brings costs the first page a tenth of its start-up, and only the
// shortcuts and the screen readers' objects need it.
#pragma once
#include <windows.h>
#include <objbase.h>

#include "base/SystemLibrary.h"

namespace base {

class OleOnDemand {
 public:
  // Loads ole32 and starts OLE on the calling thread if no thread has yet;
  // true when OLE runs on the calling thread.
  static bool Ensure() {
    State& s = Get();
    if (!s.Load()) return false;
    if (!s.Thread) {
      s.Thread = GetCurrentThreadId();
      s.Initialised = SUCCEEDED(s.Initialize(nullptr));
    }
    return s.Thread == GetCurrentThreadId() && s.Initialised;
  }

  // CoCreateInstance, after Ensure.
  static HRESULT CreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out) {
    *out = nullptr;
    Ensure();
    State& s = Get();
    return s.Create ? s.Create(clsid, outer, context, iid, out) : REGDB_E_CLASSNOTREG;
  }

  // A function of ole32 once it is loaded; null before.
  template <typename Fn>
  static Fn Function(const char* name) {
    return SystemFunction<Fn>(Get().Module, name);
  }

  // Ends OLE, on the thread that started it.
  static void End() {
    State& s = Get();
    if (s.Initialised && s.Thread == GetCurrentThreadId()) s.Uninitialize();
    s.Initialised = false;
  }

 private:
  struct State {
    HMODULE Module = nullptr;
    HRESULT(WINAPI* Initialize)(LPVOID) = nullptr;
    void(WINAPI* Uninitialize)() = nullptr;
    HRESULT(WINAPI* Create)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*) = nullptr;
    DWORD Thread = 0;
    bool Initialised = false;

    bool Load() {
      if (Initialize) return true;
      if (!(Module = LoadSystemLibrary("ole32.dll"))) return false;  // stays: objects handed out call into it
      Uninitialize = SystemFunction<decltype(Uninitialize)>(Module, "OleUninitialize");
      Create = SystemFunction<decltype(Create)>(Module, "CoCreateInstance");
      Initialize = SystemFunction<decltype(Initialize)>(Module, "OleInitialize");
      return Initialize && Uninitialize;
    }
  };

  static State& Get() {
    static State state;
    return state;
  }
};

}  // namespace base
