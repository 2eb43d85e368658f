#include "LastRunVersion.h"

#include <windows.h>

#include "base/WinHandles.h"
#include "contract/ProductInterface.h"

namespace vlm {

void WriteLastRunVersion() {
  base::UniqueHKey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, product::kLastRunVerKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.out(),
                      nullptr) != ERROR_SUCCESS)
    return;
  const DWORD value = static_cast<DWORD>(EncodeVersion(kProductVersion));
  RegSetValueExA(key.get(), product::kLastRunVerValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                 sizeof value);
}

}  // namespace vlm
