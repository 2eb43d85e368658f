#include <gtest/gtest.h>

#include "tests/common/TestFiles.h"

#include "ArchiveBuilder.h"
#include "payload/AttachFiles.h"
#include "payload/PayloadArchive.h"

using namespace testing_payload;
using payload::PayloadDamaged;

namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

TAttachedFiles FromArchive(const std::string& archive) {
  std::string z = Compress(archive);
  return TAttachedFiles(Bytes(z), uint32_t(z.size()));
}

}  // namespace

TEST(PayloadParse, RecordsKeepArchiveOrderWithDataOffsets) {
  std::string a;
  AddRecord(a, "vlm.exe", 43701.85502314815, "MZ-program");
  AddRecord(a, "userdicen.tlx", 36596.5, "");
  AddRecord(a, "Templates\\Faxes\\Fax 1.rtf", 38000.25, "{\\rtf1}");
  auto files = payload::ParseArchive(Bytes(a), uint32_t(a.size()));
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].Name, "vlm.exe");
  EXPECT_EQ(files[0].Offset, 20);
  EXPECT_EQ(files[0].Size, 10);
  EXPECT_EQ(files[0].TimeStamp, 43701.85502314815);
  // A zero-size record's data offset is where the next record begins.
  EXPECT_EQ(files[1].Size, 0);
  EXPECT_EQ(files[1].Offset, 20 + 10 + 13 + 13);
  EXPECT_EQ(uint32_t(files[1].Offset), 20 + 10 + 13 + 13u);
  EXPECT_EQ(a.substr(files[2].Offset, files[2].Size), "{\\rtf1}");
}

TEST(PayloadParse, EmptyNameAndEmptyArchive) {
  std::string a;
  AddRecord(a, "", 1.0, "abc");
  AddRecord(a, "next", 2.0, "d");
  auto files = payload::ParseArchive(Bytes(a), uint32_t(a.size()));
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].Name, "");
  EXPECT_EQ(files[0].Offset, 13);
  EXPECT_EQ(files[1].Name, "next");
  EXPECT_TRUE(payload::ParseArchive(nullptr, 0).empty());
  EXPECT_TRUE(FromArchive("").Files().empty());
}

TEST(PayloadParse, FieldsReachingPastTheEndAreDamage) {
  std::string good;
  AddRecord(good, "a.txt", 1.0, "hello");
  struct Case { const char* what; std::string archive; } cases[] = {
      {"header cut in the name", good.substr(0, 4)},
      {"header cut in the size", good.substr(0, 16)},
      {"data cut short", good.substr(0, good.size() - 1)},
      {"size past the end", [] { std::string a; AddRawRecord(a, "b", 1.0, 1000, "xyz"); return a; }()},
      {"negative size", [] { std::string a; AddRawRecord(a, "b", 1.0, -5, "xyz"); return a; }()},
      {"huge size", [] { std::string a; AddRawRecord(a, "b", 1.0, 0x7FFFFFFF, "xyz"); return a; }()},
  };
  for (const auto& c : cases) {
    EXPECT_THROW(payload::ParseArchive(Bytes(c.archive), uint32_t(c.archive.size())), PayloadDamaged) << c.what;
  }
}

TEST(PayloadInflate, GrowthRuleAndRoundTrip) {
  EXPECT_EQ(payload::InitialInflateCapacity(2845581), 14227905u);
  EXPECT_EQ(payload::InflateGrowthStep(2845581), 2845696u);
  EXPECT_EQ(payload::InflateGrowthStep(256), 256u);
  EXPECT_EQ(payload::InflateGrowthStep(1), 256u);

  // Highly compressible data forces many growth steps past the 5x estimate.
  std::string a;
  AddRecord(a, "zeros.bin", 40000.0, std::string(3 << 20, '\0'));
  AddRecord(a, "tail.txt", 40000.0, "end");
  std::string z = Compress(a);
  ASSERT_LT(z.size() * 5, a.size());
  auto inflated = payload::InflatePayload(Bytes(z), uint32_t(z.size()));
  ASSERT_EQ(inflated.size, a.size());
  EXPECT_EQ(std::string(reinterpret_cast<char*>(inflated.data.get()), inflated.size), a);
}

TEST(PayloadInflate, DamagedStreamsAreReportedNotRead) {
  std::string a;
  AddRecord(a, "a.txt", 1.0, std::string(5000, 'x') + "yz");
  const std::string z = Compress(a);
  std::string flipped = z;
  flipped[z.size() / 2] ^= 0x55;
  std::string badAdler = z;
  badAdler.back() ^= 1;
  struct Case { const char* what; std::string stream; } cases[] = {
      {"empty", ""},
      {"not zlib", "this is not a zlib stream"},
      {"cut short", z.substr(0, z.size() / 2)},
      {"missing trailer", z.substr(0, z.size() - 2)},
      {"corrupt", flipped},
      {"checksum", badAdler},
      {"trailing bytes", z + "junk"},
  };
  for (const auto& c : cases) {
    EXPECT_THROW(TAttachedFiles(Bytes(c.stream), uint32_t(c.stream.size())), PayloadDamaged) << c.what;
  }
}

TEST(PayloadResource, MissingResourceIsDamage) {
  // The test executable carries no "FILES" resource.
  EXPECT_THROW(TAttachedFiles(GetModuleHandleA(nullptr)), PayloadDamaged);
}

namespace {

using testfiles::ArgPath;
using testfiles::ReadWholeFile;

}  // namespace

// The packer's archive, through the resource compiler and back out of the
// setup's own resource, byte for byte.
TEST(PayloadResource, TheSetupsResourceInflatesToThePackersArchive) {
  const std::string setupPath = ArgPath(1), archivePath = ArgPath(2);
  ASSERT_FALSE(setupPath.empty()) << "pass the setup executable and the packed archive";
  HMODULE m = LoadLibraryExA(setupPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(m, nullptr) << setupPath;
  TAttachedFiles files(m);
  FreeLibrary(m);
  const std::string archive = ReadWholeFile(archivePath);
  ASSERT_FALSE(archive.empty()) << archivePath;
  ASSERT_EQ(files.DataSize(), int32_t(archive.size()));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(files.Data()), archive.size()), archive);
  ASSERT_FALSE(files.Files().empty());
  int64_t end = 0;
  for (const auto& f : files.Files()) end = f.Offset + int64_t(f.Size);
  EXPECT_EQ(end, files.DataSize()) << "the last record ends where the archive ends";
}
