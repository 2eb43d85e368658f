#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/Names.h"
#include "base/WinHandles.h"
#include "instutils/InstUtils.h"
#include "instutils/TestSeams.h"
#include "registration/Registry.h"
#include "registration/Settings.h"
#include "instutils/SharedUse.h"
#include "instutils/ProbeSeams.h"
#include "tests/instutils/Scratch.h"
#include "tests/instutils/FakeDisk.h"

namespace {

constexpr char kProductKey[] = NAME_KEY;
constexpr char kInstall[] = NAME_KEY "\\Install";
constexpr char kInternal[] = NAME_KEY "\\Internal";

base::UniqueHKey OpenExisting(const std::string& path) {
  base::UniqueHKey key;
  RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, key.out());
  return key;
}

DWORD ValueCount(HKEY key) {
  DWORD values = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                   nullptr);
  return values;
}

void SetRaw(const char* keyPath, const char* name, DWORD type, const void* data, DWORD size) {
  base::UniqueHKey key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}

// Every test starts from, and leaves, a registry without the product's keys.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    SHDeleteKeyA(HKEY_CURRENT_USER, kProductKey);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kProductKey);
    SetDriveTypeFunction(nullptr);
    instutils::SetDiskFreeSpaceFunction(nullptr);
    g_sectorsPerCluster = 8;
  }
};

TEST_F(SettingsTest, EmptyRegistryGivesDefaultsAndLeavesBothKeysEmpty) {
  TSavedSettings s = ReadSettings();
  EXPECT_EQ(s.Options.MainDir, "");
  EXPECT_EQ(s.Options.Comps, 0x7FFFFFFFu);
  EXPECT_EQ(s.Options.Extensions, "B");
  EXPECT_TRUE(s.InstallToAll);
  EXPECT_TRUE(s.Launch);
  EXPECT_EQ(s.LastRunVer, 2147483647);

  base::UniqueHKey install = OpenExisting(kInstall), internal = OpenExisting(kInternal);
  ASSERT_TRUE(install);
  ASSERT_TRUE(internal);
  EXPECT_EQ(ValueCount(install.get()), 0u);
  EXPECT_EQ(ValueCount(internal.get()), 0u);
}

TEST_F(SettingsTest, WrittenValuesReadBackWithTheirStoredTypes) {
  {
    TRegistryAccess reg;
    reg.OpenKey(kInstallKey);
    reg.WriteString(kMainDirValue, "D:\\Apps\\" NAME_SHORT);
    reg.WriteInteger(kCompsValue, 0x7FFFFFEE);
    reg.WriteBool(kInstallToAllValue, false);
    reg.WriteString(kExtensionsValue, "AC");
    reg.WriteBool(kLaunchValue, true);
  }
  const DWORD lastRun = 0xFFFFFFFF;  // signed: -1
  SetRaw(kInternal, "LastRunVer", REG_DWORD, &lastRun, 4);

  TSavedSettings s = ReadSettings();
  EXPECT_EQ(s.Options.MainDir, "D:\\Apps\\" NAME_SHORT);
  EXPECT_EQ(s.Options.Comps, 0x7FFFFFEEu);
  EXPECT_FALSE(s.InstallToAll);
  EXPECT_EQ(s.Options.Extensions, "AC");
  EXPECT_TRUE(s.Launch);
  EXPECT_EQ(s.LastRunVer, -1);

  // What another program (or the next run) finds: REG_SZ with its NUL, REG_DWORD 0 or 1.
  base::UniqueHKey install = OpenExisting(kInstall);
  DWORD type = 0, size = 0;
  RegQueryValueExA(install.get(), "MAINDIR", nullptr, &type, nullptr, &size);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, sizeof "D:\\Apps\\" NAME_SHORT);
  DWORD flag = 7;
  size = sizeof flag;
  RegQueryValueExA(install.get(), "LAUNCH", nullptr, &type, reinterpret_cast<BYTE*>(&flag), &size);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(flag, 1u);

  // Any non-zero number counts as checked.
  const DWORD five = 5;
  SetRaw(kInstall, "INSTALLTOALL", REG_DWORD, &five, 4);
  EXPECT_TRUE(ReadSettings().InstallToAll);
}

TEST_F(SettingsTest, ValuesOfTheWrongTypeOrSizeCountAsAbsent) {
  SetRaw(kInstall, "COMPS (1.6.6.2)", REG_SZ, "12", 3);
  const DWORD zero = 0;
  SetRaw(kInstall, "INSTALLTOALL", REG_BINARY, &zero, 4);
  SetRaw(kInstall, "LAUNCH", REG_DWORD, &zero, 2);
  SetRaw(kInstall, "EXTENSIONS", REG_DWORD, &zero, 4);
  SetRaw(kInstall, "MAINDIR", REG_BINARY, "C:\\Blob", 7);
  const unsigned long long wide = 20004000;
  SetRaw(kInternal, "LastRunVer", REG_QWORD, &wide, 8);

  TSavedSettings s = ReadSettings();
  EXPECT_EQ(s.Options.Comps, 0x7FFFFFFFu);
  EXPECT_TRUE(s.InstallToAll);
  EXPECT_TRUE(s.Launch);
  EXPECT_EQ(s.Options.Extensions, "B");
  EXPECT_EQ(s.Options.MainDir, "");
  EXPECT_EQ(s.LastRunVer, 2147483647);

  TRegistryAccess reg;
  reg.OpenKey(kInstallKey);
  EXPECT_TRUE(reg.ValueExists(kCompsValue));  // it exists; only the typed read refuses it
  EXPECT_FALSE(reg.ValueExists("NOSUCHVALUE"));
}

TEST_F(SettingsTest, MainDirIsReadWithinItsStoredBytesAndLimitedToMaxPath) {
  // Stored without its NUL, in a buffer where the next bytes are not NUL either.
  const char unterminated[] = "C:\\DataXXXXXXXX";
  SetRaw(kInstall, "MAINDIR", REG_SZ, unterminated, 7);
  EXPECT_EQ(ReadSettings().Options.MainDir, "C:\\Data");

  SetRaw(kInstall, "MAINDIR", REG_SZ, "C:\\A\0C:\\B", 10);
  EXPECT_EQ(ReadSettings().Options.MainDir, "C:\\A");

  SetRaw(kInstall, "MAINDIR", REG_EXPAND_SZ, "%TEMP%\\V", 9);
  EXPECT_EQ(ReadSettings().Options.MainDir, "%TEMP%\\V");

  const std::string longest = "C:\\" + std::string(MAX_PATH - 4, 'a');  // MAX_PATH - 1 characters
  SetRaw(kInstall, "MAINDIR", REG_SZ, longest.c_str(), static_cast<DWORD>(longest.size() + 1));
  EXPECT_EQ(ReadSettings().Options.MainDir, longest);
  const std::string tooLong = longest + "a";
  SetRaw(kInstall, "MAINDIR", REG_SZ, tooLong.c_str(), static_cast<DWORD>(tooLong.size() + 1));
  EXPECT_EQ(ReadSettings().Options.MainDir, "");
}

TEST_F(SettingsTest, KeyPathsStartingWithBackslashAreTakenFromTheRoot) {
  TRegistryAccess reg;
  ASSERT_TRUE(reg.OpenKey(kInstallKey));
  ASSERT_TRUE(reg.OpenKey("Sub"));  // relative: under the open key
  reg.WriteInteger("Where", 1);
  ASSERT_TRUE(reg.OpenKey(kInternalKey));
  reg.WriteInteger("Where", 2);
  reg.SetRoot(HKEY_CURRENT_USER);  // closes the key: a relative path starts at the root again
  ASSERT_TRUE(reg.OpenKey(std::string(kProductKey) + "\\Top"));
  reg.WriteInteger("Where", 3);
  reg.CloseKey();
  reg.WriteInteger("Nowhere", 4);  // no key open: nothing is written

  const std::pair<std::string, int> expected[] = {
      {std::string(kInstall) + "\\Sub", 1}, {kInternal, 2}, {std::string(kProductKey) + "\\Top", 3}};
  for (const auto& [path, where] : expected) {
    TRegistryAccess check;
    check.OpenKey(path);
    EXPECT_EQ(check.ReadInteger("Where"), where) << path;
    EXPECT_FALSE(check.ValueExists("Nowhere")) << path;
  }
  EXPECT_FALSE(OpenExisting(std::string(kInstall) + "\\Sub\\Software"));
  EXPECT_FALSE(OpenExisting(std::string(kInstall) + "\\Software"));
  EXPECT_NE(RegQueryValueExA(HKEY_CURRENT_USER, "Nowhere", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
}

UINT Removable(const std::string&) { return DRIVE_REMOVABLE; }

TEST_F(SettingsTest, SavedChoicesComeBackOnTheNextRun) {
  TSettingsToSave save;
  save.Options.MainDir = "E:\\" NAME_SHORT;
  SetDriveTypeFunction(Removable);  // portable: the choices only

  save.RowStates = {2, 1, 1, 1, 1, 1};  // a first run left at its defaults
  SaveSettings(save);
  EXPECT_EQ(ReadSettings().Options.Comps, 2147483646u);
  save.RowStates = {2, 1, 1, 1, 0, 1};  // the clip library unchecked
  SaveSettings(save);
  EXPECT_EQ(ReadSettings().Options.Comps, 2147483630u);

  save.Options.Comps = 0x80000041;  // bits above the six rows are kept, bit 0 follows its row
  save.RowStates = {2, 0, 1, 0, 0, 0};
  save.Options.Extensions = "";
  save.InstallToAll = false;
  save.Launch = false;
  SaveSettings(save);
  TSavedSettings read = ReadSettings();
  EXPECT_EQ(read.Options.Comps, 0x80000044u);
  EXPECT_EQ(read.Options.MainDir, "E:\\" NAME_SHORT);
  EXPECT_EQ(read.Options.Extensions, "");  // no box checked stays none, not the default
  EXPECT_FALSE(read.InstallToAll);
  EXPECT_FALSE(read.Launch);

  base::UniqueHKey uninstall;
  EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, uninstall.out()), ERROR_SUCCESS);
}

struct UninstallValue {
  DWORD Type = REG_NONE;
  std::string Data;
};
UninstallValue ReadUninstallValue(const char* name) {
  UninstallValue v;
  base::UniqueHKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return v;
  char data[1024] = {};
  DWORD size = sizeof data;
  if (RegQueryValueExA(key.get(), name, nullptr, &v.Type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS)
    v.Data.assign(data, size);
  return v;
}
std::string Sz(const std::string& text) { return text + '\0'; }
std::string Dword(uint32_t n) { return std::string(reinterpret_cast<const char*>(&n), 4); }

TEST_F(SettingsTest, NormalInstallRegistersItsUninstallEntry) {
  testing_support::ScratchFolder dest;
  testing_support::WriteFileBytes(dest / "vlm.exe", std::string(100, 'x'));
  CreateDirectoryA((dest / "Templates").c_str(), nullptr);
  testing_support::WriteFileBytes(dest / "Templates\\letter.rtf", std::string(5000, 'x'));
  instutils::SetDiskFreeSpaceFunction(FakeDiskFreeSpace);

  TSettingsToSave save;
  save.Options.MainDir = dest.path().substr(0, dest.path().size() - 1);
  save.RowStates = {2, 1, 1, 1, 1, 1};
  save.InstallToAll = false;  // the entry goes to the machine either way
  SaveSettings(save);

  const std::string program = save.Options.MainDir + "\\vlm.exe";
  const std::pair<const char*, UninstallValue> expected[] = {
      {"DisplayIcon", {REG_SZ, Sz(program)}},
      {"DisplayName", {REG_SZ, Sz(NAME_PRODUCT)}},
      {"DisplayVersion", {REG_SZ, Sz(VELLUMAR_VERSION_TEXT)}},
      {"EstimatedSize", {REG_DWORD, Dword(4 + 8)}},
      {"Publisher", {REG_SZ, Sz("The " NAME_PRODUCT " Team")}},
      {"UninstallString", {REG_SZ, Sz("\"" + program + "\" -ui")}},
  };
  for (const auto& [name, value] : expected) {
    const UninstallValue got = ReadUninstallValue(name);
    EXPECT_EQ(got.Type, value.Type) << name;
    EXPECT_EQ(got.Data, value.Data) << name;
  }

  // A destination that cannot be measured keeps the size it had.
  g_sectorsPerCluster = 0;
  testing_support::WriteFileBytes(dest / "more.dat", std::string(9000, 'x'));
  SaveSettings(save);
  EXPECT_EQ(ReadUninstallValue("EstimatedSize").Data, Dword(12));
  EXPECT_EQ(ReadUninstallValue("UninstallString").Data, Sz("\"" + program + "\" -ui"));
}

// The last uninstall removes the shared data by these counts and records: a
// copy counted twice, or one left out, or a file recorded that the run did not
// write as the payload holds it, would cost another copy or the user data.
TEST_F(SettingsTest, NormalInstallCountsItselfOnceWithTheCopyTheEntryNamedAndRecordsWhatItWrote) {
  testing_support::ScratchFolder older, dest, data;
  testing_support::WriteFileBytes(older / "vlm.exe", "an install from before the counts");
  const std::string olderCommand = "\"" + older.path() + "vlm.exe\" -ui";
  SHSetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", REG_EXPAND_SZ, olderCommand.c_str(),
              DWORD(olderCommand.size() + 1));
  for (const char* name : {"written.dat", "changed.dat", "userdicen.tlx"})
    testing_support::WriteFileBytes(data / name, "12345");
  const double stamp = instutils::LastWriteTimeOf(data / "written.dat");

  TSettingsToSave save;
  save.Options.MainDir = dest.path();
  save.RowStates = {2, 1, 1, 1, 1, 1};
  save.SharedFiles = {{data / "written.dat", 5, stamp}, {data / "changed.dat", 6, stamp},
                      {data / "userdicen.tlx", 5, stamp}, {data / "missing.dat", 5, stamp}};
  SaveSettings(save);
  CharUpperA(&save.Options.MainDir[0]);  // the same folder again, spelt otherwise: a repair
  save.Options.MainDir.pop_back();
  SaveSettings(save);

  const shareduse::TInstalls installs = shareduse::ReadInstalls();
  EXPECT_TRUE(installs.Readable);
  ASSERT_EQ(installs.Programs.size(), 2u);
  for (const std::string& program : {older.path() + "vlm.exe", dest.path() + "vlm.exe"})
    EXPECT_EQ(std::count_if(installs.Programs.begin(), installs.Programs.end(),
                            [&](const std::string& p) { return lstrcmpiA(p.c_str(), program.c_str()) == 0; }),
              1)
        << program;
  const shareduse::TFileMarks marks = shareduse::ReadFileMarks();
  EXPECT_TRUE(marks.Readable);
  ASSERT_EQ(marks.Files.size(), 1u);
  EXPECT_EQ(lstrcmpiA(marks.Files.begin()->first.c_str(), (data / "written.dat").c_str()), 0);
  EXPECT_EQ(marks.Files.begin()->second.Size, 5u);
}

}  // namespace
