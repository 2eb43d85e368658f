// Hooks for drives the test system cannot produce (a removable drive, a fixed
// disk on USB or IEEE 1394). Not for product code.
#pragma once
#include <windows.h>

#include <string>

// Replaces DriveTypeOf inside IsPortableDrive; nullptr restores it.
using DriveTypeFunction = UINT (*)(const std::string& path);
void SetDriveTypeFunction(DriveTypeFunction fn);

// Replaces the DeviceIoControl of the storage query inside IsPortableDrive;
// nullptr restores it.
using DeviceIoControlFunction = BOOL(WINAPI*)(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
void SetDeviceIoControlFunction(DeviceIoControlFunction fn);
