#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include "ArchiveWriter.h"

using namespace packer;

TEST(ArchiveWriter, RecordLayoutMatchesTheFirstShippedRecord) {
  std::string a;
  AppendRecord(a, "vlm.exe", 43701.85502314815, std::string(3, 'M'));
  ASSERT_EQ(a.size(), 1u + 7 + 8 + 4 + 3);
  EXPECT_EQ(a[0], 7);
  EXPECT_EQ(a.substr(1, 7), "vlm.exe");
  const unsigned char stamp[8] = {0x54, 0x81, 0x59, 0x5C, 0xBB, 0x56, 0xE5, 0x40};
  EXPECT_EQ(std::memcmp(a.data() + 8, stamp, 8), 0);
  const unsigned char size[4] = {3, 0, 0, 0};
  EXPECT_EQ(std::memcmp(a.data() + 16, size, 4), 0);
  EXPECT_EQ(a.substr(20), "MMM");  // data of the first record starts at offset 20
}

TEST(ArchiveWriter, StreamIsLevelNineZlibWithNothingAround) {
  std::string archive;
  for (int i = 0; i < 50; ++i) AppendRecord(archive, "f" + std::to_string(i), 36596.0 + i * 2.0 / 86400, "text text text");
  std::string z = CompressArchive(archive);
  ASSERT_GE(z.size(), 6u);
  EXPECT_EQ(static_cast<unsigned char>(z[0]), 0x78);
  EXPECT_EQ(static_cast<unsigned char>(z[1]), 0xDA);
  std::string back(archive.size(), '\0');
  uLongf n = back.size();
  z_stream s{};
  ASSERT_EQ(inflateInit(&s), Z_OK);
  s.next_in = reinterpret_cast<Bytef*>(&z[0]);
  s.avail_in = uInt(z.size());
  s.next_out = reinterpret_cast<Bytef*>(&back[0]);
  s.avail_out = uInt(n);
  EXPECT_EQ(inflate(&s, Z_FINISH), Z_STREAM_END);
  EXPECT_EQ(s.avail_in, 0u) << "bytes follow the stream";
  inflateEnd(&s);
  EXPECT_EQ(back, archive);
}

TEST(ArchiveWriter, MissingSourceIsRefusedWithItsRecordName) {
  ManifestRecord r;
  r.name = "Templates\\Faxes\\Fax 1.rtf";
  r.source = "/nonexistent/fax1.rtf";
  r.line = 7;
  std::string archive;
  std::string err = BuildArchive({r}, archive);
  EXPECT_NE(err.find("record \"Templates\\Faxes\\Fax 1.rtf\" (line 7)"), std::string::npos) << err;
  EXPECT_NE(err.find("missing"), std::string::npos) << err;
}

TEST(ArchiveWriter, ZeroSizeSourceGivesAnEmptyRecord) {
  const std::string path = testing::TempDir() + "vpack_empty.bin";
  std::ofstream(path, std::ios::binary).close();
  ManifestRecord r;
  r.name = "userdicen.tlx";
  r.source = path;
  std::string archive;
  ASSERT_EQ(BuildArchive({r}, archive), "");
  EXPECT_EQ(archive.size(), 13u + r.name.size());
  std::remove(path.c_str());
}
