#pragma once

#include <string>

// A text that names this Windows installation and stays the same across restarts: the
// "MachineGuid" that Windows keeps for its cryptography (always read in the 64-bit registry
// view, where it lives), or, when that is missing, the computer name and the serial number of
// the system volume. Any thread; empty only when all of these fail.
std::wstring MachineIdentityText();
