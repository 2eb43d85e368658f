#include "tests/payload/TestCatalogue.h"

#include <cmath>

#include "instutils/InstUtils.h"
#include "tests/payload/ArchiveBuilder.h"

namespace testing_payload {

namespace {

std::string Bytes(size_t n, char seed) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = char(seed + i % 23);
  return s;
}

std::vector<TestRecord> MakeRecords() {
  std::vector<TestRecord> r = {
      {"vlm.exe", kVlmStamp, std::string(kVlmSize, 'M')},
      {"License.txt", 43679.42708333333, "Licence terms.\r\n"},
      {"userdicen.tlx", kUserDicStamp, ""},
      {"English (American).cache", 37755.38266203704, Bytes(9000, 'c')},
      {"Templates.txt", 38139.5, "not a template"},
  };
  const char* folders[] = {"Letters", "Faxes", "TOCs", "Memos", "Stories"};
  const int counts[] = {4, 3, 5, 5, 2};
  const char* singular[] = {"Letter", "Fax", "TOC", "Memo", "Story"};
  int serial = 0;
  for (int f = 0; f < 5; ++f) {
    for (int i = 1; i <= counts[f]; ++i, ++serial) {
      r.push_back({std::string("Templates\\") + folders[f] + "\\" + singular[f] + " " + std::to_string(i) + ".rtf",
                   38139.5 + serial / 720.0, Bytes(size_t(700 + 613 * serial), 'a')});
    }
    if (f == 1) r.push_back({"Clip Library\\Headers & Footers\\Author, Page #, Date.rtf", 38200.0, Bytes(5000, 'h')});
    if (f == 2) r.push_back({"Templates\\..\\..\\Escaped.rtf", 38200.0, "outside"});
  }
  r.push_back({"..\\Up.txt", 38200.0, "outside"});
  r.push_back({"C:\\Drive.txt", 38200.0, "outside"});
  r.push_back({"\\Rooted.txt", 38200.0, "outside"});
  r.push_back({"Old.txt", 1.0, "before the DOS epoch"});
  r.push_back({"Basic.asn", 36700.0, Bytes(3000, 's')});
  return r;
}

}  // namespace

const std::vector<TestRecord>& TestRecords() {
  static const std::vector<TestRecord> records = MakeRecords();
  return records;
}

std::vector<std::string> TemplateNames() {
  std::vector<std::string> names;
  for (const TestRecord& r : TestRecords())
    if (r.name.compare(0, 10, "Templates\\") == 0 && r.name.find("..") == std::string::npos) names.push_back(r.name);
  return names;
}

const TestRecord& RecordNamed(const std::string& name) {
  for (const TestRecord& r : TestRecords())
    if (r.name == name) return r;
  static const TestRecord none{};
  return none;
}

std::unique_ptr<TAttachedFiles> NewTestCatalogue() {
  static const std::string stream = [] {
    std::string a;
    for (const TestRecord& r : TestRecords()) AddRecord(a, r.name, r.stamp, r.data);
    return Compress(a);
  }();
  return std::unique_ptr<TAttachedFiles>(
      new TAttachedFiles(reinterpret_cast<const uint8_t*>(stream.data()), uint32_t(stream.size())));
}

const TAttachedFile* Entry(const TAttachedFiles& c, const std::string& name) {
  for (const TAttachedFile& f : c.Files())
    if (f.Name == name) return &f;
  return nullptr;
}

ScratchFolder::ScratchFolder() {
  static int serial = 0;
  path_ = instutils::TempFolder() + "vlmtest-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(++serial) + "\\";
  instutils::DeleteTree(path_);
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { instutils::DeleteTree(path_); }

std::string ReadFileBytes(const std::string& path) {
  std::string data;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (f == INVALID_HANDLE_VALUE) return data;
  data.resize(GetFileSize(f, nullptr));
  DWORD got = 0;
  if (!data.empty()) ReadFile(f, &data[0], DWORD(data.size()), &got, nullptr);
  data.resize(got);
  CloseHandle(f);
  return data;
}

bool WriteFileBytes(const std::string& path, const std::string& data) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  const BOOL ok = WriteFile(f, data.data(), DWORD(data.size()), &put, nullptr);
  CloseHandle(f);
  return ok && put == data.size();
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

SYSTEMTIME LocalWriteTime(const std::string& path) {
  SYSTEMTIME st{};
  WIN32_FILE_ATTRIBUTE_DATA d;
  FILETIME local;
  if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d) && FileTimeToLocalFileTime(&d.ftLastWriteTime, &local))
    FileTimeToSystemTime(&local, &st);
  return st;
}

bool ShiftWriteTime(const std::string& path, int seconds) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  FILETIME ft;
  bool ok = GetFileTime(f, nullptr, nullptr, &ft);
  ULARGE_INTEGER u;
  u.LowPart = ft.dwLowDateTime;
  u.HighPart = ft.dwHighDateTime;
  u.QuadPart += uint64_t(int64_t(seconds) * 10000000);
  ft.dwLowDateTime = u.LowPart;
  ft.dwHighDateTime = u.HighPart;
  ok = ok && SetFileTime(f, nullptr, nullptr, &ft);
  CloseHandle(f);
  return ok;
}

TFileAnswer ScriptedAsker::CannotWrite(const std::string& target) {
  asked.push_back(target);
  if (script.empty()) return faAbort;
  const Answer a = script.front();
  script.pop_front();
  if (a.before) a.before();
  return a.answer;
}

}  // namespace testing_payload
