// A simulated machine with a practice folder C:\Virelle\ and the program
// running as `program`, for the tests of the practice data phases.
#pragma once

#include <string>

#include "common/DataLock.h"
#include "common/IniFile.h"
#include "common/ProcessStart.h"
#include "common/StartupLog.h"
#include "common/Variant.h"
#include "platform/sim/SimMachine.h"
#include "startup/PracticeProfile.h"
#include "startup/StartupValues.h"
#include "toolkit/sim/SimBackend.h"

struct PracticeMachine {
    explicit PracticeMachine(const std::string& program = "VRL_DPD134.EXE") {
        machine.system().setModuleFileName("C:\\Virelle\\" + program);
        machine.writeFile("C:\\Virelle\\VRL.INI", "[Virelle]\r\nWD=C:\r\n");
        ResetRuntime();
        ResetStartupValues();
        ResetPracticeProfile();
        toolkit::app().Initialize();
        Checkpoint(0);
        DataRoot = "C:\\Virelle\\";
    }
    ~PracticeMachine() {
        CloseDataLock();
        ResetStartupValues();
        ResetVariantValues();
    }

    IniFile PracticeSettings() const { return IniFile("C:\\Virelle\\VRLPRC.INI"); }
    IniFile MachineSettings() const { return IniFile("C:\\Virelle\\VRL.INI"); }

    sim::Machine machine;
    sim::ScopedPlatform installed{machine};
    toolkit::sim::SimBackend screen;
};
