// Entry point: version gate, taskbar identity, catalogue, and shutdown.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <exception>
#include <new>
#include <string>

#include "base/StartupMarks.h"
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
  setup::AppWindow app(instance, setup::kAppTitle);
  base::StartupMark("application-window");
  try {
    AttachedFiles = new TAttachedFiles(instance);
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
