// Which stored names the catalogue will extract. Free of Win32 so the packer's
// checks can be held against the same rule on the build machine.
#pragma once
#include <string>

// A stored name that cannot leave the folder it is extracted below: relative,
// no drive or stream colon, no empty, "." or ".." level ("\" and "/" both
// separate levels).
bool IsSafeRecordName(const std::string& name);
