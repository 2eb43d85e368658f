// Hooks for situations the test system cannot produce. Not for product code.
#pragma once
#include <windows.h>

namespace instutils {

// Replaces GetDiskFreeSpaceA inside ClusterSize; nullptr restores it.
using DiskFreeSpaceFn = BOOL(WINAPI*)(LPCSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD);
void SetDiskFreeSpaceFunction(DiskFreeSpaceFn fn);

}  // namespace instutils
