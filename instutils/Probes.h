// Questions asked of the running system, answered fresh on every call.
#pragma once
#include <string>

// A top-level window (hidden ones included) carrying a non-zero "1.x Quarrytide"
// property means a copy of the word processor is running.
bool IsProductRunning();

// The path lies on a removable drive, or on a fixed drive attached through USB
// or IEEE 1394 or reporting removable media.
bool IsPortableDrive(const std::string& path);
