// Small file helpers shared by the test programs.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace testfiles {

// Test argument i as a Windows path; a Unix path becomes one on Wine's Z: drive.
inline std::string ArgPath(size_t i) {
  const auto& argv = testing::internal::GetArgvs();
  std::string path = argv.size() > i ? argv[i] : std::string();
  if (!path.empty() && path[0] == '/') {
    for (char& c : path)
      if (c == '/') c = '\\';
    path = "Z:" + path;
  }
  return path;
}

// The whole file, or an empty string when it cannot be read.
inline std::string ReadWholeFile(const std::string& path) {
  std::string data;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return data;
  data.resize(GetFileSize(f, nullptr));
  DWORD got = 0;
  if (!data.empty()) ReadFile(f, &data[0], DWORD(data.size()), &got, nullptr);
  data.resize(got);
  CloseHandle(f);
  return data;
}

// Replaces the file's content; false when it cannot be written whole.
inline bool WriteWholeFile(const std::string& path, const std::string& data) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool whole = WriteFile(f, data.data(), DWORD(data.size()), &written, nullptr) && written == data.size();
  CloseHandle(f);
  return whole;
}

}  // namespace testfiles
