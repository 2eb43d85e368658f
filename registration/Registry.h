// A small registry accessor: one root, at most one open key, typed reads that
// refuse data of the wrong type or size, and plain writes whose failures are
// not reported (saving settings is never worth a message).
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "base/WinHandles.h"

class TRegistryAccess {
 public:
  TRegistryAccess() = default;  // root HKEY_CURRENT_USER, no key open

  // Predefined keys only; the root is never closed. Closes any open key.
  void SetRoot(HKEY root);
  HKEY Root() const { return root_; }

  // Opens the key, creating it when missing, and makes it the open key. A path
  // beginning with "\" is taken from the root; any other path from the open
  // key, or from the root when none is open. A failed open leaves no key open,
  // so that later values never land in, or come from, the previous key.
  bool OpenKey(const std::string& path);
  void CloseKey() { key_.reset(); }
  HKEY CurrentKey() const { return key_.get(); }

  bool ValueExists(const std::string& name) const;  // a size query succeeds, whatever the type

  // Each read is empty when the value is absent or not of its kind:
  // a string is REG_SZ or REG_EXPAND_SZ (unexpanded), cut at its first NUL and
  // never read past the stored size; an integer is REG_DWORD of exactly 4 bytes.
  std::optional<std::string> ReadString(const std::string& name) const;
  std::optional<int32_t> ReadInteger(const std::string& name) const;
  std::optional<bool> ReadBool(const std::string& name) const;  // integer != 0

  void WriteString(const std::string& name, const std::string& value);  // REG_SZ with its NUL
  void WriteInteger(const std::string& name, int32_t value);            // REG_DWORD
  void WriteBool(const std::string& name, bool value);                  // REG_DWORD 1 or 0

 private:
  HKEY root_ = HKEY_CURRENT_USER;
  base::UniqueHKey key_;
};
