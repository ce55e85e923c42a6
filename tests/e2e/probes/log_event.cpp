// Probe for the end-to-end tests: records one event with LogEvent over the
// Win32 backends, after the same process-start initialisation as the
// program. Installed under the product's name, its record is the one the
// program would write.
//
//   log_event.exe <class> <text>
// Exit code 0 when the event was handed to LogEvent, 2 on bad use, 3 when
// the system was refused.
#include "common/EventLog.h"
#include "common/ProcessStart.h"
#include "platform/win32/Win32Platform.h"
#include "toolkit/Application.h"
#include "toolkit/win32/Win32Backend.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    platform::win32::InstallWin32Platform();
    toolkit::win32::InstallWin32Backend();
    toolkit::app().Initialize();
    if (!InitializeRuntime()) return 3;
    LogEvent(argv[1], argv[2]);
    return 0;
}
