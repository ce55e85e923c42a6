// The Win32 backend of the toolkit: real windows through the ANSI API.
#pragma once

namespace toolkit::win32 {

// Installs the Win32 backend for the rest of the process.
void InstallWin32Backend();

}  // namespace toolkit::win32
