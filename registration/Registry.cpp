#include "registration/Registry.h"

#include <vector>

void TRegistryAccess::SetRoot(HKEY root) {
  CloseKey();
  root_ = root;
}

bool TRegistryAccess::OpenKey(const std::string& path) {
  const bool fromRoot = !path.empty() && path[0] == '\\';
  HKEY parent = (fromRoot || !key_) ? root_ : key_.get();
  const std::string sub = fromRoot ? path.substr(1) : path;
  HKEY opened = nullptr;
  LONG rc = RegCreateKeyExA(parent, sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                            &opened, nullptr);
  // The parent may be the open key itself: replace it only after the call.
  key_.reset(rc == ERROR_SUCCESS ? opened : nullptr);
  return rc == ERROR_SUCCESS;
}

bool TRegistryAccess::ValueExists(const std::string& name) const {
  if (!key_) return false;
  DWORD size = 0;
  return RegQueryValueExA(key_.get(), name.c_str(), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
}

std::optional<std::string> TRegistryAccess::ReadString(const std::string& name) const {
  if (!key_) return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  if (size == 0) return std::string();
  std::vector<char> data(size);
  DWORD got = size;
  if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got) !=
      ERROR_SUCCESS)
    return std::nullopt;  // changed in between (grown, removed): treat as absent
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  if (got > size) got = size;
  // Stored data need not end in NUL: stop at the first NUL or the last byte returned.
  std::string text(data.data(), got);
  size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return text;
}

std::optional<int32_t> TRegistryAccess::ReadInteger(const std::string& name) const {
  if (!key_) return std::nullopt;
  DWORD type = 0, value = 0, size = sizeof value;
  if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;  // absent, or larger than 4 bytes
  if (type != REG_DWORD || size != sizeof value) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::optional<bool> TRegistryAccess::ReadBool(const std::string& name) const {
  std::optional<int32_t> n = ReadInteger(name);
  if (!n) return std::nullopt;
  return *n != 0;
}

void TRegistryAccess::WriteString(const std::string& name, const std::string& value) {
  if (!key_) return;
  RegSetValueExA(key_.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
}

void TRegistryAccess::WriteInteger(const std::string& name, int32_t value) {
  if (!key_) return;
  DWORD data = static_cast<DWORD>(value);
  RegSetValueExA(key_.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

void TRegistryAccess::WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }
