// Hooks for situations the test system cannot produce on demand. Not for
// product code.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// Replaces the WriteFile of an extraction (a full disk); nullptr restores it.
using WriteFileFunction = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
void SetWriteFileFunction(WriteFileFunction fn);

// Called on the worker after each planned file it is done with (written,
// ignored or skipped), with the file's target, before it looks for a pause or
// a stop; nullptr: nothing is called. Lets a test hold a run in progress.
using FileDoneFunction = void (*)(const std::string& target);
void SetFileDoneFunction(FileDoneFunction fn);
