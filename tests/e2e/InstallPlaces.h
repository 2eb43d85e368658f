// What an install through the real setup leaves on the system, and the means
// to find and remove it: every flow test starts clean and leaves nothing.
#pragma once
#include <windows.h>

#include <string>

#include "tests/support/Names.h"

namespace e2e {

inline constexpr char kInstallKey[] = NAME_KEY "\\Install";
inline constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" NAME_PRODUCT;
inline constexpr char kLinkName[] = "\\" NAME_PRODUCT ".lnk";
inline constexpr const char* kTypes[] = {"rtf", "cod", "doc", "docx"};

std::string SpecialFolder(int csidl);
bool Exists(const std::string& path);
// A value as text (a DWORD in decimal), or "<absent>"; a null name reads the default value.
std::string RegText(HKEY root, const std::string& key, const char* name);
bool KeyExists(HKEY root, const std::string& sub);
void DeleteTree(const std::string& folder);
std::string ProgId(const char* type);
// The extension's default value under the user's classes names the product's type.
bool Registered(const char* type);

// Everything an install can leave behind, removed before and after each test.
// The root is named after the test process; Wine hands a later run the same
// id, so what a failed run left there is removed first.
struct Places {
  std::string root, dest, data;
  std::string allUsersLinks[2], userLinks[2];

  Places();
  ~Places();
  Places(const Places&) = delete;
  Places& operator=(const Places&) = delete;
  void CleanUp() const;
};

}  // namespace e2e
