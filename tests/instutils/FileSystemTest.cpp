#include <gtest/gtest.h>
#include <shlobj.h>

#include <atomic>

#include "tests/support/Names.h"
#include "Scratch.h"
#include "instutils/InstUtils.h"
#include "instutils/Logs.h"
#include "instutils/TestSeams.h"
#include "base/Threads.h"

using namespace instutils;
using namespace testing_support;

namespace {

// Restores the working directory a test changed.
class KeepCurrentDirectory {
 public:
  KeepCurrentDirectory() : saved_(CurrentFolder()) {}
  ~KeepCurrentDirectory() { SetCurrentDirectoryA(saved_.c_str()); }

 private:
  std::string saved_;
};

std::vector<std::string> LoggedLines() { return LogList ? LogList->Lines() : std::vector<std::string>(); }

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLogs();
    StartInstallLog("");  // an in-memory log, as for a portable install
  }
  void TearDown() override { ResetLogs(); }
  ScratchFolder scratch;
  KeepCurrentDirectory keep;
};

TEST_F(FileSystemTest, CurrentFolderEndsInBackslash) {
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
  EXPECT_EQ(CurrentFolder(), "C:\\");
  ASSERT_TRUE(SetCurrentDirectoryA(scratch.path().c_str()));
  EXPECT_TRUE(SamePath(CurrentFolder(), scratch.path()));
}

TEST_F(FileSystemTest, PushAndPopRestoreNested) {
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
  PushCurrentFolder();
  SetCurrentDirectoryA(scratch.path().c_str());
  PushCurrentFolder();
  SetCurrentDirectoryA("C:\\windows");
  PopCurrentFolder();
  EXPECT_TRUE(SamePath(CurrentFolder(), scratch.path()));
  PopCurrentFolder();
  EXPECT_EQ(CurrentFolder(), "C:\\");
  PopCurrentFolder();  // unpaired: nothing happens
  EXPECT_EQ(CurrentFolder(), "C:\\");
}

TEST_F(FileSystemTest, FolderExistsOnlyForEnterableFoldersNamedAsReported) {
  WriteFileBytes(scratch / "file.txt", "x");
  CreateDirectoryA((scratch / "sub").c_str(), nullptr);
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));

  EXPECT_TRUE(FolderExists("C:\\"));
  EXPECT_TRUE(FolderExists("c:\\"));
  EXPECT_TRUE(FolderExists("C:"));
  EXPECT_TRUE(FolderExists("c:\\WINDOWS"));
  EXPECT_TRUE(FolderExists(scratch / "sub"));
  EXPECT_TRUE(FolderExists(scratch / "SUB\\"));

  EXPECT_FALSE(FolderExists(scratch / "file.txt"));
  EXPECT_FALSE(FolderExists(scratch / "missing"));
  EXPECT_FALSE(FolderExists(""));
  EXPECT_FALSE(FolderExists("windows"));  // relative, though C:\windows exists
  EXPECT_FALSE(FolderExists("C:\\windows\\."));
  EXPECT_FALSE(FolderExists("C:\\windows\\..\\windows"));
  EXPECT_FALSE(FolderExists(scratch / "sub\\..\\sub"));
  EXPECT_FALSE(FolderExists("C:/windows"));

  EXPECT_EQ(CurrentFolder(), "C:\\");  // every test left the directory as it was
}

// FolderExists, ClusterSize and MakeDir on two threads: each answer must be
// right and the directory in force before must be the one left behind.
TEST_F(FileSystemTest, CurrentDirectoryOperationsAreSerialisedAcrossThreads) {
  const std::string a = scratch / "alpha", b = scratch / "beta";
  CreateDirectoryA(a.c_str(), nullptr);
  CreateDirectoryA(b.c_str(), nullptr);
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\windows"));
  const std::string before = CurrentFolder();
  const uint32_t cluster = ClusterSize(a);
  ASSERT_GT(cluster, 0u);

  ResetLogs();  // the log itself is for one thread at a time
  std::atomic<int> wrong{0};
  auto worker = [&](const std::string& mine, const std::string& other, int id) {
    for (int i = 0; i < 300; ++i) {
      if (!FolderExists(mine)) ++wrong;
      if (FolderExists(mine + "\\nope")) ++wrong;
      if (ClusterSize(other) != cluster) ++wrong;
      MakeDir(mine);  // exists: must record nothing
      if (i % 50 == 0) MakeDir(mine + "\\made" + std::to_string(id) + "_" + std::to_string(i));
    }
  };
  base::Thread t1([&] { worker(a, b, 1); }), t2([&] { worker(b, a, 2); });
  t1.Join();
  t2.Join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(CurrentFolder(), before);
  for (int i = 0; i < 300; i += 50) {
    EXPECT_TRUE(IsDir(a + "\\made1_" + std::to_string(i)));
    EXPECT_TRUE(IsDir(b + "\\made2_" + std::to_string(i)));
  }
}

TEST_F(FileSystemTest, TempFolderAndPrefix) {
  EXPECT_EQ(TempPrefix(), "~" NAME_IDENT "LiteSetup");
  const std::string temp = TempFolder();
  EXPECT_TRUE(SamePath(temp, TempPathOfSystem()));
  EXPECT_EQ(LastChar(temp), '\\');
}

void RemovePrefixedTempEntries() {
  const std::string temp = TempPathOfSystem();
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((temp + "~" NAME_IDENT "LiteSetup*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  std::vector<std::string> names;
  do names.push_back(fd.cFileName); while (FindNextFileA(h, &fd));
  FindClose(h);
  for (const auto& n : names) {
    SetFileAttributesA((temp + n).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (IsDir(temp + n))
      ForceDeleteTree(temp + n);
    else
      DeleteFileA((temp + n).c_str());
  }
}

TEST_F(FileSystemTest, TempFileNameTakesFirstFreeCounterAndIgnoresFolders) {
  RemovePrefixedTempEntries();
  const std::string base = TempPathOfSystem() + "~" NAME_IDENT "LiteSetup";
  EXPECT_TRUE(SamePath(TempFileName(), base + "0.tmp"));
  EXPECT_FALSE(IsFile(base + "0.tmp"));  // not created

  WriteFileBytes(base + "0.tmp", "");
  WriteFileBytes(base + "1.tmp", "");
  EXPECT_TRUE(SamePath(TempFileName(), base + "2.tmp"));

  DeleteFileA((base + "0.tmp").c_str());
  CreateDirectoryA((base + "0.tmp").c_str(), nullptr);  // a folder is no file
  EXPECT_TRUE(SamePath(TempFileName(), base + "0.tmp"));
  RemovePrefixedTempEntries();
}

TEST_F(FileSystemTest, CleanTempFolderRemovesPrefixedEntriesOnly) {
  RemovePrefixedTempEntries();
  const std::string temp = TempPathOfSystem();
  const std::string p = temp + "~" NAME_IDENT "LiteSetup";
  WriteFileBytes(p + "0.tmp", "a");
  WriteFileBytes(p + "1.tmp", "b");
  SetFileAttributesA((p + "1.tmp").c_str(), FILE_ATTRIBUTE_HIDDEN);
  CreateDirectoryA((p + "Dir").c_str(), nullptr);
  CreateDirectoryA((p + "Dir\\inner").c_str(), nullptr);
  WriteFileBytes(p + "Dir\\inner\\f.txt", "c");
  SetFileAttributesA((p + "Dir").c_str(), FILE_ATTRIBUTE_HIDDEN);
  WriteFileBytes(p + "RO.tmp", "d");
  SetFileAttributesA((p + "RO.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
  const std::string otherCase = temp + "~vellumarwordprocessorlitesetupX.tmp";
  WriteFileBytes(otherCase, "e");
  const std::string unrelated = temp + "unrelated_instutils.tmp";
  WriteFileBytes(unrelated, "f");

  CleanTempFolder();

  EXPECT_FALSE(IsFile(p + "0.tmp"));
  EXPECT_FALSE(IsFile(p + "1.tmp"));
  EXPECT_FALSE(IsDir(p + "Dir"));
  EXPECT_TRUE(IsFile(p + "RO.tmp"));  // its deletion fails
  EXPECT_TRUE(IsFile(otherCase));
  EXPECT_TRUE(IsFile(unrelated));
  EXPECT_TRUE(IsDir(temp));

  SetFileAttributesA((p + "RO.tmp").c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA((p + "RO.tmp").c_str());
  DeleteFileA(otherCase.c_str());
  DeleteFileA(unrelated.c_str());
}

TEST_F(FileSystemTest, FileSizeOfAndWriteWholeFile) {
  const std::string f = scratch / "data.bin";
  WriteFileBytes(f, std::string(5000, 'x'));
  WriteWholeFile(f, std::string("\x01\x00\x02", 3));  // replaces, no terminator
  EXPECT_EQ(ReadAll(f), std::string("\x01\x00\x02", 3));
  EXPECT_EQ(FileSizeOf(f), 3u);
  WriteWholeFile(f, "");
  EXPECT_EQ(FileSizeOf(f), 0u);
  EXPECT_EQ(FileSizeOf(scratch / "missing.bin"), INVALID_FILE_SIZE);
  WriteWholeFile(scratch / "nofolder\\x.bin", "abc");  // silently nothing
  EXPECT_FALSE(IsFile(scratch / "nofolder\\x.bin"));
}

TEST_F(FileSystemTest, ClusterSizeAndSizeOnDisk) {
  DWORD spc = 0, bps = 0, fc = 0, tc = 0;
  ASSERT_TRUE(GetDiskFreeSpaceA("C:\\", &spc, &bps, &fc, &tc));
  const uint32_t c = spc * bps;
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\windows"));
  const std::string before = CurrentFolder();
  EXPECT_EQ(ClusterSize(scratch.path()), c);
  EXPECT_EQ(ClusterSize(scratch / "not\\there\\yet"), c);  // measured on the nearest existing ancestor
  EXPECT_EQ(CurrentFolder(), before);

  const int32_t ci = static_cast<int32_t>(c);
  EXPECT_EQ(SizeOnDisk(scratch.path(), 0), 0);
  EXPECT_EQ(SizeOnDisk(scratch.path(), 1), ci);
  EXPECT_EQ(SizeOnDisk(scratch.path(), ci), ci);
  EXPECT_EQ(SizeOnDisk(scratch.path(), ci + 1), 2 * ci);
}

BOOL WINAPI FailingDiskFreeSpace(LPCSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD) {
  SetLastError(ERROR_NOT_READY);
  return FALSE;
}
BOOL WINAPI ZeroDiskFreeSpace(LPCSTR, LPDWORD spc, LPDWORD bps, LPDWORD fc, LPDWORD tc) {
  *spc = 0;
  *bps = 512;
  *fc = *tc = 0;
  return TRUE;
}

TEST_F(FileSystemTest, SizeOnDiskFallsBackWhenTheVolumeCannotBeMeasured) {
  for (DiskFreeSpaceFn fn : {&FailingDiskFreeSpace, &ZeroDiskFreeSpace}) {
    SetDiskFreeSpaceFunction(fn);
    EXPECT_EQ(ClusterSize(scratch.path()), 0u);
    EXPECT_EQ(SizeOnDisk(scratch.path(), 0), 0);
    EXPECT_EQ(SizeOnDisk(scratch.path(), 1), 4096);
    EXPECT_EQ(SizeOnDisk(scratch.path(), 8192), 8192);
    EXPECT_EQ(SizeOnDisk(scratch.path(), 8193), 12288);
  }
  SetDiskFreeSpaceFunction(nullptr);
  EXPECT_GT(ClusterSize(scratch.path()), 0u);
}

TEST_F(FileSystemTest, FileTimeHasEvenSecondsAndMissingFileGivesNow) {
  const std::string f = scratch / "dated.txt";
  WriteFileBytes(f, "x");
  // 15 June 2020 10:20:31.500 local time.
  SYSTEMTIME st = {};
  st.wYear = 2020; st.wMonth = 6; st.wDay = 15; st.wHour = 10; st.wMinute = 20; st.wSecond = 31;
  st.wMilliseconds = 500;
  FILETIME local, utc;
  ASSERT_TRUE(SystemTimeToFileTime(&st, &local));
  ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
  SYSTEMTIME created = st;
  created.wYear = 2019;
  FILETIME localCreated, utcCreated;
  SystemTimeToFileTime(&created, &localCreated);
  LocalFileTimeToFileTime(&localCreated, &utcCreated);
  HANDLE h = CreateFileA(f.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(SetFileTime(h, &utcCreated, nullptr, &utc));
  CloseHandle(h);

  const double expected = 43997 + (10 * 3600 + 20 * 60 + 30) / 86400.0;
  EXPECT_NEAR(LastWriteTimeOf(f), expected, 1e-9);
  EXPECT_NEAR(FileTimeOf(f, true), expected, 1e-9);
  // Wine on a Linux file system may not keep a creation time of its own.
  FILETIME kept = {};
  h = CreateFileA(f.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  GetFileTime(h, &kept, nullptr, nullptr);
  CloseHandle(h);
  if (CompareFileTime(&kept, &utcCreated) == 0)
    EXPECT_NEAR(FileTimeOf(f, false), expected - 366, 1e-9);  // 2019-06-15
  else
    EXPECT_NEAR(FileTimeOf(f, false), expected, 1e-9) << "creation time not kept; expected it to follow the write";

  const double now = NowAsDateTime();
  EXPECT_NEAR(FileTimeOf(scratch / "missing.txt", true), now, 5.0 / 86400);
}

TEST_F(FileSystemTest, DriveTypes) {
  EXPECT_EQ(DriveTypeOf("C:\\windows\\system32"), static_cast<UINT>(DRIVE_FIXED));
  EXPECT_EQ(DriveTypeOf("c:"), static_cast<UINT>(DRIVE_FIXED));
  EXPECT_EQ(DriveTypeOf("Q:\\nothing\\here"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
}

TEST_F(FileSystemTest, MakeDirCreatesAndRecordsOutermostFirst) {
  const std::string deep = scratch / NAME_SHORT "\\Templates\\Faxes";
  MakeDir(deep);
  EXPECT_TRUE(IsDir(deep));
  const std::vector<std::string> expected = {
      "Made Dir: " + scratch.path() + NAME_SHORT "\\",
      "Made Dir: " + scratch.path() + NAME_SHORT "\\Templates\\",
      "Made Dir: " + deep,
  };
  EXPECT_EQ(LoggedLines(), expected);

  MakeDir(deep);  // exists: nothing recorded
  MakeDir(scratch / "VELLUMAR\\");
  EXPECT_EQ(LoggedLines(), expected);

  MakeDir(scratch / "Trailing\\");
  EXPECT_EQ(LoggedLines().back(), "Made Dir: " + scratch.path() + "Trailing\\");

  MakeDir("");  // no folder, no line
  EXPECT_EQ(LoggedLines().size(), 4u);
}

TEST_F(FileSystemTest, MakeDirRecordsEvenWhenCreationFails) {
  WriteFileBytes(scratch / "blocker", "x");
  MakeDir(scratch / "blocker\\sub");
  EXPECT_FALSE(IsDir(scratch / "blocker\\sub"));
  const std::vector<std::string> expected = {
      "Made Dir: " + scratch.path() + "blocker\\",
      "Made Dir: " + scratch.path() + "blocker\\sub",
  };
  EXPECT_EQ(LoggedLines(), expected);
}

TEST_F(FileSystemTest, MakeDirRecordsNothingWhileSuspended) {
  SuspendLogging();
  MakeDir(scratch / "quiet\\folder");
  ResumeLogging();
  EXPECT_TRUE(IsDir(scratch / "quiet\\folder"));
  EXPECT_TRUE(LoggedLines().empty());
}

TEST_F(FileSystemTest, DeleteTreeRemovesNestedFoldersAndKeepsReadOnly) {
  const std::string root = scratch / "tree";
  MakeDir(root + "\\a\\b\\c");
  WriteFileBytes(root + "\\top.txt", "1");
  WriteFileBytes(root + "\\a\\b\\c\\deep.txt", "2");
  WriteFileBytes(root + "\\a\\hidden.txt", "3");
  SetFileAttributesA((root + "\\a\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  DeleteTree(root);
  EXPECT_FALSE(IsDir(root));

  MakeDir(root + "\\keep\\x");
  WriteFileBytes(root + "\\keep\\ro.txt", "4");
  SetFileAttributesA((root + "\\keep\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  DeleteTree(root + "\\");
  EXPECT_TRUE(IsFile(root + "\\keep\\ro.txt"));
  EXPECT_FALSE(IsDir(root + "\\keep\\x"));
}

TEST_F(FileSystemTest, DeleteTreeOfEmptyNameLeavesTheCurrentDirectoryAlone) {
  WriteFileBytes(scratch / "precious.txt", "x");
  CreateDirectoryA((scratch / "folder").c_str(), nullptr);
  ASSERT_TRUE(SetCurrentDirectoryA(scratch.path().c_str()));
  DeleteTree("");
  EXPECT_TRUE(IsFile(scratch / "precious.txt"));
  EXPECT_TRUE(IsDir(scratch / "folder"));
}

TEST_F(FileSystemTest, DeleteTreeRemovesALinkedFolderButNotWhatItPointsTo) {
  using CreateSymbolicLinkAFn = BOOLEAN(WINAPI*)(LPCSTR, LPCSTR, DWORD);
  auto createLink = reinterpret_cast<CreateSymbolicLinkAFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA")));
  if (!createLink) GTEST_SKIP() << "no symbolic links on this system";
  const std::string outside = scratch / "outside";
  CreateDirectoryA(outside.c_str(), nullptr);
  WriteFileBytes(outside + "\\keep.txt", "x");
  const std::string tree = scratch / "tree";
  CreateDirectoryA(tree.c_str(), nullptr);
  if (!createLink((tree + "\\link").c_str(), outside.c_str(), 1 /* directory */))
    GTEST_SKIP() << "symbolic link not created, error " << GetLastError();
  DWORD attr = GetFileAttributesA((tree + "\\link").c_str());
  if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_REPARSE_POINT))
    GTEST_SKIP() << "link not reported as a reparse point";
  DeleteTree(tree);
  EXPECT_FALSE(IsDir(tree));
  EXPECT_TRUE(IsFile(outside + "\\keep.txt"));
}

TEST_F(FileSystemTest, TempFolderFallsBackToDocumentsWhenTheTempPathIsMissing) {
  BindSpecialFolderLookup();
  char tmp[MAX_PATH] = {}, temp[MAX_PATH] = {};
  GetEnvironmentVariableA("TMP", tmp, MAX_PATH);
  GetEnvironmentVariableA("TEMP", temp, MAX_PATH);
  const std::string missing = scratch / "no such temp";
  SetEnvironmentVariableA("TMP", missing.c_str());
  SetEnvironmentVariableA("TEMP", missing.c_str());
  const std::string seen = TempPathOfSystem();
  const std::string folder = TempFolder();
  SetEnvironmentVariableA("TMP", tmp[0] ? tmp : nullptr);
  SetEnvironmentVariableA("TEMP", temp[0] ? temp : nullptr);
  if (!SamePath(seen, missing + "\\")) GTEST_SKIP() << "temp path not taken from TMP: " << seen;
  EXPECT_EQ(folder, SpecialFolder(CSIDL_PERSONAL) + "\\");
}

TEST(SpecialFolderTest, EmptyWhenUnboundElseTheFolderWithoutBackslash) {
  UnbindSpecialFolderLookup();
  EXPECT_EQ(SpecialFolder(CSIDL_PERSONAL), "");
  BindSpecialFolderLookup();
  ASSERT_TRUE(SpecialFolderLookupBound());
  const std::string docs = SpecialFolder(CSIDL_PERSONAL);
  ASSERT_FALSE(docs.empty());
  EXPECT_NE(LastChar(docs), '\\');
  EXPECT_TRUE(FolderExists(docs));
}

}  // namespace
