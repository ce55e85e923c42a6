// Phase 14: a practice that has moved to version 6 is handed over to the
// version 6 program, on this computer or in the data folder, and this
// program ends without touching the practice's data.
#include "common/IniFile.h"
#include "common/Launch.h"
#include "common/StartupLog.h"
#include "common/SystemHelpers.h"
#include "common/Variant.h"
#include "platform/Shell.h"
#include "startup/Main_DataModules.h"
#include "startup/Phases.h"

namespace {

// Version 6 installed under the program-files folder; the same place for
// both product families. Empty when the shell does not name that folder,
// so that no relative path is tried against the current folder.
std::string InstalledVersion6() {
    const std::string programFiles = SpecialFolderPath(platform::csidl::kProgramFiles, false);
    return programFiles.empty() ? "" : programFiles + "Virelle\\VRL.EXE";
}

[[noreturn]] void HandOverTo(const std::string& program) {
    // Whether it starts is not known here; either way this program ends.
    RunProgram(program, "", "", platform::show::kMaximized);
    StopStartup();
}

}  // namespace

void HandOverToVersion6(TFRM_Main_DataModules&) {
    if (!IniFile(PracticeIniPath()).ReadBool(ProductName, "v6", false)) return;
    Checkpoint(6);
    const std::string installed = InstalledVersion6();
    if (!installed.empty() && FileExists(installed)) {
        Checkpoint(6.1L);
        HandOverTo(installed);
    }
    Checkpoint(9.1412L);
    const std::string client = DataRoot + "Client.exe";
    if (FileExists(client)) {
        Checkpoint(6.2L);
        HandOverTo(client);
    }
    Checkpoint(9.1413L);
    Checkpoint(6.3L);
    StopStartup("Version 6 update required");
}
