#include <gtest/gtest.h>
#include <ole2.h>
#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/Names.h"
#include "base/WinHandles.h"
#include "registration/PageActions.h"
#include "registration/RunCommand.h"
#include "instutils/ProbeSeams.h"
#include "tests/instutils/Scratch.h"

using namespace testing_support;

namespace {

// The setup initialises OLE at start-up; the tests do it once for the process.
class OleEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override { OleUninitialize(); }
};
const auto* const kOle = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

// What the actions did, in order: "run <show> <command line>", "report <path>".
std::vector<std::string> g_events;

UINT WINAPI RecordWinExec(LPCSTR commandLine, UINT show) {
  g_events.push_back("run " + std::to_string(show) + " " + commandLine);
  return 33;
}
UINT Removable(const std::string&) { return DRIVE_REMOVABLE; }

// "target|working folder" of a shortcut; "" when it cannot be loaded.
std::string LinkTargetAndFolder(const std::string& path) {
  base::ComPtr<IShellLinkA> link;
  base::ComPtr<IPersistFile> file;
  wchar_t wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.outVoid())) ||
      FAILED(link->QueryInterface(IID_IPersistFile, file.outVoid())) || FAILED(file->Load(wide, STGM_READ)))
    return "";
  char target[MAX_PATH] = {}, folder[MAX_PATH] = {};
  link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
  link->GetWorkingDirectory(folder, MAX_PATH);
  return std::string(target) + "|" + folder;
}

class PageActionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_events.clear();
    SetWinExecFunction(RecordWinExec);
    CreateDirectoryA(dest.c_str(), nullptr);
    CreateDirectoryA(dataRoot.c_str(), nullptr);
    page.MainDir = finish.MainDir = dest;
    page.RootDataFolder = finish.RootDataFolder = dataRoot;
    page.ShortcutFolders.AllUsers = {scratch / "All\\Programs", scratch / "All\\Desktop"};
    page.ShortcutFolders.PerUser = {scratch / "User\\Programs", scratch / "User\\Desktop"};
  }
  void TearDown() override {
    SetWinExecFunction(nullptr);
    SetDriveTypeFunction(nullptr);
  }
  std::string Link(bool allUsers, int pair) const {
    const TShortcutFolders& f = page.ShortcutFolders;
    return (allUsers ? f.AllUsers : f.PerUser)[pair] + "\\" NAME_PRODUCT ".lnk";
  }

  ScratchFolder scratch;
  const std::string dest = scratch / NAME_SHORT;
  const std::string dataRoot = scratch / "Data\\";
  const std::string launch = "run 5 \"" + dest + "\\vlm.exe\"";
  TFinishPageInput page;
  TFinishInput finish;
};

TEST_F(PageActionsTest, LettersSetTheBoxesAndComeBackInOrderWithTheirCommand) {
  EXPECT_EQ(AssociationBoxStates("B"), (TAssociationBoxes{false, true, false, false}));
  page.Boxes = AssociationBoxStates("DA");
  EXPECT_EQ(EnterFinishPage(page), std::optional<std::string>("AD"));
  page.Boxes = AssociationBoxStates("");
  EXPECT_EQ(EnterFinishPage(page), std::optional<std::string>(""));
  EXPECT_EQ(g_events, (std::vector<std::string>{launch + " -assoc vdoc_rtf_docx", launch + " -assoc vdoc"}));
}

TEST_F(PageActionsTest, FinishPageWritesTheCommonRecordAndTheChosenScopesShortcuts) {
  for (int pair = 0; pair < 2; ++pair) {  // left by an earlier install for this user only
    instutils::MakeDir(page.ShortcutFolders.PerUser[pair]);
    WriteFileBytes(Link(false, pair), "old");
  }
  const double before = instutils::NowAsDateTime();
  page.InstallToAll = true;
  EnterFinishPage(page);
  const double after = instutils::NowAsDateTime();

  const std::string record = ReadAll(dataRoot + "vlm_common.dat");
  ASSERT_EQ(record.size(), 25u);
  EXPECT_EQ(record.substr(0, 8), std::string("\1\0\0\0\x08\0\0\0", 8));
  EXPECT_EQ(record.substr(16), std::string("\2\0\0\0\1\0\0\0\x31", 9));
  double written = 0;
  std::memcpy(&written, record.data() + 8, 8);
  EXPECT_TRUE(written >= before && written <= after) << written;

  for (int pair = 0; pair < 2; ++pair) {
    EXPECT_EQ(LinkTargetAndFolder(Link(true, pair)), dest + "\\vlm.exe|" + dest) << pair;
    EXPECT_FALSE(IsFile(Link(false, pair))) << pair;
  }
  page.InstallToAll = false;
  EnterFinishPage(page);
  for (int pair = 0; pair < 2; ++pair) {
    EXPECT_TRUE(IsFile(Link(false, pair))) << pair;
    EXPECT_FALSE(IsFile(Link(true, pair))) << pair;
  }

  // A scope without its folder falls back to the other; no folder at all
  // places nothing, rather than a shortcut in the current directory.
  page.ShortcutFolders.PerUser[1] = page.ShortcutFolders.PerUser[0] = page.ShortcutFolders.AllUsers[0] = "";
  const std::string current = instutils::CurrentFolder();
  SetCurrentDirectoryA(scratch.path().c_str());
  EnterFinishPage(page);
  SetCurrentDirectoryA(current.c_str());
  EXPECT_TRUE(IsFile(Link(true, 1)));
  EXPECT_FALSE(IsFile(scratch / NAME_PRODUCT ".lnk"));
}

TEST_F(PageActionsTest, PortableInstallWritesOnlyTheCommonRecordAndStillLaunches) {
  SetDriveTypeFunction(Removable);
  page.RootDataFolder = dest;  // the data folders live in the destination
  page.Boxes = AssociationBoxStates("ABCD");
  EXPECT_EQ(EnterFinishPage(page), std::nullopt);
  EXPECT_EQ(ReadAll(dest + "\\vlm_common.dat").size(), 25u);
  for (int pair = 0; pair < 2; ++pair) EXPECT_FALSE(IsFile(Link(true, pair)) || IsFile(Link(false, pair)));

  std::vector<std::string> updates = {dataRoot + "Public\\a.dat"};
  EXPECT_TRUE(FinishSetup(finish, updates, nullptr));
  EXPECT_FALSE(IsFile(dataRoot + "Update.log"));
  EXPECT_EQ(g_events, std::vector<std::string>{launch});
}

TEST_F(PageActionsTest, UpdateLogGrowsAcrossRunsAndTheLaunchFollowsItsBox) {
  const std::string a = dataRoot + "Public\\a.dat", b = dataRoot + "Public\\b.dat", c = dataRoot + "Public\\c.dat";
  std::vector<std::string> first = {b, a + "\t!"}, second = {c, b};
  finish.Stamp = instutils::StampOf(46363.5);
  finish.Launch = false;
  EXPECT_TRUE(FinishSetup(finish, first, nullptr));
  EXPECT_TRUE(g_events.empty());

  finish.Stamp = instutils::StampOf(46364.25);
  finish.Launch = true;
  EXPECT_TRUE(FinishSetup(finish, second, nullptr));
  EXPECT_EQ(ReadAll(dataRoot + "Update.log"), "*0000000070A3E640\r\n" + a + "\t!\r\n" +
                                                  instutils::StampLine(finish.Stamp) + "\r\n" + b + "\r\n" + c +
                                                  "\r\n");
  EXPECT_EQ(g_events, std::vector<std::string>{launch});
}

TEST_F(PageActionsTest, AnUpdateLogThatCannotBeOpenedIsReportedAndTheProductStillStarts) {
  WriteFileBytes(dataRoot + "Update.log", "*0000000070A3E640\r\n");
  base::UniqueFile lock(
      CreateFileA((dataRoot + "Update.log").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(lock);
  std::vector<std::string> updates = {dataRoot + "Public\\a.dat"};
  EXPECT_FALSE(FinishSetup(finish, updates, [](const std::string& path) { g_events.push_back("report " + path); }));
  EXPECT_EQ(g_events, (std::vector<std::string>{"report " + dataRoot + "Update.log", launch}));
}

}  // namespace
