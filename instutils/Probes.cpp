#include "instutils/Probes.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstring>

#include "base/WinHandles.h"
#include "instutils/InstUtils.h"
#include "contract/ProductInterface.h"
#include "instutils/ProbeSeams.h"

namespace {

constexpr DWORD kQueryPropertyIoctl = 0x002D1400;  // IOCTL_STORAGE_QUERY_PROPERTY
constexpr DWORD kQuerySize = 12;                   // STORAGE_PROPERTY_QUERY
constexpr DWORD kDescriptorSize = 548;             // STORAGE_DEVICE_DESCRIPTOR with room for its strings
constexpr size_t kSizeOffset = 4;
constexpr size_t kRemovableMediaOffset = 10;
constexpr size_t kBusTypeOffset = 28;
constexpr uint32_t kBus1394 = 4;
constexpr uint32_t kBusUsb = 7;

std::atomic<DriveTypeFunction> g_driveType{nullptr};
std::atomic<DeviceIoControlFunction> g_deviceIoControl{nullptr};

BOOL CALLBACK FindMarkedWindow(HWND wnd, LPARAM found) {
  if (GetPropA(wnd, product::kRunningProperty) == nullptr) return TRUE;
  *reinterpret_cast<bool*>(found) = true;
  return FALSE;
}

}  // namespace

void SetDriveTypeFunction(DriveTypeFunction fn) { g_driveType = fn; }
void SetDeviceIoControlFunction(DeviceIoControlFunction fn) { g_deviceIoControl = fn; }

bool IsProductRunning() {
  bool found = false;
  EnumWindows(FindMarkedWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

bool IsPortableDrive(const std::string& path) {
  DriveTypeFunction driveType = g_driveType;
  const UINT type = driveType ? driveType(path) : instutils::DriveTypeOf(path);
  if (type == DRIVE_REMOVABLE) return true;
  if (type != DRIVE_FIXED) return false;
  // Only a drive letter names a volume that can be opened as "\\.\X:".
  if (path.size() < 2 || path[1] != ':') return false;

  base::UniqueFile volume(CreateFileA(("\\\\.\\" + path.substr(0, 2)).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!volume) return false;

  uint8_t query[kQuerySize] = {};  // StorageDeviceProperty, PropertyStandardQuery
  uint8_t descriptor[kDescriptorSize] = {};
  const DWORD declared = kDescriptorSize;
  std::memcpy(descriptor + kSizeOffset, &declared, sizeof declared);
  DWORD returned = 0;
  DeviceIoControlFunction ioctl = g_deviceIoControl;
  if (!ioctl) ioctl = DeviceIoControl;
  // A failed call may still have filled part of the buffer: it decides nothing.
  if (!ioctl(volume.get(), kQueryPropertyIoctl, query, kQuerySize, descriptor, kDescriptorSize, &returned, nullptr))
    return false;

  uint32_t busType = 0;
  std::memcpy(&busType, descriptor + kBusTypeOffset, sizeof busType);
  return busType == kBus1394 || busType == kBusUsb || descriptor[kRemovableMediaOffset] != 0;
}
