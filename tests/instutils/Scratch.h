// A fresh folder under the temporary folder per test, removed afterwards.
#pragma once
#include <windows.h>

#include <string>

#include "instutils/InstUtils.h"

namespace testing_support {

inline std::string TempPathOfSystem() {
  char buf[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, buf);
  return buf;
}

using instutils::IsFile;

inline bool IsDir(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

inline std::string ReadAll(const std::string& path) {
  std::string data;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) data.append(buf, got);
  CloseHandle(h);
  return data;
}

// Makes everything below the folder writable again, then removes it.
inline void ForceDeleteTree(const std::string& folder) {
  std::string dir = folder;
  instutils::AddBackslash(dir);
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      SetFileAttributesA((dir + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        ForceDeleteTree(dir + name);
      else
        DeleteFileA((dir + name).c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}

class ScratchFolder {
 public:
  ScratchFolder() {
    static int counter = 0;
    path_ = TempPathOfSystem() + "instutils_test_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++counter) + "\\";
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~ScratchFolder() { ForceDeleteTree(path_); }
  const std::string& path() const { return path_; }  // with trailing backslash
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

inline void WriteFileBytes(const std::string& path, const std::string& data) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  CloseHandle(h);
}

}  // namespace testing_support
