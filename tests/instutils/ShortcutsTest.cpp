#include <gtest/gtest.h>
#include <objidl.h>
#include <ole2.h>
#include <shlobj.h>

#include "tests/support/Names.h"
#include "Scratch.h"
#include "base/WinHandles.h"
#include "instutils/Logs.h"
#include "instutils/Shortcuts.h"

using namespace instutils;
using namespace testing_support;

namespace {

// The setup initialises OLE at start-up; the tests do it once for the process.
class OleEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override { OleUninitialize(); }
};
const auto* const kOle = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

struct LinkContent {
  std::string target, workingFolder, description, arguments;
};

bool ReadLink(const std::string& path, LinkContent& out) {
  base::ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.outVoid())))
    return false;
  base::ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.outVoid()))) return false;
  wchar_t wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  if (FAILED(file->Load(wide, STGM_READ))) return false;
  char buf[1024];
  WIN32_FIND_DATAA fd;
  buf[0] = 0;
  link->GetPath(buf, sizeof buf, &fd, SLGP_RAWPATH);
  out.target = buf;
  buf[0] = 0;
  link->GetWorkingDirectory(buf, sizeof buf);
  out.workingFolder = buf;
  buf[0] = 0;
  link->GetDescription(buf, sizeof buf);
  out.description = buf;
  buf[0] = 0;
  link->GetArguments(buf, sizeof buf);
  out.arguments = buf;
  return true;
}

TEST(ShortcutTest, FolderIsCreatedAndRecordedBeforeTheLink) {
  ResetLogs();
  StartInstallLog("");
  ScratchFolder scratch;
  const std::string dest = scratch / "Program Files\\" NAME_SHORT;
  CreateDirectoryA((scratch / "Program Files").c_str(), nullptr);
  CreateDirectoryA(dest.c_str(), nullptr);
  const std::string exe = dest + "\\vlm.exe";
  WriteFileBytes(exe, "MZ");
  const std::string link = scratch / "Start Menu\\Programs\\" NAME_PRODUCT ".lnk";
  const std::string description = "Compact, fast-loading, but still powerful and efficient word processor.";

  CreateShortcut(link, exe, dest, description);

  const std::vector<std::string> expected = {
      "Made Dir: " + scratch.path() + "Start Menu\\",
      "Made Dir: " + scratch.path() + "Start Menu\\Programs\\",
      "File Copy: " + link,
  };
  EXPECT_EQ(LogList->Lines(), expected);
  ASSERT_TRUE(IsFile(link));
  LinkContent content;
  ASSERT_TRUE(ReadLink(link, content));
  EXPECT_TRUE(SamePath(content.target, exe)) << content.target;
  EXPECT_TRUE(SamePath(content.workingFolder, dest)) << content.workingFolder;
  EXPECT_EQ(content.description, description);
  EXPECT_EQ(content.arguments, "");

  // Writing it again replaces the file and adds no line.
  CreateShortcut(link, exe, scratch.path(), "second");
  EXPECT_EQ(LogList->Lines(), expected);
  ASSERT_TRUE(ReadLink(link, content));
  EXPECT_EQ(content.description, "second");
  ResetLogs();
}

TEST(ShortcutTest, UnsavableLinkIsStillRecorded) {
  ResetLogs();
  StartInstallLog("");
  ScratchFolder scratch;
  WriteFileBytes(scratch / "blocker", "x");  // a file where the folder should be
  const std::string link = scratch / "blocker\\x.lnk";
  CreateShortcut(link, "C:\\windows\\notepad.exe", "C:\\windows", "d");
  EXPECT_FALSE(IsFile(link));
  ASSERT_GE(LogList->Count(), 1);
  EXPECT_EQ(LogList->Lines().back(), "File Copy: " + link);
  ResetLogs();
}

}  // namespace
