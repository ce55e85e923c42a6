// A practice machine for the installer's tests: the practice on C: with its
// Data\ folder, and the executable carrying six table files of different
// sizes (NUL bytes included), as the resources of the real program do.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "common/DataLock.h"
#include "common/ProcessStart.h"
#include "common/Variant.h"
#include "installer/uSDR134.h"
#include "platform/sim/SimMachine.h"
#include "startup/StartupValues.h"
#include "toolkit/sim/SimBackend.h"

// The bytes carried for the file at `order` (0 to 5) of FeeTableFiles.
inline std::string CarriedBytes(std::size_t order) {
    std::string bytes(2048 * (order + 1) + order, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 31 + order * 7) % 256);
    return bytes;
}

struct InstallerMachine {
    explicit InstallerMachine(const std::string& program = "C:\\Virelle\\VRL_DPD134.EXE") {
        machine.system().setModuleFileName(program);
        machine.writeFile("C:\\Virelle\\VRL.INI", "[Virelle]\r\nWD=C:\r\n");
        machine.makeFolder("C:\\Virelle\\Data");
        for (std::size_t i = 0; i < FeeTableFiles.size(); ++i)
            machine.system().setModuleResource(FeeTableFiles[i], CarriedBytes(i));
        // Message processing takes no time, so the clock shows the waits alone.
        screen.SetIdleStep(0);
        ResetRuntime();
        ResetStartupValues();
    }
    ~InstallerMachine() {
        CloseDataLock();
        ResetStartupValues();
        ResetVariantValues();
    }

    static std::string DataFile(const std::string& name) { return "C:\\Virelle\\Data\\" + name; }
    // The names in the data folder as stored, sorted.
    std::vector<std::string> DataFolder();
    // Captions Label1 showed, in order.
    std::vector<std::string> LabelCaptions() const;

    sim::Machine machine;
    sim::ScopedPlatform installed{machine};
    toolkit::sim::SimBackend screen;
};

inline std::vector<std::string> InstallerMachine::DataFolder() {
    std::vector<std::string> names =
        machine.files().list("C:\\Virelle\\Data").value_or(std::vector<std::string>{});
    std::sort(names.begin(), names.end());
    return names;
}

inline std::vector<std::string> InstallerMachine::LabelCaptions() const {
    std::vector<std::string> captions;
    for (const auto& painted : screen.Painted())
        if (painted.form == "Form1" && painted.control == "Label1") captions.push_back(painted.caption);
    return captions;
}
