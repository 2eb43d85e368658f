// A volume of chosen cluster size in place of the real one; 0 sectors per
// cluster makes the volume unmeasurable.
#pragma once
#include <windows.h>

inline DWORD g_sectorsPerCluster = 8;  // of 512 bytes

inline BOOL WINAPI FakeDiskFreeSpace(LPCSTR, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector, LPDWORD freeClusters,
                                     LPDWORD totalClusters) {
  *sectorsPerCluster = g_sectorsPerCluster;
  *bytesPerSector = 512;
  *freeClusters = *totalClusters = 1000;
  return g_sectorsPerCluster != 0;
}
