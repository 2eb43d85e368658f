#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "base/WinHandles.h"
#include "instutils/TestSeams.h"
#include "instutils/FolderSize.h"
#include "tests/instutils/Scratch.h"
#include "tests/instutils/FakeDisk.h"

using testing_support::WriteFileBytes;

namespace {

// Stands in for a junction: Wine cannot make one.
DWORD LoopIsAJunction(const std::string& path, DWORD listed) {
  const bool loop = path.size() >= 5 && path.compare(path.size() - 5, 5, "\\loop") == 0;
  return loop ? listed | FILE_ATTRIBUTE_REPARSE_POINT : listed;
}

// A file of that size without writing it (sparse on the host).
bool MakeFileOfSize(const std::string& path, int64_t size) {
  base::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  LARGE_INTEGER at;
  at.QuadPart = size;
  return file && SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) && SetEndOfFile(file.get());
}

class FolderSizeTest : public ::testing::Test {
 protected:
  void SetUp() override { instutils::SetDiskFreeSpaceFunction(FakeDiskFreeSpace); }
  void TearDown() override {
    g_sectorsPerCluster = 8;
    instutils::SetDiskFreeSpaceFunction(nullptr);
    SetEntryAttributesFunction(nullptr);
  }
  testing_support::ScratchFolder scratch;
};

TEST_F(FolderSizeTest, EveryFileCountsItsWholeClustersInWholeKilobytes) {
  WriteFileBytes(scratch / "a.txt", std::string(100, 'a'));
  WriteFileBytes(scratch / "hidden.bin", std::string(4096, 'h'));
  SetFileAttributesA((scratch / "hidden.bin").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  CreateDirectoryA((scratch / "sub").c_str(), nullptr);
  CreateDirectoryA((scratch / "sub\\deeper").c_str(), nullptr);
  WriteFileBytes(scratch / "sub\\b.dat", std::string(4097, 'b'));
  WriteFileBytes(scratch / "sub\\deeper\\empty", "");

  g_sectorsPerCluster = 8;  // 4096-byte clusters: 4 + 4 + 8 + 0
  EXPECT_EQ(FolderSizeKB(scratch.path()), 16u);
  g_sectorsPerCluster = 1;  // 512-byte clusters: 0 + 4 + 4 + 0
  EXPECT_EQ(FolderSizeKB(scratch.path()), 8u);
  EXPECT_EQ(FolderSizeKB(scratch / "sub"), 4u);  // without a trailing backslash too
}

TEST_F(FolderSizeTest, AJunctionIsNotEnteredAndLargeSumsSaturate) {
  CreateDirectoryA((scratch / "loop").c_str(), nullptr);
  WriteFileBytes(scratch / "loop\\inside", std::string(5000, 'x'));
  EXPECT_EQ(FolderSizeKB(scratch.path()), 8u);
  SetEntryAttributesFunction(LoopIsAJunction);
  EXPECT_EQ(FolderSizeKB(scratch.path()), 0u);

  // Sizes past 32 bits count whole; the 32-bit sum stops at its largest value.
  ASSERT_TRUE(MakeFileOfSize(scratch / "big", (int64_t{6} << 30) + 1));
  EXPECT_EQ(FolderSizeKB(scratch.path()), (6u << 20) + 4);
  ASSERT_TRUE(MakeFileOfSize(scratch / "huge", int64_t{5} << 40));
  EXPECT_EQ(FolderSizeKB(scratch.path()), 0xFFFFFFFFu);
}

}  // namespace
