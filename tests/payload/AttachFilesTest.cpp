#include <gtest/gtest.h>

#include <shlobj.h>

#include "tests/support/Names.h"
#include "instutils/InstUtils.h"
#include "instutils/Logs.h"
#include "payload/AttachFiles.h"
#include "tests/payload/CatalogueFixture.h"
#include "tests/payload/TestCatalogue.h"

using namespace testing_payload;

namespace {

class Planning : public CatalogueTest {
 protected:
  void TearDown() override {
    UseTargetAsGiven = false;
    CatalogueTest::TearDown();
  }
  std::vector<std::string> Targets(int component) const {
    std::vector<std::string> t;
    for (const TFileToInstall& f : cat->Plans[component]) t.push_back(f.Target);
    return t;
  }
  std::vector<std::string> Sources(int component) const {
    std::vector<std::string> t;
    for (const TFileToInstall& f : cat->Plans[component]) t.push_back(f.Source->Name);
    return t;
  }
  static std::string PublicFolder() {
    return instutils::JoinPath(instutils::SpecialFolder(CSIDL_COMMON_APPDATA), NAME_SHORT "\\Public\\");
  }

  ScratchFolder dir;
  ScriptedAsker noQuestions;  // none expected: one would be answered Abort
};

int64_t Rounded(int64_t size, int64_t cluster) { return (size + cluster - 1) / cluster * cluster; }

}  // namespace

TEST(RecordNames, OnlyNamesThatStayBelowTheFolderAreSafe) {
  for (const char* good : {"vlm.exe", "Templates\\Faxes\\Fax 1.rtf", "Clip Library\\Headers & Footers\\Author, Page #, Date.rtf",
                           "a..b", ".hidden"})
    EXPECT_TRUE(IsSafeRecordName(good)) << good;
  for (const char* bad : {"", "..", "..\\x", "a\\..\\..\\x", "a/../../x", "C:\\x", "C:x", "x:stream", "\\x", "/x",
                          "\\\\server\\share\\x", "a\\\\b", "a\\", "a\\.\\b", "a\\. .\\b", "a\\...\\b"})
    EXPECT_FALSE(IsSafeRecordName(bad)) << bad;
}

TEST_F(Planning, FolderPrefixPlansEveryTemplateInArchiveOrderInEitherCase) {
  EXPECT_TRUE(cat->AddFiles("Templates\\", dir.path(), 3, rrKeepExisting));
  const std::vector<std::string> names = TemplateNames();
  ASSERT_EQ(names.size(), 19u);
  EXPECT_EQ(Sources(3), names);
  std::vector<std::string> expected;
  for (const std::string& n : names) expected.push_back(dir.path() + n);
  EXPECT_EQ(Targets(3), expected);
  for (const TFileToInstall& f : cat->Plans[3]) EXPECT_TRUE(f.Logged);

  // Lower case, and a folder without its final backslash.
  std::string bare = dir.path();
  bare.pop_back();
  EXPECT_TRUE(cat->AddFiles("templates\\", bare, 4, rrKeepExisting));
  EXPECT_EQ(Sources(4), names);
  EXPECT_EQ(Targets(4), expected);

  // A deeper prefix; nothing outside the public folder reaches the update list.
  EXPECT_TRUE(cat->AddFiles("TEMPLATES\\memos\\", dir.path(), 5, rrAlways));
  EXPECT_EQ(cat->Plans[5].size(), 5u);
  EXPECT_TRUE(cat->UpdateList.empty());
}

TEST_F(Planning, APatternWithoutFinalBackslashMustMatchAWholeName) {
  for (const char* partial : {"Templates", "Templates\\Faxes", "vlm", "License", "Templates\\Faxes\\Fax"})
    EXPECT_FALSE(cat->AddFiles(partial, dir.path(), 0, rrAlways)) << partial;
  EXPECT_TRUE(cat->Plans[0].empty());
  EXPECT_FALSE(cat->AddFiles("No Such\\", dir.path(), 0, rrAlways));
  EXPECT_TRUE(cat->AddFiles("VLM.EXE", dir.path(), 0, rrAlways));
  EXPECT_TRUE(cat->AddFiles("templates.txt", dir.path(), 0, rrAlways));
  EXPECT_EQ(Sources(0), (std::vector<std::string>{"vlm.exe", "Templates.txt"}));
  EXPECT_EQ(Targets(0)[0], dir / "vlm.exe");
  EXPECT_FALSE(cat->AddFiles("vlm.exe", dir.path(), 6, rrAlways)) << "no seventh plan";
}

TEST_F(Planning, NamesLeavingTheFolderAreNeverPlanned) {
  for (const char* bad : {"..\\Up.txt", "C:\\Drive.txt", "\\Rooted.txt", "Templates\\..\\..\\Escaped.rtf"})
    EXPECT_FALSE(cat->AddFiles(bad, dir.path(), 1, rrAlways)) << bad;
  EXPECT_FALSE(cat->AddFiles("..\\", dir.path(), 1, rrAlways));
  EXPECT_TRUE(cat->Plans[1].empty());
  UseTargetAsGiven = true;
  EXPECT_FALSE(cat->AddFiles("..\\Up.txt", dir / "Up.txt", 1, rrAlways));
}

TEST_F(Planning, ExistingFilesFollowTheRule) {
  ASSERT_TRUE(WriteFileBytes(dir / "License.txt", "old"));
  ASSERT_TRUE(CreateDirectoryA((dir / "Basic.asn").c_str(), nullptr));  // a folder is not a file
  EXPECT_FALSE(cat->AddFiles("License.txt", dir.path(), 0, rrKeepExisting));
  EXPECT_TRUE(cat->AddFiles("Basic.asn", dir.path(), 5, rrKeepExisting));
  EXPECT_TRUE(cat->AddFiles("License.txt", dir.path(), 0, rrReplaceIfDifferent)) << "its time differs";
  EXPECT_TRUE(cat->AddFiles("License.txt", dir.path(), 0, rrAlways));
  EXPECT_EQ(cat->Plans[0].size(), 2u);

  // A file this program extracted reads back equal; two seconds off, it differs.
  ASSERT_TRUE(cat->ExtractFile(Entry(*cat, "Basic.asn"), "", dir / "Sound\\Basic.asn", noQuestions));
  EXPECT_FALSE(cat->AddFiles("Basic.asn", dir / "Sound", 1, rrReplaceIfDifferent));
  ASSERT_TRUE(cat->ExtractFile(Entry(*cat, "vlm.exe"), "", dir / "vlm.exe", noQuestions));
  EXPECT_FALSE(cat->AddFiles("vlm.exe", dir.path(), 1, rrReplaceIfDifferent));
  ASSERT_TRUE(ShiftWriteTime(dir / "Sound\\Basic.asn", 2));
  EXPECT_TRUE(cat->AddFiles("Basic.asn", dir / "Sound", 1, rrReplaceIfDifferent));
  EXPECT_EQ(Sources(1), std::vector<std::string>{"Basic.asn"});

  // Always-replace overrides every rule.
  cat->AlwaysReplace = true;
  EXPECT_TRUE(cat->AddFiles("License.txt", dir.path(), 2, rrKeepExisting));
  EXPECT_TRUE(cat->AddFiles("vlm.exe", dir.path(), 2, rrReplaceIfDifferent));
  EXPECT_EQ(cat->Plans[2].size(), 2u);
}

TEST_F(Planning, PublicFolderTargetsGoToTheUpdateListWithKeepMarks) {
  const std::string pub = PublicFolder();
  ASSERT_FALSE(instutils::SpecialFolder(CSIDL_COMMON_APPDATA).empty());
  instutils::DeleteTree(pub);
  const std::string existing = pub + "Templates\\Faxes\\Fax 1.rtf";
  instutils::MakeDir(pub + "Templates\\Faxes");
  ASSERT_TRUE(WriteFileBytes(existing, "user's own"));

  cat->AlwaysReplace = true;
  EXPECT_TRUE(cat->AddFiles("Templates\\Faxes\\", pub, 3, rrKeepExisting));
  EXPECT_TRUE(cat->AddFiles("Basic.asn", pub + "Sounds", 5, rrReplaceIfDifferent));
  EXPECT_TRUE(cat->AddFiles("License.txt", dir.path(), 0, rrKeepExisting));
  EXPECT_EQ(cat->UpdateList, (std::vector<std::string>{existing + "\t!", pub + "Templates\\Faxes\\Fax 2.rtf\t!",
                                                        pub + "Templates\\Faxes\\Fax 3.rtf\t!", pub + "Sounds\\Basic.asn"}));
  EXPECT_EQ(cat->Plans[3].size(), 3u) << "the existing file is planned too";

  // Without always-replace the kept file is not planned and not listed.
  cat->AlwaysReplace = false;
  cat->UpdateList.clear();
  EXPECT_TRUE(cat->AddFiles("templates\\faxes\\", pub, 4, rrKeepExisting));
  EXPECT_EQ(cat->UpdateList, (std::vector<std::string>{pub + "Templates\\Faxes\\Fax 2.rtf\t!",
                                                        pub + "Templates\\Faxes\\Fax 3.rtf\t!"}));
  instutils::DeleteTree(instutils::JoinPath(instutils::SpecialFolder(CSIDL_COMMON_APPDATA), NAME_SHORT));
}

TEST_F(Planning, TargetAsGivenAndLoggingSuspension) {
  UseTargetAsGiven = true;
  const std::string british = dir / "Spell\\English (British).cache";
  EXPECT_TRUE(cat->AddFiles("English (American).cache", british, 1, rrAlways));
  UseTargetAsGiven = false;
  instutils::SuspendLogging();
  EXPECT_TRUE(cat->AddFiles("English (American).cache", dir / "Spell", 1, rrAlways));
  instutils::ResumeLogging();
  ASSERT_EQ(cat->Plans[1].size(), 2u);
  EXPECT_EQ(cat->Plans[1][0].Target, british);
  EXPECT_TRUE(cat->Plans[1][0].Logged);
  EXPECT_EQ(cat->Plans[1][1].Target, dir / "Spell\\English (American).cache");
  EXPECT_FALSE(cat->Plans[1][1].Logged);
  EXPECT_EQ(cat->Plans[1][0].Source, cat->Plans[1][1].Source);
}

TEST_F(Planning, PlannedSizeAndClearPlan) {
  EXPECT_EQ(cat->PlannedSize(), 0);
  cat->AddFiles("vlm.exe", dir.path(), 0, rrAlways);
  cat->AddFiles("Templates\\", dir.path(), 3, rrAlways);
  int64_t templates = 0;
  for (const std::string& n : TemplateNames()) templates += RecordNamed(n).data.size();
  EXPECT_EQ(cat->PlannedSize(), kVlmSize + templates);
  cat->ClearPlan(3);
  EXPECT_TRUE(cat->Plans[3].empty());
  EXPECT_EQ(cat->PlannedSize(), kVlmSize);
  cat->ClearPlan(0);
  EXPECT_EQ(cat->PlannedSize(), 0);
}

TEST_F(Planning, RequiredSpaceRoundsEachFileToTheDestinationsClusters) {
  const int64_t cluster = instutils::ClusterSize(dir.path());
  ASSERT_EQ(cluster, 4096) << "Wine's drives have 4,096-byte clusters";
  EXPECT_EQ(cat->RequiredSpace("vlm.exe\rLicense.txt", dir.path()), 4378624 + 4096);
  EXPECT_EQ(cat->RequiredSpace("vlm.exe\r\nLICENSE.TXT\nno such file\rTemplates", dir.path()), 4378624 + 4096);
  EXPECT_EQ(cat->RequiredSpace("userdicen.tlx", dir.path()), 0);
  EXPECT_EQ(cat->RequiredSpace("Nothing\\\rNothing.txt", dir.path()), 0);

  int64_t each = 0, total = 0;
  for (const std::string& n : TemplateNames()) {
    each += Rounded(int64_t(RecordNamed(n).data.size()), cluster);
    total += int64_t(RecordNamed(n).data.size());
  }
  ASSERT_NE(each, Rounded(total, cluster)) << "the sizes must tell rounding per file from rounding the sum";
  EXPECT_EQ(cat->RequiredSpace("Templates\\", dir.path()), each) << "the escaping record does not count";
  EXPECT_EQ(cat->RequiredSpace("templates\\\rvlm.exe", dir.path()), each + 4378624);
  // The destination need not exist yet.
  EXPECT_EQ(cat->RequiredSpace("License.txt", dir / "Not\\Yet"), 4096);
}

namespace {

std::string SetupPath() {
  const auto& argv = testing::internal::GetArgvs();
  std::string path = argv.size() > 1 ? argv[1] : std::string();
  if (!path.empty() && path[0] == '/') {
    for (char& c : path)
      if (c == '/') c = '\\';
    path = "Z:" + path;
  }
  return path;
}

}  // namespace

// The shipped payload: every record is installable, and the template and clip
// groups plan and measure as whole folders.
TEST(ShippedPayload, EveryRecordPlansAndTheGroupsAreComplete) {
  instutils::BindSpecialFolderLookup();
  HMODULE m = LoadLibraryExA(SetupPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(m, nullptr) << "pass the setup executable";
  std::unique_ptr<TAttachedFiles> cat(new TAttachedFiles(m));
  FreeLibrary(m);
  for (const TAttachedFile& f : cat->Files()) EXPECT_TRUE(IsSafeRecordName(f.Name)) << f.Name;

  ScratchFolder dir;
  EXPECT_TRUE(cat->AddFiles("Templates\\", dir.path(), 3, rrKeepExisting));
  ASSERT_EQ(cat->Plans[3].size(), 19u);
  std::vector<const TAttachedFile*> inOrder;
  for (const TAttachedFile& f : cat->Files())
    if (f.Name.compare(0, 10, "Templates\\") == 0) inOrder.push_back(&f);
  for (size_t i = 0; i < 19; ++i) EXPECT_EQ(cat->Plans[3][i].Source, inOrder[i]);
  EXPECT_TRUE(cat->AddFiles("Clip Library\\", dir.path(), 4, rrKeepExisting));
  EXPECT_EQ(cat->Plans[4].size(), 242u);

  const int64_t cluster = instutils::ClusterSize(dir.path());
  int64_t expected = 0;
  for (const char* name : {"vlm.exe", "License.txt"})
    for (const TAttachedFile& f : cat->Files())
      if (f.Name == name) expected += (f.Size + cluster - 1) / cluster * cluster;
  EXPECT_EQ(cat->RequiredSpace("vlm.exe\rLicense.txt", dir.path()), expected);
  EXPECT_GT(expected, 2 * cluster);
}
