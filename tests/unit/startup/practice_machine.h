// A simulated machine with a practice folder C:\Virelle\ and the program
// running as `program`, for the tests of the practice data phases.
#pragma once

#include <string>
#include <vector>

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

    // The messages of the start-up log after START, in order.
    std::vector<std::string> LoggedMessages() {
        std::vector<std::string> messages;
        const std::string log = machine.readFile("C:\\Virelle\\Startup.LOG").value_or("");
        for (std::size_t start = 0; start < log.size();) {
            const std::size_t end = log.find("\r\n", start);
            const std::string line = log.substr(start, end - start);
            messages.push_back(line.substr(line.rfind(", ") + 2));
            start = end + 2;
        }
        if (!messages.empty()) messages.erase(messages.begin());
        return messages;
    }

    IniFile PracticeSettings() const { return IniFile("C:\\Virelle\\VRLPRC.INI"); }
    IniFile MachineSettings() const { return IniFile("C:\\Virelle\\VRL.INI"); }

    sim::Machine machine;
    sim::ScopedPlatform installed{machine};
    toolkit::sim::SimBackend screen;
};
