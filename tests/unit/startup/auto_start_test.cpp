// Phases 1, 2 and 24: the logon Run key entries of the boot and tray
// programs, the spell-checker's default value and the boot program's copy.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/FaultInjection.h"
#include "startup/AutoStart.h"
#include "starting_machine.h"

namespace {

using platform::RegistryRoot;
using startup_test::StartingMachine;

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kSpellKey[] = "Software\\Wintertree\\WSpell";

std::optional<std::string> RunValue(StartingMachine& m, const std::string& name) {
    const auto value = m.machine.registry().value(RegistryRoot::LocalMachine, kRunKey, name);
    if (!value) return std::nullopt;
    return value->data;
}

std::optional<std::string> SpellValue(StartingMachine& m) {
    const auto value = m.machine.registry().value(RegistryRoot::LocalMachine, kSpellKey, "TX14");
    if (!value) return std::nullopt;
    return value->data;
}

TEST(AutoStart, RunKeyEntriesFollowTheFamilyAndTheTraySetting) {
    struct Case {
        const char* name;
        const char* program;
        const char* machineSettings;  // nullptr: no machine settings file
        std::map<std::string, std::string> before;  // Run values already there
        std::map<std::string, std::optional<std::string>> after;
    };
    const std::string boot = "\"C:\\Virelle\\VRL_BOOT.EXE\"";
    const std::string tray = "\"C:\\Virelle\\VRL_TRAY.EXE\"";
    const Case cases[] = {
        {"fresh machine", "VRL_DPD134.EXE", nullptr, {}, {{"VRL_BOOT", boot}, {"VRL_TRAY", tray}}},
        {"Tray=0 removes the tray entry", "VRL_DPD134.EXE", "[Virelle]\r\nTray=0\r\n",
         {{"VRL_TRAY", tray}}, {{"VRL_BOOT", boot}, {"VRL_TRAY", std::nullopt}}},
        {"Tray=1 adds it back", "VRL_DPD134.EXE", "[Virelle]\r\nTray=1\r\n", {},
         {{"VRL_BOOT", boot}, {"VRL_TRAY", tray}}},
        {"boot path in other letter case", "VRL_DPD134.EXE", nullptr,
         {{"VRL_BOOT", "\"c:\\virelle\\vrl_boot.exe\""}}, {{"VRL_BOOT", boot}}},
        {"boot path without quotes", "VRL_DPD134.EXE", nullptr,
         {{"VRL_BOOT", "C:\\Virelle\\VRL_BOOT.EXE"}}, {{"VRL_BOOT", boot}}},
        {"other programs' entries stay", "VRL_DPD134.EXE", nullptr, {{"Antivirus", "av.exe"}},
         {{"Antivirus", "av.exe"}, {"VRL_BOOT", boot}}},
        {"CRV family", "CRV_DPD134.EXE", nullptr, {},
         {{"CRV_BOOT", "\"C:\\Corvane\\CRV_BOOT.EXE\""},
          {"CRV_TRAY", "\"C:\\Corvane\\CRV_TRAY.EXE\""},
          {"VRL_BOOT", std::nullopt}}},
        {"CRV reads Tray from its own section", "CRV_DPD134.EXE",
         "[Virelle]\r\nTray=1\r\n[Corvane]\r\nTray=0\r\n", {{"CRV_TRAY", "x"}},
         {{"CRV_TRAY", std::nullopt}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartingMachine m(c.program);
        if (c.machineSettings != nullptr) m.machine.writeFile(MachineIniPath, c.machineSettings);
        for (const auto& [name, data] : c.before) {
            m.machine.registry().setString(RegistryRoot::LocalMachine, kRunKey, name, data);
        }
        m.RunPhases({1, 2});
        for (const auto& [name, data] : c.after) {
            SCOPED_TRACE(name);
            EXPECT_EQ(RunValue(m, name), data);
        }
        EXPECT_EQ(SpellValue(m), std::string("TX32"));
    }
}

TEST(AutoStart, RightEntriesAreNotWrittenAgain) {
    StartingMachine m;
    m.RunPhases({1, 2});
    platform::FaultInjectingPlatform counted(m.machine.platform());
    sim::ScopedPlatform installed(counted.platform());
    m.RunPhases({1, 2});
    EXPECT_EQ(counted.faults().calls("RegistryKey.writeString"), 0u);
    EXPECT_EQ(counted.faults().calls("RegistryKey.deleteValue"), 0u);
}

TEST(AutoStart, SpellCheckerValueIsOnlyADefault) {
    StartingMachine m;
    m.machine.registry().setString(RegistryRoot::LocalMachine, kSpellKey, "TX14", "UK English");
    m.RunPhases({1, 2});
    EXPECT_EQ(SpellValue(m), std::string("UK English"));
}

// Registration is best effort: a failure ends it without a message (the
// simulated screen fails the test on any box nobody answers), and the
// start-up goes on with the next phase.
TEST(AutoStart, RegistryFailuresEndTheRegistrationSilently) {
    struct Case {
        const char* name;
        const char* refusedKey;      // refused for writing; nullptr: none
        const char* failingCall;     // the first such call fails; nullptr: none
        bool bootTypeIsNumber;       // VRL_BOOT exists as a REG_DWORD
        bool bootWritten, trayWritten, spellWritten;
    };
    const Case cases[] = {
        {"machine-wide settings refused", "Software", nullptr, false, false, false, false},
        {"only the Run key refused", kRunKey, nullptr, false, false, false, true},
        {"Run key cannot be created", nullptr, "Registry.open", false, false, false, true},
        {"boot entry write refused", nullptr, "RegistryKey.writeString", false, false, false, false},
        {"boot entry of another type", nullptr, nullptr, true, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartingMachine m;
        if (c.refusedKey != nullptr) {
            m.machine.registry().refuse(RegistryRoot::LocalMachine, c.refusedKey,
                                        sim::Refusal::Writes);
        }
        if (c.bootTypeIsNumber) {
            m.machine.registry().setNumber(RegistryRoot::LocalMachine, kRunKey, "VRL_BOOT", 1);
        }
        platform::FaultInjectingPlatform faulty(m.machine.platform());
        if (c.failingCall != nullptr) faulty.faults().add({c.failingCall, 1});
        sim::ScopedPlatform installed(faulty.platform());
        m.RunPhases({1, 2, 3});  // phase 3 runs: the start-up goes on

        const auto bootValue = RunValue(m, "VRL_BOOT");
        EXPECT_EQ(bootValue && *bootValue == "\"C:\\Virelle\\VRL_BOOT.EXE\"", c.bootWritten);
        EXPECT_EQ(RunValue(m, "VRL_TRAY").has_value(), c.trayWritten);
        EXPECT_EQ(SpellValue(m).has_value(), c.spellWritten);
        EXPECT_TRUE(m.screen.MessageBoxes().empty());
    }
}

TEST(AutoStart, BootProgramIsCopiedIntoTheInstallFolderOnlyWhenMissingThere) {
    struct Case {
        const char* name;
        const char* dataRoot;
        const char* installed;  // C:\Virelle\VRL_BOOT.EXE before; nullptr: none
        const char* carried;    // DataRoot\VRL_BOOT.EXE before; nullptr: none
        std::optional<std::string> after;  // C:\Virelle\VRL_BOOT.EXE after
    };
    const Case cases[] = {
        {"missing in the install folder", "S:\\Virelle\\", nullptr, "boot v2", "boot v2"},
        {"never replaced by a newer copy", "S:\\Virelle\\", "boot v1", "boot v2", "boot v1"},
        {"nothing to copy", "S:\\Virelle\\", nullptr, nullptr, std::nullopt},
        {"data drive C: is the install folder", "C:\\Virelle\\", "boot v1", "boot v1", "boot v1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartingMachine m;
        m.machine.addDrive('S');
        m.machine.makeFolder("C:\\Virelle");
        if (c.installed != nullptr) m.machine.writeFile("C:\\Virelle\\VRL_BOOT.EXE", c.installed);
        if (c.carried != nullptr) {
            m.machine.writeFile(std::string(c.dataRoot) + "VRL_BOOT.EXE", c.carried);
        }
        m.RunPhases({1});
        DataRoot = c.dataRoot;
        m.RunPhases({24});
        EXPECT_EQ(m.machine.readFile("C:\\Virelle\\VRL_BOOT.EXE"), c.after);
    }
}

TEST(AutoStart, FailedBootCopyIsLeftForTheNextStart) {
    StartingMachine m;
    m.machine.addDrive('S');
    m.machine.makeFolder("C:\\Virelle");
    m.machine.writeFile("S:\\Virelle\\VRL_BOOT.EXE", "boot");
    m.machine.refuseWrites("C:\\Virelle");
    m.RunPhases({1});
    DataRoot = "S:\\Virelle\\";
    EXPECT_NO_THROW(m.RunPhases({24, 25}));
    EXPECT_TRUE(m.screen.MessageBoxes().empty());
    EXPECT_FALSE(m.machine.exists("C:\\Virelle\\VRL_BOOT.EXE"));

    m.machine.allowWrites("C:\\Virelle");
    m.RunPhases({24});
    EXPECT_EQ(m.machine.readFile("C:\\Virelle\\VRL_BOOT.EXE"), std::string("boot"));
}

}  // namespace
