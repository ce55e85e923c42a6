// The real platform: the Windows API, ANSI forms. The program entry calls
// InstallWin32Platform() before anything reaches the platform.
#pragma once

#include "platform/Platform.h"

namespace platform::win32 {

// The process's one Win32 platform, made on first use.
Platform& Win32Platform();

// Installs the Win32 platform as the current one.
void InstallWin32Platform();

}  // namespace platform::win32
