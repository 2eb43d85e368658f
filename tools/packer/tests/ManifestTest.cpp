#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "Manifest.h"

using packer::CheckName;
using packer::ManifestRecord;
using packer::ParseManifest;

namespace {

// A manifest whose sources all exist: the test's own file stands in for them.
std::string Parse(const std::string& text, std::vector<ManifestRecord>* out = nullptr) {
  std::vector<ManifestRecord> r;
  std::string err = ParseManifest(text, "m.txt", ".", "/build", r);
  if (out) *out = r;
  return err;
}

}  // namespace

TEST(ManifestNames, AcceptsNamesTheShippedPayloadUses) {
  for (const char* n : {"vlm.exe", "Clip Library\\Headers & Footers\\Author, Page #, Date.rtf",
                        "English (American).asc", "Templates\\Letters\\Letter 1.rtf", "a..b", "..x"})
    EXPECT_EQ(CheckName(n), "") << n;
}

TEST(ManifestNames, RefusesNamesThatCouldLeaveTheTargetFolderOrBreakTheFormat) {
  struct Case { std::string name; const char* why; } cases[] = {
      {"", "empty"},
      {std::string(256, 'a'), "longer than 255"},
      {"\\vlm.exe", "leading or trailing"},
      {"Templates\\", "leading or trailing"},
      {"Templates/Fax.rtf", "\"/\""},
      {"C:vlm.exe", "\":\""},
      {"..\\evil.exe", "\"..\" component"},
      {"Templates\\..\\..\\evil.exe", "\"..\" component"},
      {"Templates\\..", "\"..\" component"},
      {"a\\\\b", "empty folder level"},
      // Shipped yet never installed: the setup refuses what Windows would resolve upwards.
      {" ", "only dots and spaces"},
      {"Templates\\...\\evil.exe", "only dots and spaces"},
      {"Templates\\. .\\Fax.rtf", "only dots and spaces"},
      // Names no Windows file can carry, or that land on another record's file.
      {"Fax?.rtf", "\"?\""},
      {"Templates\\Letter|1.rtf", "\"|\""},
      {"Templates.\\Fax.rtf", "ending in a dot or a space"},
      {"Fax.rtf ", "ending in a dot or a space"},
  };
  for (const auto& c : cases) {
    std::string why = CheckName(c.name);
    EXPECT_NE(why.find(c.why), std::string::npos) << "name \"" << c.name << "\" gave: " << why;
  }
  EXPECT_EQ(CheckName(std::string(255, 'a')), "");
}

TEST(ManifestParse, ReadsRecordsInOrderAndResolvesSources) {
  std::vector<ManifestRecord> r;
  ASSERT_EQ(Parse("// comment\r\n"
                  "vlm.exe\t2019-08-24 20:31:14\t$BUILD/product/vlm.exe\r\n"
                  "\n"
                  "License.txt\t2000-03-11 00:00:00\tcontent/License.txt\n",
                  &r),
            "");
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].name, "vlm.exe");
  EXPECT_EQ(r[0].source, "/build/product/vlm.exe");
  EXPECT_EQ(r[0].stamp, 43701.85502314815);
  EXPECT_EQ(r[0].line, 2);
  EXPECT_EQ(r[1].source, "./content/License.txt");
  EXPECT_EQ(r[1].line, 4);
}

TEST(ManifestParse, RefusalsNameTheLineAndTheRecord) {
  struct Case { const char* text; const char* expect; } cases[] = {
      {"a.txt\t2019-08-24 20:31:14\tx\nA.TXT\t2019-08-24 20:31:14\tx\n", "m.txt:2: record \"A.TXT\": the name equals"},
      {"a.txt\t2019-08-24 20:31:15\tx\n", "m.txt:1: record \"a.txt\": time stamp \"2019-08-24 20:31:15\" has an odd"},
      {"a.txt\t2019-08-24 20:31:14.5\tx\n", "not of the form"},
      {"a.txt\t1979-12-31 23:59:58\tx\n", "outside the DOS date range"},
      {"a.txt\t2108-01-01 00:00:00\tx\n", "outside the DOS date range"},
      {"a.txt\t2019-02-29 00:00:00\tx\n", "not a valid date"},
      {"a.txt\t2019-08-24 20:31:14\n", "three fields"},
      {"a.txt\t2019-08-24 20:31:14\t\n", "no source file"},
      {"\\a.txt\t2019-08-24 20:31:14\tx\n", "record \"\\a.txt\": the name has a leading"},
  };
  for (const auto& c : cases) {
    std::string err = Parse(c.text);
    EXPECT_NE(err.find(c.expect), std::string::npos) << "got: " << err;
  }
}

TEST(ManifestParse, CaseInsensitiveDuplicatesIncludeAccentedLetters) {
  EXPECT_NE(Parse("caf\xe9.txt\t2019-08-24 20:31:14\tx\nCAF\xc9.TXT\t2019-08-24 20:31:14\tx\n").find("equals"),
            std::string::npos);
  EXPECT_EQ(Parse("a.txt\t1980-01-01 00:00:00\tx\nb.txt\t2107-12-31 23:59:58\tx\n"), "");
}
