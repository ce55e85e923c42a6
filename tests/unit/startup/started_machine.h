// A simulated machine with its program's process start done: the family's
// values follow from `program`, and the install folders of both families
// exist. For the tests of the data drive phases and their dialogs.
#pragma once

#include <string>

#include "common/IniFile.h"
#include "common/ProcessStart.h"
#include "common/Variant.h"
#include "platform/sim/SimMachine.h"
#include "startup/StartupValues.h"
#include "toolkit/sim/SimBackend.h"

struct StartedMachine {
    explicit StartedMachine(const std::string& program) {
        machine.makeFolder("C:\\Virelle");
        machine.makeFolder("C:\\Corvane");
        machine.system().setModuleFileName(program);
        ResetRuntime();
        ResetStartupValues();
        InitializeRuntime();
    }
    ~StartedMachine() {
        ResetStartupValues();
        ResetVariantValues();
    }
    // A key of [ProductName] in the machine settings, "<absent>" when missing.
    std::string Setting(const std::string& key) const {
        return IniFile(MachineIniPath).ReadString(ProductName, key, "<absent>");
    }

    sim::Machine machine;
    sim::ScopedPlatform installed{machine};
    toolkit::sim::SimBackend screen;
};

// The drive dialog's example machine: a floppy drive, C: labelled SYSTEM, a
// CD-ROM drive without a disc and F: mapped to \\SERVER\DATA.
inline void AddExampleDrives(sim::Machine& machine) {
    machine.addDrive('A', platform::drive::kRemovable);
    machine.disks().volumeOfLetter('C')->label = "SYSTEM";
    machine.addEmptyDrive('D', platform::drive::kCdRom);
    machine.mapNetworkDrive('F', "\\\\SERVER\\DATA", "NETF");
}
