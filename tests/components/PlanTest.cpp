#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "tests/support/Names.h"
#include "components/InstallPlan.h"
#include "contract/ProductInterface.h"
#include "tests/common/TestFiles.h"
#include "tests/components/Folders.h"
#include "tests/payload/ArchiveBuilder.h"

using namespace components;
using namespace testing_components;
using testing_payload::Exists;
using testing_payload::WriteFileBytes;
using Strings = std::vector<std::string>;

namespace {

constexpr int32_t kAbsent = product::kLastRunVerAbsent;
constexpr TComponentSet kAll = 0x3F;

struct Record {
  const char* name;
  size_t size;
};
// In the shipped payload's order, which is not the plan's.
const Record kRecords[] = {
    {"vlm.exe", 300}, {"License.txt", 40}, {"English (American).asc", 11}, {"English (British).asc", 12},
    {"us.zlx", 13}, {"uk.zlx", 14}, {"userdicen.tlx", 0}, {"English (American).cache", 900},
    {"English (British).cache", 17},  // a decoy: the British cache is the American one renamed
    {"english.zlx", 15}, {"Templates\\Faxes\\Fax 1.rtf", 21}, {"Templates\\Letters\\Letter 1.rtf", 23},
    {"Clip Library\\Closings\\Cheers.rtf", 31}, {"Clip Library\\Images\\Bullets\\Star Bullet.gif", 32},
    {"Basic.asn", 41}, {"Hyphenation.dat", 51}};

std::unique_ptr<TAttachedFiles> NewCatalogue() {
  std::string archive;
  for (const Record& r : kRecords) testing_payload::AddRecord(archive, r.name, 38000.5, std::string(r.size, 'x'));
  const std::string z = testing_payload::Compress(archive);
  return std::make_unique<TAttachedFiles>(reinterpret_cast<const uint8_t*>(z.data()), uint32_t(z.size()));
}

class Plan : public FoldersTest {
 protected:
  void SetUp() override {
    FoldersTest::SetUp();
    cat = NewCatalogue();
  }
  void TearDown() override {
    cat.reset();
    FoldersTest::TearDown();
  }
  // "source > target", "+" when the extraction is to be logged.
  Strings Lines(int list) const {
    Strings s;
    for (const TFileToInstall& f : cat->Plans[list]) s.push_back(f.Source->Name + " > " + f.Target + (f.Logged ? " +" : ""));
    return s;
  }
  double Build(TComponentSet set, int32_t lastRun) { return BuildInstallPlan(*cat, {set, dest, lastRun}); }
  void Extract(const std::string& name, const std::string& target) {
    ASSERT_TRUE(cat->ExtractFile(nullptr, name, target, noQuestions)) << target;
  }

  std::unique_ptr<TAttachedFiles> cat;
  testing_payload::ScriptedAsker noQuestions;  // none expected: one would be answered Abort
  const std::string d = dest + "\\";
};

TEST_F(Plan, NormalInstallRewritesEverythingAndStampsTheHiddenFolder) {
  const std::string pub = shared + "Public\\", sp = pub + "Spellcheck\\";
  // An earlier install of the same files with the same times.
  Extract("vlm.exe", d + "vlm.exe");
  Extract("userdicen.tlx", sp + "userdicen.tlx");
  Extract("Templates\\Faxes\\Fax 1.rtf", pub + "Templates\\Faxes\\Fax 1.rtf");

  const double before = instutils::NowAsDateTime();
  const double stamp = Build(kAll, kAbsent);
  EXPECT_TRUE(cat->AlwaysReplace);
  EXPECT_EQ(Lines(0), (Strings{"vlm.exe > " + d + "vlm.exe +", "License.txt > " + d + "License.txt +"}));
  const std::string am = "English (American).cache > ";
  EXPECT_EQ(Lines(1), (Strings{"English (American).asc > " + sp + "English (American).asc",
                               am + sp + "English (American).cache",
                               "English (British).asc > " + sp + "English (British).asc",
                               am + sp + "English (British).cache", "english.zlx > " + sp + "english.zlx",
                               "us.zlx > " + sp + "us.zlx", "uk.zlx > " + sp + "uk.zlx",
                               "userdicen.tlx > " + sp + "userdicen.tlx"}));
  EXPECT_EQ(Lines(2), (Strings{"Hyphenation.dat > " + d + "Hyphenation.dat +"}));
  EXPECT_EQ(Lines(3), (Strings{"Templates\\Faxes\\Fax 1.rtf > " + pub + "Templates\\Faxes\\Fax 1.rtf",
                               "Templates\\Letters\\Letter 1.rtf > " + pub + "Templates\\Letters\\Letter 1.rtf"}));
  EXPECT_EQ(Lines(4), (Strings{"Clip Library\\Closings\\Cheers.rtf > " + pub + "Clip Library\\Closings\\Cheers.rtf",
                               "Clip Library\\Images\\Bullets\\Star Bullet.gif > " + pub +
                                   "Clip Library\\Images\\Bullets\\Star Bullet.gif"}));
  EXPECT_EQ(Lines(5), (Strings{"Basic.asn > " + pub + "Basic.asn +"}));
  EXPECT_FALSE(UseTargetAsGiven);
  EXPECT_EQ(instutils::LogSuspendCount, 0);

  int32_t all = 0;
  for (const Record& r : kRecords) all += int32_t(r.size);
  EXPECT_EQ(cat->PlannedSize(), all - 17 + 900) << "the American cache twice, the decoy never";
  // Public files, marked where the user's copy would have been kept.
  EXPECT_EQ(cat->UpdateList,
            (Strings{sp + "English (American).asc\t!", sp + "English (American).cache\t!",
                     sp + "English (British).asc\t!", sp + "English (British).cache\t!", sp + "english.zlx",
                     sp + "us.zlx", sp + "uk.zlx", sp + "userdicen.tlx\t!", pub + "Templates\\Faxes\\Fax 1.rtf\t!",
                     pub + "Templates\\Letters\\Letter 1.rtf\t!", pub + "Clip Library\\Closings\\Cheers.rtf\t!",
                     pub + "Clip Library\\Images\\Bullets\\Star Bullet.gif\t!", pub + "Basic.asn"}));

  EXPECT_GE(stamp, before);
  EXPECT_LE(stamp, instutils::NowAsDateTime());
  const std::string bytes = testfiles::ReadWholeFile(shared + "Hidden\\install_stamp");
  ASSERT_EQ(bytes.size(), 8u);
  double written;
  std::memcpy(&written, bytes.data(), 8);
  EXPECT_EQ(written, stamp);
}

TEST_F(Plan, PortableInstallKeepsUserFilesAndWritesNothingOutsideTheDestination) {
  SetDriveTypeFunction(Removable);
  const std::string sp = d + "Spellcheck\\";
  Extract("vlm.exe", d + "vlm.exe");
  Extract("License.txt", d + "License.txt");
  ASSERT_TRUE(testing_payload::ShiftWriteTime(d + "License.txt", 2));
  Extract("us.zlx", sp + "us.zlx");
  ASSERT_TRUE(WriteFileBytes(sp + "userdicen.tlx", "the user's own words"));
  ASSERT_TRUE(WriteFileBytes(sp + "English (British).cache", "rebuilt by the product"));
  Extract("Templates\\Faxes\\Fax 1.rtf", d + "Templates\\Faxes\\Fax 1.rtf");

  EXPECT_EQ(Build(kAll, kAbsent), 0.0);
  EXPECT_FALSE(cat->AlwaysReplace);
  EXPECT_EQ(Lines(0), (Strings{"License.txt > " + d + "License.txt +"}));
  EXPECT_EQ(Lines(1), (Strings{"English (American).asc > " + sp + "English (American).asc",
                               "English (American).cache > " + sp + "English (American).cache",
                               "English (British).asc > " + sp + "English (British).asc",
                               "english.zlx > " + sp + "english.zlx", "uk.zlx > " + sp + "uk.zlx"}));
  EXPECT_EQ(Lines(2), (Strings{"Hyphenation.dat > " + d + "Hyphenation.dat +"}));
  EXPECT_EQ(Lines(3), (Strings{"Templates\\Letters\\Letter 1.rtf > " + d + "Templates\\Letters\\Letter 1.rtf"}));
  EXPECT_EQ(cat->Plans[4].size(), 2u);
  EXPECT_EQ(Lines(5), (Strings{"Basic.asn > " + d + "Basic.asn +"}));
  EXPECT_TRUE(cat->UpdateList.empty());
  EXPECT_FALSE(Exists(d + "install_stamp"));
  EXPECT_FALSE(Exists(shared));
}

TEST_F(Plan, FoldersMadeInSuppressedStretchesLeaveNoLogLines) {
  const std::string root = "Made Dir: " + shared, pub = root + "Public\\", hidden = root + "Hidden\\";
  const struct {
    TComponentSet set;
    Strings logged;
  } cases[] = {
      {0x01 | 0x02 | 0x20, {hidden}},  // the spellchecker made the shared folders quietly
      {0x01 | 0x08 | 0x20, {hidden}},  // so did the templates
      {0x01 | 0x20, {root, pub, hidden}},
      {0x01, {root, hidden}},
  };
  for (const auto& c : cases) {
    instutils::DeleteTree(shared);
    instutils::LogList->Clear();
    Build(c.set, kAbsent);
    EXPECT_EQ(Logged(), c.logged) << int(c.set);
    EXPECT_EQ(instutils::LogSuspendCount, 0) << int(c.set);
  }
}

// Plants every obsolete image and its near neighbours below base; returns the
// files that must survive a clean-up.
Strings PlantImages(const std::string& base, Strings& obsolete) {
  const std::string images = base + "Clip Library\\Images\\";
  for (const std::string& folder : {images + "Checkmarks\\Old\\", images + "Bullets\\", images + "Arrows\\",
                                    base + "Clip Library\\Bullets\\"})
    instutils::MakeDir(folder);
  obsolete = {images + "Checkmarks\\Check.gif", images + "Checkmarks\\Old\\Check.gif", images + "Bullets\\Target.gif"};
  for (int n = 1; n <= 32; ++n) obsolete.push_back(images + "Bullets\\Bullet " + std::to_string(n) + ".gif");
  Strings kept = {images + "Bullets\\Bullet 0.gif", images + "Bullets\\Bullet 33.gif",
                        images + "Bullets\\Bullet 01.gif", images + "Bullets\\Target.png",
                        images + "Checkmarks.gif", images + "Arrows\\Bullet 1.gif",
                        base + "Clip Library\\Bullets\\Bullet 1.gif"};
  for (const Strings* list : {&obsolete, &kept})
    for (const std::string& f : *list) EXPECT_TRUE(WriteFileBytes(f, "gif")) << f;
  return kept;
}

TEST_F(Plan, CleanUpRemovesExactlyTheObsoleteImages) {
  // Normal: in the documents folder, never in the public data folder.
  Strings obsolete, ignored;
  Strings kept = PlantImages(g_documents + "\\" NAME_SHORT "\\", obsolete);
  for (const std::string& f : PlantImages(shared + "Public\\", ignored)) kept.push_back(f);
  kept.insert(kept.end(), ignored.begin(), ignored.end());
  Build(0x01, 20003999);
  for (const std::string& f : obsolete) EXPECT_FALSE(Exists(f)) << f;
  EXPECT_FALSE(Exists(g_documents + "\\" NAME_SHORT "\\Clip Library\\Images\\Checkmarks"));
  for (const std::string& f : kept) EXPECT_TRUE(Exists(f)) << f;

  // Portable: in the destination.
  SetDriveTypeFunction(Removable);
  kept = PlantImages(d, obsolete);
  Build(0x01, 20003999);
  for (const std::string& f : obsolete) EXPECT_FALSE(Exists(f)) << f;
  for (const std::string& f : kept) EXPECT_TRUE(Exists(f)) << f;
}

TEST_F(Plan, ClipLibraryAndCleanUpFollowTheChoiceAndTheLastRunVersion) {
  const struct {
    bool chosen;
    int32_t lastRun;
    bool planned, cleaned;
  } cases[] = {{false, 20003999, true, true},  {false, 20004000, false, false}, {false, kAbsent, false, false},
               {false, -1, true, true},        {true, 29999999, true, true},    {true, 30000000, true, false},
               {true, kAbsent, true, false}};
  const std::string bullet = g_documents + "\\" NAME_SHORT "\\Clip Library\\Images\\Bullets\\Bullet 7.gif";
  for (const auto& c : cases) {
    instutils::MakeDir(g_documents + "\\" NAME_SHORT "\\Clip Library\\Images\\Bullets\\");
    ASSERT_TRUE(WriteFileBytes(bullet, "gif"));
    Build(TComponentSet(0x09 | (c.chosen ? 0x10 : 0)), c.lastRun);
    EXPECT_EQ(cat->Plans[3].size(), 2u) << c.lastRun;
    EXPECT_EQ(cat->Plans[4].size(), c.planned ? 2u : 0u) << c.chosen << " " << c.lastRun;
    EXPECT_EQ(!Exists(bullet), c.cleaned) << c.chosen << " " << c.lastRun;
  }
}

// The shipped payload holds every record the plan asks for.
TEST(ShippedPayloadPlan, EveryRequestFindsItsRecords) {
  instutils::BindSpecialFolderLookup();
  HMODULE m = LoadLibraryExA(testfiles::ArgPath(1).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(m, nullptr) << "pass the setup executable";
  TAttachedFiles cat(m);
  FreeLibrary(m);
  testing_payload::ScratchFolder scratch;
  SetDriveTypeFunction(Removable);  // everything stays in the scratch folder
  BuildInstallPlan(cat, {kAll, scratch / NAME_SHORT, kAbsent});
  SetDriveTypeFunction(nullptr);
  size_t templates = 0, clips = 0;
  for (const TAttachedFile& f : cat.Files()) {
    templates += f.Name.compare(0, 10, "Templates\\") == 0;
    clips += f.Name.compare(0, 13, "Clip Library\\") == 0;
  }
  ASSERT_GT(templates * clips, 0u);
  const size_t expected[kPlanCount] = {2, 8, 1, templates, clips, 1};
  for (int list = 0; list < kPlanCount; ++list) EXPECT_EQ(cat.Plans[list].size(), expected[list]) << list;
}

}  // namespace
