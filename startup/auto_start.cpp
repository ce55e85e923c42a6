// Phases 1, 2 and 24: the boot and tray programs registered in the logon
// Run key, the spell-checker's default, and the boot program's copy in the
// install folder. Registration and copy are best effort: a machine where
// the user may not write machine-wide settings starts all the same.
#include "startup/AutoStart.h"

#include <memory>

#include "common/IniFile.h"
#include "common/SystemHelpers.h"
#include "common/Variant.h"
#include "platform/Exception.h"
#include "platform/Platform.h"
#include "startup/Main_DataModules.h"
#include "startup/Phases.h"

bool TrayEnabled = true;
std::string BootProgram;
std::string TrayProgram;

namespace {

const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kSpellCheckerKey = "Software\\Wintertree\\WSpell";

std::unique_ptr<platform::RegistryKey> OpenMachineKey(const std::string& path) {
    return platform::registry().open(platform::RegistryRoot::LocalMachine, path,
                                     platform::regaccess::kAllAccess, true);
}

// The quoted path in the install folder, as the Run key holds it.
std::string RunEntryData(const std::string& program) {
    return "\"" + InstallRoot + program + "\"";
}

// Writes the entry unless it already holds exactly this text. A value of
// another type cannot be compared and ends the registration.
void KeepRunEntry(platform::RegistryKey& key, const std::string& program) {
    const std::string name = FileBaseName(program);
    const std::string data = RunEntryData(program);
    if (key.valueExists(name)) {
        const auto value = key.read(name);
        if (!value || (value->type != platform::regtype::kString &&
                       value->type != platform::regtype::kExpandString)) {
            throw Exception("Invalid data type for '" + name + "'");
        }
        if (value->data == data) return;
    }
    if (!key.writeString(name, data)) throw Exception("Failed to set data for '" + name + "'");
}

void RegisterRunEntries() {
    const auto run = OpenMachineKey(kRunKey);
    if (!run) return;
    KeepRunEntry(*run, BootProgram);
    if (TrayEnabled) {
        KeepRunEntry(*run, TrayProgram);
    } else {
        const std::string name = FileBaseName(TrayProgram);
        if (run->valueExists(name)) run->deleteValue(name);
    }
}

void ProvideSpellCheckerDefault() {
    const auto key = OpenMachineKey(kSpellCheckerKey);
    if (!key) return;
    if (!key->valueExists("TX14")) key->writeString("TX14", "TX32");
}

}  // namespace

void ReadAutoStartSettings(TFRM_Main_DataModules&) {
    TrayEnabled = IniFile(MachineIniPath).ReadBool(ProductName, "Tray", true);
    const bool crv = ProductVariant == Variant::CRV;
    BootProgram = crv ? "CRV_BOOT.EXE" : "VRL_BOOT.EXE";
    TrayProgram = crv ? "CRV_TRAY.EXE" : "VRL_TRAY.EXE";
}

void RegisterAutoStart(TFRM_Main_DataModules&) {
    try {
        RegisterRunEntries();
        ProvideSpellCheckerDefault();
    } catch (...) {
        // Any failure ends the registration for this start; the next start
        // tries again.
    }
}

void CopyBootProgram(TFRM_Main_DataModules&) {
    try {
        const std::string installed = InstallRoot + BootProgram;
        const std::string carried = DataRoot + BootProgram;
        if (!FileExists(installed) && FileExists(carried)) {
            platform::files().copyFile(carried, installed, false);
        }
    } catch (...) {
        // A failed copy is tried again at the next start.
    }
}
