// The program entry of VRL_DPD134.exe: the Win32 backends, then the
// program. It reads no command line; every end has exit code 0.
#include "installer/uSDR134.h"
#include "platform/win32/Win32Platform.h"
#include "toolkit/win32/Win32Backend.h"

int main() {
    platform::win32::InstallWin32Platform();
    toolkit::win32::InstallWin32Backend();
    return RunInstaller();
}
