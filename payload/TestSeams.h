// Hooks for situations the test system cannot produce on demand. Not for
// product code.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// Replaces the message dialog that SafeMessageDlg shows on the main thread
// (scripted answers); nullptr restores it.
using MessageDlgFunction = int32_t (*)(const std::string& message, uint8_t dlgType, uint16_t buttons);
void SetMessageDlgFunction(MessageDlgFunction fn);

// Replaces the WriteFile of an extraction (a full disk); nullptr restores it.
using WriteFileFunction = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
void SetWriteFileFunction(WriteFileFunction fn);
