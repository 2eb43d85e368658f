#include <gtest/gtest.h>

#include "tests/support/Names.h"
#include "components/Locations.h"
#include "contract/ProductInterface.h"
#include "tests/components/Folders.h"

using namespace components;
using namespace testing_components;
using Strings = std::vector<std::string>;

namespace {

using Locations = FoldersTest;

Strings AllKinds(const std::string& mainDir) {
  Strings s;
  for (TDataFolder kind : {dfRoot, dfHidden, dfPublic, dfSpellcheck}) s.push_back(DataFolder(kind, mainDir));
  return s;
}

TEST_F(Locations, PortableFoldersAreTheDestinationAndAskTheDriveEachTime) {
  SetDriveTypeFunction(Removable);
  const std::string d = dest + "\\";
  EXPECT_EQ(AllKinds(dest + "/"), (Strings{d, d, d, d + "Spellcheck\\"}));
  EXPECT_TRUE(instutils::FolderExists(d + "Spellcheck"));
  EXPECT_EQ(DestFile(dest + "/", "vlm.exe"), d + "vlm.exe");
  // The same destination, no longer removable: the shared folders.
  SetDriveTypeFunction(nullptr);
  EXPECT_EQ(DataFolder(dfSpellcheck, dest), shared + "Public\\Spellcheck\\");
}

TEST_F(Locations, SpellcheckerFolderMadeOutermostFirstAndRecordedUnlessSuppressed) {
  EXPECT_EQ(DataFolder(dfSpellcheck, dest), shared + "Public\\Spellcheck\\");
  EXPECT_EQ(Logged(), (Strings{"Made Dir: " + shared, "Made Dir: " + shared + "Public\\",
                               "Made Dir: " + shared + "Public\\Spellcheck\\"}));
  instutils::SuspendLogging();
  EXPECT_EQ(DataFolder(dfHidden, dest), shared + "Hidden\\");
  instutils::ResumeLogging();
  EXPECT_TRUE(instutils::FolderExists(shared + "Hidden"));
  EXPECT_EQ(Logged().size(), 3u);
}

TEST_F(Locations, DocumentsStandInForTheAllUsersFolderAndTheDestinationForBoth) {
  g_commonAppData = "";
  const std::string docs = g_documents + "\\" NAME_SHORT "\\";
  EXPECT_EQ(AllKinds(dest), (Strings{docs, docs + "Hidden\\", docs + "Public\\", docs + "Public\\Spellcheck\\"}));
  EXPECT_TRUE(instutils::FolderExists(docs + "Public\\Spellcheck"));
  // Neither folder: nothing may land relative to the current directory.
  g_documents = "";
  const std::string d = dest + "\\";
  EXPECT_EQ(AllKinds(dest), (Strings{d, d, d, d + "Spellcheck\\"}));
  EXPECT_EQ(AllKinds(""), (Strings{"", "", "", ""}));
}

TEST(ProductCommands, QuotedProgramPathWithTheTypesInFixedOrder) {
  const std::string exe = DestFile("C:\\Program Files\\" NAME_SHORT, product::kProgramFile);
  EXPECT_EQ(product::AssociationCommand(exe, "CA"), "\"C:\\Program Files\\" NAME_SHORT "\\vlm.exe\" -assoc vdoc_rtf_doc");
  EXPECT_EQ(product::AssociationArgument("DCBAD"), "-assoc vdoc_rtf_cod_doc_docx");
  EXPECT_EQ(product::AssociationArgument(""), "-assoc vdoc");
  EXPECT_EQ(product::LaunchCommand(exe), "\"C:\\Program Files\\" NAME_SHORT "\\vlm.exe\"");
  EXPECT_EQ(product::UninstallCommand(exe), "\"C:\\Program Files\\" NAME_SHORT "\\vlm.exe\" -ui");
}

}  // namespace
