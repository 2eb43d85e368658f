// Entry point: version gate, taskbar identity, catalogue, and shutdown.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <exception>
#include <new>
#include <string>

#include "base/StartupMarks.h"
#include "base/Threads.h"
#include "instutils/DllSearch.h"
#include "instutils/Logs.h"
#include "payload/AttachFiles.h"
#include "registration/Settings.h"
#include "setup/AppWindow.h"
#include "setup/SetupTexts.h"
#include "setup/Startup.h"
#include "wizard/MainDlg.h"

namespace {

void ReportDamagedSetup(HWND owner, const char* why) {
  char text[1024];
  std::snprintf(text, sizeof(text), setup::kDamagedSetup, why);
  MessageBoxA(owner, text, setup::kAppTitle, MB_OK | MB_ICONERROR);
}

void RunSetup(HINSTANCE instance) {
  if (!setup::QualifiesForSetup(setup::OsVersion())) {
    MessageBoxA(nullptr, setup::kVersionRefusal, nullptr, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  // The catalogue unpacks on a thread of its own while the window system
  // starts for the application window; a damaged one is reported as before,
  // owned by that window. (Loading a DLL there too would only wait for the
  // loader the window system holds.)
  std::unique_ptr<TAttachedFiles> unpacked;
  std::exception_ptr unpackFailure;
  auto unpackCatalogue = [&] {
    try {
      unpacked = std::make_unique<TAttachedFiles>(instance);
    } catch (...) {
      unpackFailure = std::current_exception();
    }
  };
  base::Thread unpack;
  try {
    unpack = base::Thread(unpackCatalogue);
  } catch (const std::system_error&) {
    unpackCatalogue();  // no thread to be had: here, then
  }
  setup::AppWindow app(instance, setup::kAppTitle);
  base::StartupMark("application-window");
  unpack.Join();
  try {
    if (unpackFailure) std::rethrow_exception(unpackFailure);
    AttachedFiles = unpacked.release();
    base::StartupMark("catalogue");
  } catch (const payload::PayloadDamaged& e) {
    ReportDamagedSetup(app.handle(), e.what());
    return;
  } catch (const std::bad_alloc&) {
    ReportDamagedSetup(app.handle(), "not enough memory to unpack it");
    return;
  }
  std::unique_ptr<TAttachedFiles> catalogue(AttachedFiles);
  {
    wizard::TMainDlgForm form(instance, setup::CommandLineArguments());
    form.ShowModal();
    if (instutils::InstallStarted) {
      form.WaitForInstallRun();  // nothing is saved while the worker may still write
      SaveSettings(form.SettingsToSave());
      if (!form.IsPortableInstall()) instutils::SaveInstallLog();
    }
  }
  catalogue.reset();
  AttachedFiles = nullptr;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  base::StartupMark("winmain");
  instutils::RestrictDllSearch();
  setup::InitialiseProcess();
  base::StartupMark("process-initialised");
  try {
    RunSetup(instance);
  } catch (const std::exception& e) {
    // Nothing may end the process with another code, but it must not fail silently.
    MessageBoxA(nullptr, e.what(), setup::kAppTitle, MB_OK | MB_ICONERROR);
  }
  setup::FinaliseProcess();
  return 0;  // in every case
}
