// Phases 12 and 13: the shared data lock, and the practice settings file
// that phases 14 and 15 work on.
#include "common/DataLock.h"
#include "startup/Main_DataModules.h"
#include "startup/Phases.h"

void TakeDataLock(TFRM_Main_DataModules&) {
    if (!OpenDataLock()) StopStartup("The program is currently packing.");
}

void OpenPracticeSettings(TFRM_Main_DataModules&) {
    // Settings files are opened, read or written, and closed at every access;
    // the phases that follow work on PracticeIniPath() directly.
}
