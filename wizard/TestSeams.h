// Hooks for questions a test answers and for drives the test system cannot
// attach, remove or retype on demand (Wine keeps a removed drive in the mask
// while its server lives). Not for product code.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace wizard {

// Replaces the message dialog of the wizard's questions (scripted answers);
// nullptr restores it.
using MessageDlgFunction = int32_t (*)(const std::string& message, uint8_t dlgType, uint16_t buttons);
void SetMessageDlgFunction(MessageDlgFunction fn);

// Replaces GetLogicalDrives in the drive box and the drive timer; nullptr restores it.
using LogicalDrivesFunction = DWORD (*)();
void SetLogicalDrivesFunction(LogicalDrivesFunction fn);

// Replaces GetDriveTypeA of a drive root ("E:\") in the drive box; nullptr restores it.
using DriveRootTypeFunction = UINT (*)(const std::string& root);
void SetDriveRootTypeFunction(DriveRootTypeFunction fn);

}  // namespace wizard
