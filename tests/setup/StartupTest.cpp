#include <gtest/gtest.h>
#include <shlobj.h>

#include "tests/support/Names.h"
#include "instutils/DllSearch.h"
#include "instutils/ShellFolders.h"
#include "setup/AppWindow.h"
#include "setup/Startup.h"

namespace {

OSVERSIONINFOA Version(DWORD platform, DWORD major, DWORD minor) {
  OSVERSIONINFOA v = {};
  v.dwOSVersionInfoSize = sizeof(v);
  v.dwPlatformId = platform;
  v.dwMajorVersion = major;
  v.dwMinorVersion = minor;
  return v;
}

}  // namespace

TEST(VersionGate, Windows2000AndLaterOnTheNtPlatformQualify) {
  struct Case { DWORD platform, major, minor; bool ok; const char* name; } cases[] = {
      {VER_PLATFORM_WIN32_NT, 5, 0, true, "2000"},       {VER_PLATFORM_WIN32_NT, 5, 1, true, "XP"},
      {VER_PLATFORM_WIN32_NT, 6, 1, true, "7"},          {VER_PLATFORM_WIN32_NT, 10, 0, true, "10"},
      {VER_PLATFORM_WIN32_NT, 4, 0, false, "NT 4.0"},    {VER_PLATFORM_WIN32_NT, 3, 51, false, "NT 3.51"},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, false, "98"},  {VER_PLATFORM_WIN32_WINDOWS, 4, 90, false, "Me"},
      {VER_PLATFORM_WIN32_WINDOWS, 5, 0, false, "a 9x platform reporting 5"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(setup::QualifiesForSetup(Version(c.platform, c.major, c.minor)), c.ok) << c.name;
}

TEST(ProcessInitialisation, ReadsTheVersionOnceAndBindsTheFolderLookup) {
  setup::InitialiseProcess();
  EXPECT_EQ(setup::OsVersion().dwOSVersionInfoSize, 148u);
  EXPECT_EQ(setup::OsVersion().dwPlatformId, DWORD(VER_PLATFORM_WIN32_NT));
  EXPECT_TRUE(instutils::SpecialFolderLookupBound());
  EXPECT_FALSE(instutils::SpecialFolder(CSIDL_PROGRAM_FILES).empty());
  instutils::UnbindSpecialFolderLookup();
  EXPECT_EQ(instutils::SpecialFolder(CSIDL_PROGRAM_FILES), "") << "an unbound lookup gives no folder";
  instutils::BindSpecialFolderLookup();
  setup::FinaliseProcess();
}

TEST(DllSearch, ADllBesideTheExecutableIsNotLoadedByBareName) {
  // The probe DLL lies beside this test, as a planted DLL lies beside a
  // downloaded setup. First make sure the test could see it at all.
  HMODULE before = LoadLibraryA("planted_probe.dll");
  ASSERT_NE(before, nullptr) << "the probe DLL should be loadable before the search is restricted";
  FreeLibrary(before);
  ASSERT_EQ(GetModuleHandleA("planted_probe.dll"), nullptr);

  instutils::RestrictDllSearch();
  HMODULE after = LoadLibraryA("planted_probe.dll");
  EXPECT_EQ(after, nullptr) << "a DLL beside the executable must not be found once the search is restricted";
  if (after) FreeLibrary(after);
  // System DLLs are still found.
  HMODULE shell = LoadLibraryA("shell32.dll");
  EXPECT_NE(shell, nullptr);
  if (shell) FreeLibrary(shell);
}

TEST(ApplicationWindow, CarriesTheTitleAndTheBigIcon) {
  HINSTANCE self = GetModuleHandleA(nullptr);
  setup::AppWindow app(self, NAME_EDITION " - Setup");
  ASSERT_NE(app.handle(), nullptr);
  char title[128] = {};
  GetWindowTextA(app.handle(), title, sizeof(title));
  EXPECT_STREQ(title, NAME_EDITION " - Setup");
  const LRESULT big = SendMessageA(app.handle(), WM_GETICON, ICON_BIG, 0);
  EXPECT_NE(big, 0);
  EXPECT_EQ(reinterpret_cast<HICON>(big), LoadIconA(self, MAKEINTRESOURCEA(1)));
  // It owns no visible surface of its own until the wizard is shown.
  EXPECT_FALSE(IsWindowVisible(app.handle()));
}

// The icon carries 256 (stored as PNG), 48, 32 and 16 pixels; each must load
// at its own size, or Explorer and the taskbar show a blank or scaled picture.
TEST(SetupIcon, EveryImageLoadsAtItsOwnSize) {
  HINSTANCE self = GetModuleHandleA(nullptr);
  for (int size : {256, 48, 32, 16}) {
    HICON icon = static_cast<HICON>(LoadImageA(self, MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr) << size;
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info)) << size;
    BITMAP bm = {};
    GetObjectA(info.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, size);
    EXPECT_EQ(bm.bmHeight, size);
    // A corner pixel is see-through and the page's middle is not: the image
    // was read, not a blank of the right size.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, info.hbmMask);
    EXPECT_NE(GetPixel(dc, 0, 0), RGB(0, 0, 0)) << size << ": corner must be masked out";
    EXPECT_EQ(GetPixel(dc, size / 2, size / 2), RGB(0, 0, 0)) << size << ": middle must be opaque";
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}
