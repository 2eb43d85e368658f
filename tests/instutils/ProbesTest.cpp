#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>

#include "tests/support/Names.h"
#include "base/WinHandles.h"
#include "instutils/Probes.h"
#include "instutils/ProbeSeams.h"

namespace {

constexpr char kProperty[] = "1.x Quarrytide";

base::UniqueWindow MakeWindow(HWND parent) {
  DWORD style = parent ? WS_CHILD : WS_POPUP;  // never shown: hidden windows count too
  return base::UniqueWindow(
      CreateWindowExA(0, "STATIC", "", style, 0, 0, 10, 10, parent, nullptr, GetModuleHandleA(nullptr), nullptr));
}

TEST(ProductRunningTest, OnlyATopLevelWindowWithThePropertyCounts) {
  EXPECT_FALSE(IsProductRunning());

  base::UniqueWindow parent = MakeWindow(nullptr);
  ASSERT_TRUE(parent);
  base::UniqueWindow child = MakeWindow(parent.get());
  ASSERT_TRUE(child);
  ASSERT_TRUE(SetPropA(child.get(), kProperty, reinterpret_cast<HANDLE>(1)));
  EXPECT_FALSE(IsProductRunning());

  base::UniqueWindow marked = MakeWindow(nullptr);
  ASSERT_TRUE(marked);
  ASSERT_FALSE(IsWindowVisible(marked.get()));
  ASSERT_TRUE(SetPropA(marked.get(), kProperty, reinterpret_cast<HANDLE>(1)));
  EXPECT_TRUE(IsProductRunning());

  RemovePropA(marked.get(), kProperty);
  RemovePropA(child.get(), kProperty);
  EXPECT_FALSE(IsProductRunning());
}

// The device a fixed drive answers for, and what the query looked like.
struct FakeDevice {
  BOOL succeed = TRUE;
  uint32_t busType = 1;  // BusTypeScsi
  uint8_t removableMedia = 0;
  int calls = 0;
  bool wellFormed = false;
};
FakeDevice g_device;

BOOL WINAPI FakeDeviceIoControl(HANDLE volume, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                                LPDWORD returned, LPOVERLAPPED overlapped) {
  ++g_device.calls;
  auto* query = static_cast<const uint32_t*>(in);
  auto* descriptor = static_cast<uint8_t*>(out);
  uint32_t declared = 0;
  std::memcpy(&declared, descriptor + 4, 4);
  g_device.wellFormed = volume != INVALID_HANDLE_VALUE && code == 0x002D1400 && inSize == 12 && query[0] == 0 &&
                        query[1] == 0 && outSize == 548 && declared == 548 && descriptor[10] == 0 &&
                        descriptor[28] == 0 && returned != nullptr && overlapped == nullptr;
  // A failing device may still leave bytes behind.
  descriptor[10] = g_device.removableMedia;
  std::memcpy(descriptor + 28, &g_device.busType, 4);
  *returned = 40;
  return g_device.succeed;
}

BOOL WINAPI CountingDeviceIoControl(HANDLE volume, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                                    LPDWORD returned, LPOVERLAPPED overlapped) {
  ++g_device.calls;
  g_device.succeed = DeviceIoControl(volume, code, in, inSize, out, outSize, returned, overlapped);
  return g_device.succeed;
}

UINT g_driveType = DRIVE_FIXED;
UINT FakeDriveType(const std::string&) { return g_driveType; }

class PortableDriveTest : public ::testing::Test {
 protected:
  void SetUp() override { g_device = FakeDevice(); }
  void TearDown() override {
    SetDeviceIoControlFunction(nullptr);
    SetDriveTypeFunction(nullptr);
  }
};

TEST_F(PortableDriveTest, FixedDriveIsPortableByBusTypeOrRemovableMedia) {
  SetDeviceIoControlFunction(FakeDeviceIoControl);
  struct Case {
    BOOL succeed;
    uint32_t busType;
    uint8_t removableMedia;
    bool portable;
  };
  const Case cases[] = {
      {TRUE, 7, 0, true},    // USB
      {TRUE, 4, 0, true},    // IEEE 1394
      {TRUE, 1, 1, true},    // removable media on another bus
      {TRUE, 1, 0, false},   // internal disk
      {TRUE, 11, 0, false},  // SATA
      {FALSE, 7, 1, false},  // failed query, whatever it left in the buffer
  };
  for (const Case& c : cases) {
    g_device = FakeDevice{c.succeed, c.busType, c.removableMedia};
    EXPECT_EQ(IsPortableDrive("C:\\Program Files\\" NAME_SHORT), c.portable) << "bus " << c.busType;
    EXPECT_EQ(g_device.calls, 1);
    EXPECT_TRUE(g_device.wellFormed) << "bus " << c.busType;
  }
}

TEST_F(PortableDriveTest, OnlyFixedDrivesAreQueried) {
  SetDeviceIoControlFunction(FakeDeviceIoControl);
  g_device.busType = 7;  // would make any queried drive portable
  SetDriveTypeFunction(FakeDriveType);
  g_driveType = DRIVE_REMOVABLE;
  EXPECT_TRUE(IsPortableDrive("E:\\" NAME_SHORT));
  for (UINT type : {DRIVE_UNKNOWN, DRIVE_NO_ROOT_DIR, DRIVE_REMOTE, DRIVE_CDROM, DRIVE_RAMDISK}) {
    g_driveType = type;
    EXPECT_FALSE(IsPortableDrive("E:\\" NAME_SHORT)) << "drive type " << type;
  }
  SetDriveTypeFunction(nullptr);
  EXPECT_FALSE(IsPortableDrive("\\\\server\\share\\" NAME_SHORT));
  EXPECT_EQ(g_device.calls, 0);
}

TEST_F(PortableDriveTest, RealQueryOfTheSystemDriveAnswersNotPortable) {
  SetDeviceIoControlFunction(CountingDeviceIoControl);
  EXPECT_FALSE(IsPortableDrive("C:\\"));
  EXPECT_EQ(g_device.calls, 1);  // the volume opened
  EXPECT_TRUE(g_device.succeed);
}

}  // namespace
