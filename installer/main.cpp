// The program entry of VRL_DPD134.exe: the Win32 backends, the application
// window, then the process-start initialisation of the shared services.
// Every end of the program, a refused system included, has exit code 0.
#include "common/ProcessStart.h"
#include "platform/win32/Win32Platform.h"
#include "toolkit/Application.h"
#include "toolkit/win32/Win32Backend.h"

int main() {
    platform::win32::InstallWin32Platform();
    toolkit::win32::InstallWin32Backend();
    // The application window owns the "Unsupported operating system" box.
    toolkit::app().Initialize();
    if (!InitializeRuntime()) return 0;  // the refusal box has been answered
    // The start-up data module and the installer window follow here.
    return 0;
}
