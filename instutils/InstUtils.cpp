#include "instutils/InstUtils.h"

#include <shlobj.h>

#include <atomic>
#include <memory>
#include <vector>

#include "base/Threads.h"
#include "base/WinHandles.h"
#include "instutils/Logs.h"
#include "instutils/TestSeams.h"
#include "contract/Names.h"

namespace instutils {

namespace {

// The setup's window title; the temporary-file prefix is built from its letters.
constexpr char kSetupTitle[] = SETUP_TITLE;

constexpr int32_t kFallbackClusterSize = 4096;
constexpr int64_t kMB = 1048576;

// The current directory is process-wide. One lock, taken by the push and
// released by the matching pop on the same thread, keeps the two threads from
// restoring each other's directory. t_pushDepth counts this thread's pushes,
// so a stray pop never releases a lock this thread does not hold.
base::CriticalSection g_folderLock;
thread_local int t_pushDepth = 0;
std::unique_ptr<std::vector<std::string>> g_folderStack;

std::atomic<DiskFreeSpaceFn> g_diskFreeSpace{nullptr};

std::string GroupDigits(int64_t n) {
  std::string s = std::to_string(n);
  // 0-based positions L-3, L-6, ... while past the first character.
  for (int64_t pos = static_cast<int64_t>(s.size()) - 3; pos > 0; pos -= 3) s.insert(static_cast<size_t>(pos), 1, ' ');
  return s;
}

// Division by 2^20 rounding a half to the even neighbour.
int64_t RoundedMegabytes(int64_t v) {
  const bool neg = v < 0;
  const uint64_t a = neg ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  uint64_t q = a / kMB;
  const uint64_t r2 = (a % kMB) * 2;
  if (r2 > static_cast<uint64_t>(kMB) || (r2 == static_cast<uint64_t>(kMB) && (q & 1))) ++q;
  return neg ? -static_cast<int64_t>(q) : static_cast<int64_t>(q);
}

// Everything up to and including the last "\" or ":"; empty when there is none.
std::string ParentPart(const std::string& p) {
  size_t pos = p.find_last_of("\\:");
  return pos == std::string::npos ? std::string() : p.substr(0, pos + 1);
}

struct FindEntry {
  std::string name;
  DWORD attributes;
};

// Every entry of folder (with trailing backslash) + "*.*", all attributes.
std::vector<FindEntry> ListFolder(const std::string& folder) {
  std::vector<FindEntry> entries;
  WIN32_FIND_DATAA fd;
  base::UniqueFind find(FindFirstFileA((folder + "*.*").c_str(), &fd));
  if (!find) return entries;
  do {
    entries.push_back({fd.cFileName, fd.dwFileAttributes});
  } while (FindNextFileA(find.get(), &fd));
  return entries;
}

}  // namespace

// C: for a drive-letter path, \\server\share for a UNC path, else empty.
std::string DrivePart(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    size_t server = path.find('\\', 2);
    if (server == std::string::npos) return path;
    size_t share = path.find('\\', server + 1);
    return share == std::string::npos ? path : path.substr(0, share);
  }
  return std::string();
}

void SetDiskFreeSpaceFunction(DiskFreeSpaceFn fn) { g_diskFreeSpace = fn; }

void AddBackslash(std::string& path) {
  if (path.empty()) return;
  char& last = path.back();
  if (last == '/' || last == '\\')
    last = '\\';
  else
    path += '\\';
}

void DeleteFirstChar(std::string& s) {
  if (!s.empty()) s.erase(0, 1);
}

void DeleteLastChar(std::string& s) {
  if (!s.empty()) s.pop_back();
}

char LastChar(const std::string& s) { return s.back(); }

std::string JoinPath(const std::string& folder, const std::string& name) {
  std::string result = folder;
  AddBackslash(result);
  return result + name;
}

bool SamePath(const std::string& a, const std::string& b) {
  std::string ua = a, ub = b;
  if (!ua.empty()) CharUpperBuffA(&ua[0], static_cast<DWORD>(ua.size()));
  if (!ub.empty()) CharUpperBuffA(&ub[0], static_cast<DWORD>(ub.size()));
  return ua == ub;
}

namespace {

std::string FullFolderPath(const std::string& path) {
  if (path.empty()) return path;
  std::string full(MAX_PATH, '\0');
  DWORD got = GetFullPathNameA(path.c_str(), DWORD(full.size()), &full[0], nullptr);
  if (got >= full.size()) {
    full.assign(got, '\0');
    got = GetFullPathNameA(path.c_str(), DWORD(full.size()), &full[0], nullptr);
  }
  if (got == 0 || got >= full.size()) return path;  // not a path Windows can resolve: compare as typed
  full.resize(got);
  // "C:\" keeps its backslash; any other folder is compared without one.
  if (full.size() > 3 && full.back() == '\\') full.pop_back();
  return full;
}

}  // namespace

bool SameFolder(const std::string& a, const std::string& b) { return SamePath(FullFolderPath(a), FullFolderPath(b)); }

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string LongPathName(const std::string& path) {
  // Missing from Windows NT 4.0 and 95, where the setup only shows its refusal.
  using GetLongPathNameAFn = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
  static const auto fn = reinterpret_cast<GetLongPathNameAFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetLongPathNameA")));
  char buffer[MAX_PATH + 1];
  const DWORD got = fn ? fn(path.c_str(), buffer, sizeof buffer) : 0;
  return got > 0 && got < sizeof buffer ? std::string(buffer, got) : path;
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      out += "\r\n";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string EscapeAmpersands(const std::string& text) {
  if (text == "-") return "- ";  // a lone "-" would make the label a separator line
  std::string result;
  result.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '&') result += '&';
    result += c;
  }
  return result;
}

std::string GroupThousands(int32_t n) { return GroupDigits(n); }

std::string CurrentFolder() {
  std::string s;
  DWORD need = GetCurrentDirectoryA(0, nullptr);
  while (need > 0) {
    s.assign(need, '\0');
    DWORD got = GetCurrentDirectoryA(need, &s[0]);
    if (got < need) {  // the count without the NUL
      s.resize(got);
      break;
    }
    need = got;  // the directory grew in between
  }
  if (need == 0) s.clear();
  AddBackslash(s);
  return s;
}

void PushCurrentFolder() {
  g_folderLock.Enter();
  ++t_pushDepth;
  if (!g_folderStack) g_folderStack = std::make_unique<std::vector<std::string>>();
  g_folderStack->push_back(CurrentFolder());
}

void PopCurrentFolder() {
  if (t_pushDepth == 0) return;  // nothing of this thread's to restore
  if (g_folderStack && !g_folderStack->empty()) {
    SetCurrentDirectoryA(g_folderStack->back().c_str());
    g_folderStack->pop_back();
  }
  --t_pushDepth;
  g_folderLock.Leave();
}

bool FolderExists(const std::string& path) {
  PushCurrentFolder();
  std::string copy = path;
  AddBackslash(copy);
  SetCurrentDirectoryA(copy.c_str());
  bool result = SamePath(CurrentFolder(), copy);
  PopCurrentFolder();
  return result;
}

std::string TempFolder() {
  std::string s;
  DWORD need = GetTempPathA(0, nullptr);
  if (need > 0) {
    s.assign(need, '\0');
    GetTempPathA(need, &s[0]);
    size_t nul = s.find('\0');
    if (nul != std::string::npos) s.resize(nul);
  }
  if (!FolderExists(s)) s = SpecialFolder(CSIDL_PERSONAL);
  AddBackslash(s);
  return s;
}

std::string TempPrefix() {
  std::string prefix = "~";
  for (const char* p = kSetupTitle; *p; ++p)
    if ((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z')) prefix += *p;
  return prefix;
}

std::string TempFileName() {
  const std::string base = TempFolder() + TempPrefix();
  for (uint32_t n = 0;; ++n) {
    std::string name = base + std::to_string(n) + ".tmp";
    if (!IsFile(name)) return name;
  }
}

void CleanTempFolder() {
  const std::string folder = TempFolder();
  const std::string prefix = TempPrefix();
  for (const FindEntry& e : ListFolder(folder)) {
    if (e.name.compare(0, prefix.size(), prefix) != 0) continue;
    if (e.attributes & FILE_ATTRIBUTE_DIRECTORY)
      DeleteTree(folder + e.name);
    else
      DeleteFileA((folder + e.name).c_str());
  }
}

uint32_t FileSizeOf(const std::string& path) {
  base::UniqueFile file(
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return INVALID_FILE_SIZE;
  return GetFileSize(file.get(), nullptr);
}

uint32_t ClusterSize(const std::string& folder) {
  PushCurrentFolder();
  // A folder that does not exist yet (the destination before installing) is
  // measured on its nearest existing ancestor, which lies on the same volume,
  // rather than on whatever the current directory happens to be.
  std::string p = folder;
  while (!p.empty() && !SetCurrentDirectoryA(p.c_str())) {
    std::string trimmed = p;
    if (trimmed.back() == '\\') trimmed.pop_back();
    std::string parent = ParentPart(trimmed);
    if (parent.size() >= p.size()) break;
    p = parent;
  }
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  DiskFreeSpaceFn fn = g_diskFreeSpace;
  if (!fn) fn = GetDiskFreeSpaceA;
  BOOL ok = fn(nullptr, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters);
  PopCurrentFolder();
  if (!ok) return 0;
  uint64_t bytes = static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector;
  return bytes > 0xFFFFFFFFu ? 0 : static_cast<uint32_t>(bytes);
}

int32_t SizeOnDisk(const std::string& folder, int32_t size) {
  uint32_t measured = ClusterSize(folder);
  int32_t c = (measured == 0 || measured > 0x7FFFFFFFu) ? kFallbackClusterSize : static_cast<int32_t>(measured);
  if (size % c == 0) return size;
  // 32-bit wrap-around as the callers' totals expect, without signed overflow.
  return static_cast<int32_t>(static_cast<uint32_t>(size / c + 1) * static_cast<uint32_t>(c));
}

std::string FormatSize(int64_t bytes) {
  const int64_t m = RoundedMegabytes(bytes);
  if (bytes >= 16777215 || (bytes != 0 && bytes == m * kMB)) return GroupDigits(m) + " MB";
  return GroupDigits(bytes / 1024) + " KB";
}

double FileTimeOf(const std::string& path, bool lastWrite) {
  WIN32_FIND_DATAA fd;
  {
    base::UniqueFind find(FindFirstFileA(path.c_str(), &fd));
    if (!find) return NowAsDateTime();
  }
  FILETIME local;
  FileTimeToLocalFileTime(lastWrite ? &fd.ftLastWriteTime : &fd.ftCreationTime, &local);
  WORD dosDate = 0, dosTime = 0;
  if (FileTimeToDosDateTime(&local, &dosDate, &dosTime)) return DosDateTimeToDateTime(dosDate, dosTime);
  // Outside the DOS range (before 1980, after 2107): the same two-second
  // resolution from the system time, rather than an undefined value.
  SYSTEMTIME st;
  if (!FileTimeToSystemTime(&local, &st)) return NowAsDateTime();
  FILETIME back;
  st.wMilliseconds = 0;
  st.wSecond = static_cast<WORD>(st.wSecond & ~1);
  SystemTimeToFileTime(&st, &back);
  ULARGE_INTEGER t;
  t.LowPart = back.dwLowDateTime;
  t.HighPart = back.dwHighDateTime;
  // FILETIME counts 100 ns from 1601-01-01, 109205 days before 1899-12-30.
  return static_cast<double>(static_cast<int64_t>(t.QuadPart / 10000000)) / 86400.0 - 109205.0;
}

double LastWriteTimeOf(const std::string& path) { return FileTimeOf(path, true); }

UINT DriveTypeOf(const std::string& path) {
  std::string root = DrivePart(path);
  AddBackslash(root);
  return GetDriveTypeA(root.c_str());
}

void MakeDir(const std::string& path) {
  if (path.empty()) return;  // would otherwise record a "Made Dir: " line with no folder
  // A new folder whose parent is there, as an install makes them: one call.
  if (CreateDirectoryA(path.c_str(), nullptr)) {
    LogLine("Made Dir: " + path);
    return;
  }
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  if (FolderExists(path)) return;
  std::string p = path;
  if (p.back() == '\\') p.pop_back();
  std::string parent = ParentPart(p);
  if (parent.size() < path.size()) MakeDir(parent);
  CreateDirectoryA(path.c_str(), nullptr);
  LogLine("Made Dir: " + path);
}

void WriteWholeFile(const std::string& path, const std::string& data) {
  base::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return;
  DWORD written = 0;
  WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
}

void DeleteTree(const std::string& folder) {
  // An empty folder name would list and empty the current directory.
  if (folder.empty()) return;
  std::string dir = folder;
  AddBackslash(dir);
  for (const FindEntry& e : ListFolder(dir)) {
    if (e.name == "." || e.name == "..") continue;
    const std::string full = dir + e.name;
    if (!(e.attributes & FILE_ATTRIBUTE_DIRECTORY))
      DeleteFileA(full.c_str());
    else if (e.attributes & FILE_ATTRIBUTE_REPARSE_POINT)
      RemoveDirectoryA(full.c_str());  // a linked folder: remove the link, never what it points to
    else
      DeleteTree(full);
  }
  RemoveDirectoryA(dir.c_str());
}

}  // namespace instutils
