// Scratch folders in place of the shell's special folders, and a destination
// drive that answers removable, for the location and plan tests.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <vector>

#include <string>

#include "tests/support/Names.h"
#include "components/TestSeams.h"
#include "instutils/InstUtils.h"
#include "instutils/Logs.h"
#include "instutils/ProbeSeams.h"
#include "tests/payload/TestCatalogue.h"

namespace testing_components {

// What the locations see as special folders; "*" passes the real one through.
inline std::string g_documents = "*";
inline std::string g_commonAppData = "*";

inline std::string FakeSpecialFolder(int csidl) {
  const std::string& fake = csidl == CSIDL_PERSONAL ? g_documents : csidl == CSIDL_COMMON_APPDATA ? g_commonAppData : "*";
  return fake == "*" ? instutils::SpecialFolder(csidl) : fake;
}

inline UINT Removable(const std::string&) { return DRIVE_REMOVABLE; }

// Documents in a scratch folder, the real all-users folder (the catalogue
// lists public files by it) with the product's folder removed before and
// after, a fresh installation log.
class FoldersTest : public testing::Test {
 protected:
  void SetUp() override {
    instutils::BindSpecialFolderLookup();
    const std::string common = instutils::SpecialFolder(CSIDL_COMMON_APPDATA);
    ASSERT_FALSE(common.empty());
    shared = common + "\\" NAME_SHORT "\\";
    instutils::DeleteTree(shared);
    g_documents = scratch / "Documents";
    g_commonAppData = "*";
    CreateDirectoryA(g_documents.c_str(), nullptr);
    components::SetSpecialFolderFunction(FakeSpecialFolder);
    instutils::StartInstallLog("");
  }
  void TearDown() override {
    components::SetSpecialFolderFunction(nullptr);
    SetDriveTypeFunction(nullptr);
    instutils::ResetLogs();
    instutils::DeleteTree(shared);
  }
  std::vector<std::string> Logged() const { return instutils::LogList->Lines(); }

  testing_payload::ScratchFolder scratch;
  const std::string dest = scratch / NAME_SHORT;  // no trailing backslash, as the wizard keeps it
  std::string shared;                             // <all-users application data>\<product folder>\ .
};

}  // namespace testing_components
