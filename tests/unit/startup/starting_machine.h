// A simulated machine on which a program of the suite starts, for the tests
// of the phases around the data drive, the system date and the programs the
// start-up launches or registers. The program's name decides the product
// family as at a real process start; the formats are those phase 3 fixes.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "common/DataLock.h"
#include "common/Formats.h"
#include "common/ProcessStart.h"
#include "common/Text.h"
#include "common/Variant.h"
#include "platform/sim/SimMachine.h"
#include "startup/Main_DataModules.h"
#include "startup/StartupSequence.h"
#include "startup/StartupValues.h"
#include "toolkit/sim/SimBackend.h"

namespace startup_test {

constexpr std::uint32_t kNt = platform::os::kWinNT;
constexpr std::uint32_t kWin9x = platform::os::kWin9x;

inline const char* FamilyName(std::uint32_t platformId) {
    return platformId == kNt ? "Windows NT" : "Windows 9x";
}

struct StartingMachine {
    // `program` is the executable's file name; it lies in C:\Corvane\ when
    // its name begins with CRV, otherwise in C:\Virelle\.
    explicit StartingMachine(const std::string& program = "VRL_DPD134.EXE",
                             std::uint32_t platformId = kNt) {
        const bool crv = AnsiUpperCase(program).rfind("CRV", 0) == 0;
        machine.system().setModuleFileName((crv ? "C:\\Corvane\\" : "C:\\Virelle\\") + program);
        if (platformId != kNt) {
            machine.system().setVersion(platform::OsVersion{4, 10, 2222, platformId, " A "});
        }
        ResetRuntime();
        ResetStartupValues();
        toolkit::app().Initialize();
        InitializeRuntime();
        FixStartupFormats();
    }
    ~StartingMachine() {
        CloseDataLock();
        ResetStartupValues();
        ResetRuntime();
    }

    // DataRoot and the drive type as phase 7 leaves them for a drive setting.
    void SetDataDrive(std::string setting) {
        if (!setting.empty() && setting.back() == '\\') setting.pop_back();
        DataRoot = setting;
        DataDriveType = machine.volumes().driveType(AnsiUpperCase(setting) + "\\");
    }

    // Runs the sequence's own entries of these phases, in the given order,
    // with their first checkpoints and the catch-all handler.
    void RunPhases(std::initializer_list<int> numbers) {
        std::vector<StartupPhase> chosen;
        for (int number : numbers) {
            const auto& all = StartupPhases();
            auto found = std::find_if(all.begin(), all.end(),
                                      [number](const StartupPhase& p) { return p.number == number; });
            ASSERT_NE(found, all.end()) << "no phase " << number;
            chosen.push_back(*found);
        }
        TFRM_Main_DataModules module;
        RunStartupPhases(chosen, module);
    }

    // The messages of the start-up log after the process start's own lines
    // (START, 0.01, 0.02); the log is written for the main programs only.
    std::vector<std::string> LoggedCheckpoints() {
        std::vector<std::string> messages;
        const std::string log = machine.readFile(InstallRoot + "Startup.LOG").value_or("");
        std::size_t start = 0;
        while (start < log.size()) {
            const std::size_t end = log.find("\r\n", start);
            const std::string line = log.substr(start, end - start);
            messages.push_back(line.substr(line.rfind(", ") + 2));
            start = end == std::string::npos ? log.size() : end + 2;
        }
        auto processStart = std::find(messages.begin(), messages.end(), "0.02");
        if (processStart != messages.end()) messages.erase(messages.begin(), processStart + 1);
        return messages;
    }

    sim::Machine machine;
    sim::ScopedPlatform installed{machine};
    toolkit::sim::SimBackend screen;
};

}  // namespace startup_test
