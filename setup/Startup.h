// Process initialisation and the version gate.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace setup {

// The special-folder lookup, the common controls and the version, once.
void InitialiseProcess();
void FinaliseProcess();

// The version read at initialisation (148-byte OSVERSIONINFOA).
const OSVERSIONINFOA& OsVersion();

// The arguments after the program name, as the C runtime split them.
std::vector<std::string> CommandLineArguments();

// Windows 2000 or later: the NT platform with a major version above 4.
bool QualifiesForSetup(const OSVERSIONINFOA& v);

}  // namespace setup
