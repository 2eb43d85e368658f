// The shipped payload as the built setup carries it: the shape of the archive
// and the content of each record.
#include <gtest/gtest.h>

#include "tests/common/TestFiles.h"
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <set>

#include "ContentReaders.h"
#include "payload/AttachFiles.h"

using namespace product_test;

namespace {

using testfiles::ArgPath;
using testfiles::ReadWholeFile;

std::string Upper(std::string s) {
  CharUpperBuffA(&s[0], DWORD(s.size()));
  return s;
}

std::string FolderOf(const std::string& name) {
  const size_t slash = name.rfind('\\');
  return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

bool EndsWith(const std::string& s, const char* tail) {
  const size_t n = strlen(tail);
  return s.size() >= n && Upper(s.substr(s.size() - n)) == Upper(tail);
}

class ShippedPayload : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string setup = ArgPath(1);
    HMODULE m = LoadLibraryExA(setup.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m, nullptr) << "cannot load the setup " << setup;
    files_.reset(new TAttachedFiles(m));
    FreeLibrary(m);
  }
  static void TearDownTestSuite() { files_.reset(); }

  const std::vector<TAttachedFile>& Records() const { return files_->Files(); }
  std::string Data(const TAttachedFile& f) const {
    return std::string(reinterpret_cast<const char*>(files_->Data()) + f.Offset, f.Size);
  }
  const TAttachedFile* Find(const std::string& name) const {
    for (const auto& f : Records())
      if (Upper(f.Name) == Upper(name)) return &f;
    return nullptr;
  }
  std::string DataOf(const std::string& name) const {
    const TAttachedFile* f = Find(name);
    return f ? Data(*f) : std::string();
  }

  static std::unique_ptr<TAttachedFiles> files_;
};

std::unique_ptr<TAttachedFiles> ShippedPayload::files_;

}  // namespace

TEST_F(ShippedPayload, FirstRecordIsTheProgramWithItsFixedStamp) {
  ASSERT_EQ(Records().size(), 272u);
  const auto* raw = files_->Data();
  EXPECT_EQ(raw[0], 7);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(raw + 1), 7), "vlm.exe");
  const uint8_t stamp[8] = {0x54, 0x81, 0x59, 0x5C, 0xBB, 0x56, 0xE5, 0x40};
  EXPECT_EQ(memcmp(raw + 8, stamp, 8), 0);
  EXPECT_EQ(Records()[0].Offset, 20);
  EXPECT_EQ(Records()[0].TimeStamp, 43701.85502314815);
  EXPECT_EQ(Records().back().Name, "Hyphenation.dat");
  const auto& last = Records().back();
  EXPECT_EQ(int64_t(last.Offset) + last.Size, files_->DataSize());
}

TEST_F(ShippedPayload, GroupsComeInOrder) {
  ASSERT_EQ(Records().size(), 272u);
  const char* head[] = {"vlm.exe", "License.txt", "English (American).asc", "English (British).asc", "us.zlx",
                        "uk.zlx", "userdicen.tlx", "English (American).cache", "english.zlx"};
  for (size_t i = 0; i < 9; ++i) EXPECT_EQ(Records()[i].Name, head[i]) << "record " << i;
  for (size_t i = 9; i < 28; ++i) EXPECT_EQ(Records()[i].Name.compare(0, 10, "Templates\\"), 0) << Records()[i].Name;
  for (size_t i = 28; i < 270; ++i)
    EXPECT_EQ(Records()[i].Name.compare(0, 13, "Clip Library\\"), 0) << Records()[i].Name;
  EXPECT_EQ(Records()[270].Name, "Basic.asn");
  EXPECT_EQ(Records()[271].Name, "Hyphenation.dat");
}

TEST_F(ShippedPayload, FoldersHaveTheirCountsStandTogetherInAlphabeticalOrder) {
  const std::map<std::string, int> expected = {
      {"Templates\\Faxes\\", 3}, {"Templates\\Letters\\", 4}, {"Templates\\Memos\\", 5},
      {"Templates\\Stories\\", 2}, {"Templates\\TOCs\\", 5},
      {"Clip Library\\Closings\\", 28}, {"Clip Library\\Greetings\\", 7},
      {"Clip Library\\Headers & Footers\\", 16}, {"Clip Library\\Miscellaneous\\", 16},
      {"Clip Library\\Phrases\\", 28}, {"Clip Library\\Salutations\\", 13}, {"Clip Library\\Tables\\", 9}};
  const char* imageFolders[] = {"Arrows", "Bugs", "Bullets", "Clocks", "Flowers", "Hearts", "Leaves",
                                "Lines", "Mail", "New", "Phones", "Signs", "Smiles", "Stars"};
  std::map<std::string, int> counts;
  std::vector<std::string> runs;  // folders in the order their runs begin
  for (const auto& f : Records()) {
    const std::string folder = FolderOf(f.Name);
    ++counts[folder];
    if (runs.empty() || runs.back() != folder) runs.push_back(folder);
  }
  for (const auto& [folder, n] : expected) EXPECT_EQ(counts[folder], n) << folder;
  int images = 0;
  for (const char* sub : imageFolders) {
    const int n = counts[std::string("Clip Library\\Images\\") + sub + "\\"];
    EXPECT_GT(n, 0) << sub;
    images += n;
  }
  EXPECT_EQ(images, 125);
  const size_t folders = expected.size() + std::size(imageFolders) + 1;  // + the top level
  EXPECT_EQ(counts.size(), folders) << "no other folder is shipped";

  // Each folder is one run, and within the template and clip-library groups
  // the runs are sorted. The top level holds records before and after them.
  std::set<std::string> seen;
  std::map<std::string, std::vector<std::string>> groups;
  for (const auto& r : runs) {
    if (r.empty()) continue;
    EXPECT_TRUE(seen.insert(r).second) << r << " is split";
    groups[r.substr(0, r.find('\\'))].push_back(Upper(r));
  }
  ASSERT_EQ(groups.size(), 2u);
  for (const auto& [group, folders] : groups)
    EXPECT_TRUE(std::is_sorted(folders.begin(), folders.end())) << group << " folders out of alphabetical order";
}

TEST_F(ShippedPayload, NamesFollowTheArchiveRules) {
  for (const char* name : {"Clip Library\\Headers & Footers\\Author, Page #, Date.rtf",
                           "Templates\\Letters\\Letter 1.rtf", "Templates\\Faxes\\Fax 1.rtf"})
    EXPECT_NE(Find(name), nullptr) << name;
  EXPECT_EQ(Find("English (British).cache"), nullptr) << "the plan writes that copy itself";

  std::set<std::string> upper;
  size_t longest = 0;
  std::string allNames;
  for (const auto& f : Records()) {
    EXPECT_TRUE(upper.insert(Upper(f.Name)).second) << "duplicate " << f.Name;
    EXPECT_FALSE(f.Name.empty());
    EXPECT_NE(f.Name.front(), '\\');
    EXPECT_NE(f.Name.back(), '\\');
    EXPECT_EQ(f.Name.find('/'), std::string::npos) << f.Name;
    longest = std::max(longest, f.Name.size());
    allNames += f.Name;
  }
  EXPECT_EQ(longest, 61u);
  for (char c : std::string(" &(),#")) EXPECT_NE(allNames.find(c), std::string::npos) << c;
}

TEST_F(ShippedPayload, NothingShippedIsRemovedByTheClipLibraryCleanUp) {
  // The plan deletes these after planning the clip library; shipping one would
  // lose it on a portable reinstall, where existing files are kept, not rewritten.
  for (const auto& f : Records()) {
    const std::string n = Upper(f.Name);
    EXPECT_EQ(n.find("CLIP LIBRARY\\IMAGES\\CHECKMARKS\\"), std::string::npos) << f.Name;
    EXPECT_NE(n, "CLIP LIBRARY\\IMAGES\\BULLETS\\TARGET.GIF");
    for (int i = 1; i <= 32; ++i)
      EXPECT_NE(n, "CLIP LIBRARY\\IMAGES\\BULLETS\\BULLET " + std::to_string(i) + ".GIF");
  }
}

TEST_F(ShippedPayload, StampsAreEvenSecondsInTheShippedRangeAndOnlyTheUserDictionaryIsEmpty) {
  const double first = 36596.0;  // 11 March 2000
  const double end = 43702.0;    // 25 August 2019
  for (const auto& f : Records()) {
    EXPECT_GE(f.TimeStamp, first) << f.Name;
    EXPECT_LT(f.TimeStamp, end) << f.Name;
    const double seconds = f.TimeStamp * 86400.0;
    const double whole = std::round(seconds);
    EXPECT_LT(std::fabs(seconds - whole), 1e-3) << f.Name;
    EXPECT_EQ(std::fmod(whole, 2.0), 0.0) << f.Name;
    if (f.Name == "userdicen.tlx")
      EXPECT_EQ(f.Size, 0);
    else
      EXPECT_GT(f.Size, 0) << f.Name;
  }
}

TEST_F(ShippedPayload, EveryRecordIsOfItsKind) {
  int rtf = 0, gif = 0;
  for (const auto& f : Records()) {
    const std::string d = Data(f);
    if (EndsWith(f.Name, ".rtf")) {
      ++rtf;
      EXPECT_EQ(CheckRtfGroups(d), "") << f.Name;
    } else if (EndsWith(f.Name, ".gif")) {
      ++gif;
      GifImage img;
      ASSERT_EQ(DecodeGif(d, img), "") << f.Name;
      // A picture, not a blank: at least two colours are used.
      std::set<uint8_t> used(img.pixels.begin(), img.pixels.end());
      EXPECT_GE(used.size(), 2u) << f.Name;
    }
  }
  EXPECT_EQ(rtf, 19 + 242 - 125);
  EXPECT_EQ(gif, 125);

  const std::string exe = DataOf("vlm.exe");
  ASSERT_GT(exe.size(), 0x40u);
  EXPECT_EQ(exe.compare(0, 2, "MZ"), 0);
  uint32_t pe = 0;
  memcpy(&pe, exe.data() + 0x3C, 4);
  ASSERT_LT(pe + 0x5Cu, exe.size());
  EXPECT_EQ(exe.compare(pe, 4, std::string("PE\0\0", 4)), 0);
  uint16_t subsystem = 0;
  memcpy(&subsystem, exe.data() + pe + 0x5C, 2);
  EXPECT_EQ(subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
  const std::string built = ReadWholeFile(ArgPath(2));
  EXPECT_TRUE(!built.empty() && built == exe) << "the shipped vlm.exe is the one this build made";
}

TEST_F(ShippedPayload, TextFilesUseCrLfAndSayWhatTheyAre) {
  struct Case { const char* name; const char* mustContain; } cases[] = {
      {"License.txt", "VELLUMAR WORD PROCESSOR LITE"},
      {"English (American).asc", "Name=English (American)\r\nTag=en-US\r\nLexicons=english.zlx,us.zlx\r\n"},
      {"English (British).asc", "Name=English (British)\r\nTag=en-GB\r\nLexicons=english.zlx,uk.zlx\r\n"},
      {"Basic.asn", "[Scheme]\r\nName=Basic\r\n"},
      {"Hyphenation.dat", "LeftMin=2\r\nRightMin=3\r\n"},
  };
  for (const auto& c : cases) {
    const std::string d = DataOf(c.name);
    EXPECT_NE(d.find(c.mustContain), std::string::npos) << c.name;
    for (size_t i = 0; i < d.size(); ++i) {
      if (d[i] == '\n') {
        ASSERT_TRUE(i > 0 && d[i - 1] == '\r') << c.name << ": bare LF at " << i;
      }
    }
    EXPECT_EQ(d.compare(d.size() - 2, 2, "\r\n"), 0) << c.name;
  }
  // Each variant offers the other's spelling of a word it spells differently.
  EXPECT_NE(DataOf("English (American).asc").find("\r\ncolour=color\r\n"), std::string::npos);
  EXPECT_NE(DataOf("English (British).asc").find("\r\ncolor=colour\r\n"), std::string::npos);
}

TEST_F(ShippedPayload, HyphenationPatternsAreCountedAndWellFormed) {
  const std::string d = DataOf("Hyphenation.dat");
  const size_t at = d.find("Patterns=");
  ASSERT_NE(at, std::string::npos);
  const long declared = strtol(d.c_str() + at + 9, nullptr, 10);
  size_t p = d.find("\r\n", at) + 2;
  long patterns = 0;
  bool hasDigit = true;
  while (p < d.size()) {
    const size_t e = d.find("\r\n", p);
    const std::string line = d.substr(p, e - p);
    hasDigit = hasDigit && line.find_first_of("0123456789") != std::string::npos &&
               line.find_first_not_of(".abcdefghijklmnopqrstuvwxyz0123456789") == std::string::npos;
    ++patterns;
    p = e + 2;
  }
  EXPECT_GT(declared, 1000);
  EXPECT_EQ(patterns, declared);
  EXPECT_TRUE(hasDigit) << "every pattern is letters, dots and at least one digit";
}

TEST_F(ShippedPayload, LexiconsSplitTheWordsBySpelling) {
  struct Case { const char* name; const char* tag; const char* has; const char* hasNot; } cases[] = {
      {"english.zlx", "en", "house", "colour"}, {"us.zlx", "en-US", "color", "colour"},
      {"uk.zlx", "en-GB", "colour", "color"}};
  std::set<std::string> all;
  size_t total = 0;
  for (const auto& c : cases) {
    Lexicon lex;
    ASSERT_EQ(DecodeLexicon(DataOf(c.name), lex), "") << c.name;
    EXPECT_EQ(lex.tag, c.tag);
    auto has = [&](const char* w) { return std::find(lex.words.begin(), lex.words.end(), w) != lex.words.end(); };
    EXPECT_TRUE(has(c.has)) << c.name << " lacks " << c.has;
    EXPECT_FALSE(has(c.hasNot)) << c.name << " has " << c.hasNot;
    EXPECT_GT(lex.words.size(), 1000u) << c.name;
    all.insert(lex.words.begin(), lex.words.end());
    total += lex.words.size();
  }
  EXPECT_EQ(all.size(), total) << "a word is in one lexicon only";
}

TEST_F(ShippedPayload, CacheIndexesTheSharedLexiconBuckets) {
  Lexicon lex;
  ASSERT_EQ(DecodeLexicon(DataOf("english.zlx"), lex), "");
  const std::string c = DataOf("English (American).cache");
  ASSERT_GE(c.size(), 12u);
  ASSERT_EQ(c.compare(0, 4, "VCCH"), 0);
  uint16_t buckets = 0;
  uint32_t words = 0;
  memcpy(&buckets, c.data() + 6, 2);
  memcpy(&words, c.data() + 8, 4);
  EXPECT_EQ(words, lex.words.size());
  EXPECT_EQ(buckets, lex.declaredBuckets);
  ASSERT_EQ(c.size(), 12u + size_t(buckets) * 14);
  uint32_t expectedFirst = 0;
  for (size_t b = 0; b < buckets; ++b) {
    const char* e = c.data() + 12 + b * 14;
    uint32_t first, count, offset;
    memcpy(&first, e + 2, 4);
    memcpy(&count, e + 6, 4);
    memcpy(&offset, e + 10, 4);
    ASSERT_EQ(first, expectedFirst) << "bucket " << b;
    ASSERT_GT(count, 0u);
    ASSERT_LT(first, lex.words.size());
    EXPECT_EQ(offset, lex.entryOffsets[first]) << "bucket " << b;
    EXPECT_EQ(lex.sharedPrefix[first], 0) << "a bucket's first word is stored whole";
    std::string prefix(e, e[1] ? 2 : 1);
    for (uint32_t w = first; w < first + count; ++w) {
      std::string lower = lex.words[w].substr(0, prefix.size());
      CharLowerBuffA(&lower[0], DWORD(lower.size()));
      ASSERT_EQ(lower, prefix) << lex.words[w] << " in bucket " << b;
    }
    expectedFirst = first + count;
  }
  EXPECT_EQ(expectedFirst, words);
}
