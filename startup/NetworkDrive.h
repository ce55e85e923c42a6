// The network connection behind the data drive, remembered in the section
// Network of the machine settings file and re-created from it when the
// drive letter has lost its root.
#pragma once

#include <string>

// The data drive as phase 7 left it, in capitals (G:, \\SERVER\DATA). Phase
// 8 takes it before it may put S: in DataRoot's place; phase 9 works on it.
extern std::string DataDriveText;

// How the failure message names a remote path: \\SERVER\DATA is
// "DATA on 'SERVER'"; a path without a backslash after its first two
// characters is shown unchanged.
std::string RemoteDisplayName(const std::string& remotePath);
