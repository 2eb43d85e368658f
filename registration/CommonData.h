// vlm_common.dat: the record the installed word processor reads from its root
// data folder.
#pragma once
#include <string>

// 25 bytes, little-endian, packed: entry 1 (length 8) the TDateTime now, then
// entry 2 (length 1) the character "1".
std::string CommonDataRecord(double now);

// Creates or overwrites folder + "vlm_common.dat" with the record of the
// current local time. Failures are not reported; an empty folder name writes
// nothing (it would land in the current directory).
void WriteCommonData(const std::string& folder);
