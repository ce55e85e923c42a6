#include "startup/StartupValues.h"

#include "common/SystemHelpers.h"
#include "common/Text.h"
#include "common/Variant.h"
#include "platform/Platform.h"

std::string DataRoot;
std::uint32_t DataDriveType = 0;
Date StoredRunDate;

std::string PracticeIniPath() { return DataRoot + PracticeIniName; }

std::string RunningProgramName() { return FileBaseName(platform::system().moduleFileName()); }

bool IsCrvMainProgram() { return RunningProgramName() == "CRV"; }

bool IsPackingProgram() {
    const std::string name = AnsiUpperCase(RunningProgramName());
    return name == "VRL_PACK" || name == "CRV_PACK";
}

void ResetStartupValues() {
    DataRoot.clear();
    DataDriveType = 0;
    StoredRunDate = Date{};
}
