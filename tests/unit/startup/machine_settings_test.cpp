// Phases 3, 4, 6, 7, 10 and 11: regional formats, the machine settings with
// the CRV drive-key migration and the database choice, and DataRoot from
// the drive setting to the practice folder.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/Formats.h"
#include "common/IniFile.h"
#include "common/Variant.h"
#include "startup/MachineSettings.h"
#include "startup/Main_DataModules.h"
#include "startup/Phases.h"
#include "startup/StartupValues.h"
#include "started_machine.h"

namespace {

using toolkit::sim::Driver;

// A machine whose program runs from `program`, with the machine settings
// file given (none when empty).
struct SettingsMachine : StartedMachine {
    explicit SettingsMachine(const std::string& program = "C:\\Virelle\\VRL_DPD134.EXE",
                             const std::string& machineIni = "")
        : StartedMachine(program) {
        if (!machineIni.empty()) machine.writeFile(MachineIniPath, machineIni);
    }
    TFRM_Main_DataModules module;
};

TEST(RegionalFormats, FixesDateAndDecimalAndAsksForMetricMeasures) {
    for (bool refused : {false, true}) {
        SCOPED_TRACE(refused ? "locale refuses changes" : "locale takes changes");
        SettingsMachine m;
        Formats().dateSeparator = '.';
        Formats().decimalSeparator = ',';
        m.machine.system().refuseLocaleChanges(refused);
        const std::size_t before = m.machine.system().localeChanges().size();

        // A refused change is not an error.
        FixRegionalFormats(m.module);

        EXPECT_EQ(Formats().dateSeparator, '/');
        EXPECT_EQ(Formats().decimalSeparator, '.');
        const auto& calls = m.machine.system().localeChanges();
        ASSERT_EQ(calls.size() - before, 2u);
        EXPECT_EQ(calls[before].lcid, platform::locale::kSystemDefault);
        EXPECT_EQ(calls[before + 1].lcid, platform::locale::kUserDefault);
        for (std::size_t i = before; i < calls.size(); ++i) {
            EXPECT_EQ(calls[i].type, platform::locale::kMeasure);
            EXPECT_EQ(calls[i].value, "0");
        }
    }
}

TEST(MachineSettings, DriveKeyMigrationAndDataRoot) {
    struct Case {
        const char* name;
        const char* program;
        const char* ini;  // empty: no machine settings file
        const char* wd;
        const char* wb;
        const char* dataRoot;
    };
    const Case cases[] = {
        {"VRL, no settings file", "C:\\Virelle\\VRL_DPD134.EXE", "", "<absent>", "<absent>", ""},
        {"VRL reads WD", "C:\\Virelle\\VRL_DPD134.EXE", "[Virelle]\r\nWD=F:\\\r\nWB=E:\r\n", "F:\\",
         "E:", "F:\\"},
        {"CRV, WD only moves to WB", "C:\\Corvane\\CRV_DPD134.EXE", "[Corvane]\r\nWD=D:\r\n", "C:",
         "D:", "D:"},
        {"CRV, WB kept", "C:\\Corvane\\CRV_DPD134.EXE", "[Corvane]\r\nWD=D:\r\nWB=E:\r\n", "C:", "E:",
         "E:"},
        {"CRV, neither", "C:\\Corvane\\CRV.EXE", "", "C:", "<absent>", ""},
        {"CRV, empty WD is moved too", "C:\\Corvane\\CRV.EXE", "[Corvane]\r\nWD=\r\n", "C:", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsMachine m(c.program, c.ini);
        ReadMachineSettings(m.module);
        EXPECT_EQ(m.Setting("WD"), c.wd);
        EXPECT_EQ(m.Setting("WB"), c.wb);
        EXPECT_EQ(DataRoot, c.dataRoot);
    }
}

TEST(MachineSettings, StoredRunDateDefaultsToToday) {
    struct Case {
        const char* ini;
        Date expected;
    };
    const Case cases[] = {
        {"[Virelle]\r\nWD=C:\r\nDate=15/03/2024\r\n", {2024, 3, 15}},
        {"[Virelle]\r\nWD=C:\r\n", {2024, 1, 31}},
        {"[Virelle]\r\nDate=31/02/2024\r\n", {2024, 1, 31}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        SettingsMachine m("C:\\Virelle\\VRL_DPD134.EXE", c.ini);
        m.machine.clock().setLocalTime(platform::LocalTime{2024, 1, 31, 9, 30, 0, 0});
        ReadMachineSettings(m.module);
        EXPECT_EQ(StoredRunDate, c.expected);
    }
}

TEST(MachineSettings, RefusedWriteOfTheCrvMigrationRaises) {
    SettingsMachine m("C:\\Corvane\\CRV_DPD134.EXE", "[Corvane]\r\nWD=D:\r\n");
    m.machine.refuseWrites(MachineIniPath);
    try {
        ReadMachineSettings(m.module);
        FAIL() << "no error raised";
    } catch (const EIniFileError& error) {
        EXPECT_STREQ(error.what(), "Unable to write to C:\\Corvane\\CRV.INI");
    }
}

TEST(SelectDatabase, FewerThanTwoEntriesShowNothing) {
    const char* const inis[] = {
        "[Virelle]\r\nWD=C:\r\n",
        "[Virelle]\r\nWD=C:\r\n[Databases]\r\nOnly=D:\r\n",
    };
    for (const char* ini : inis) {
        SCOPED_TRACE(ini);
        SettingsMachine m("C:\\Virelle\\VRL_DPD134.EXE", ini);
        IniFile settings(MachineIniPath);
        SelectDatabase(settings);
        EXPECT_EQ(m.Setting("WD"), "C:");
        EXPECT_TRUE(m.screen.ShownForms().empty());
    }
}

TEST(SelectDatabase, DialogListsTheNamesAndOkWritesTheChosenDriveToWd) {
    const std::string two = "[Databases]\r\nA=D:\r\nB=E:\r\n";
    const std::string three = two + "C=\\\\SERVER\\DATA\r\n";
    struct Case {
        const char* program;
        const std::string& databases;
        int pick;  // -1: OK on the first entry as shown
        const char* wd;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"C:\\Virelle\\VRL_DPD134.EXE", two, 1, "E:", {"A", "B"}},
        {"C:\\Virelle\\VRL_DPD134.EXE", two, -1, "D:", {"A", "B"}},
        // WD in both families, though the CRV family reads WB.
        {"C:\\Corvane\\CRV_DPD134.EXE", three, 2, "\\\\SERVER\\DATA", {"A", "B", "C"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.program) + " item " + std::to_string(c.pick));
        SettingsMachine m(c.program);
        m.machine.writeFile(MachineIniPath, c.databases);
        toolkit::sim::FormView seen;
        m.screen.ExpectModal("Select Database", [&](Driver& d) {
            seen = d.View();
            if (c.pick >= 0) d.Pick(c.pick);
            d.Enter();
        });
        IniFile settings(MachineIniPath);
        SelectDatabase(settings);

        EXPECT_EQ(IniFile(MachineIniPath).ReadString(ProductName, "WD", ""), c.wd);
        EXPECT_EQ(seen.clientWidth, 300);
        EXPECT_EQ(seen.clientHeight, 120);
        EXPECT_EQ(seen.borderStyle, toolkit::BorderStyle::Dialog);
        EXPECT_FALSE(seen.borderIcons.systemMenu);
        EXPECT_EQ(seen.position, toolkit::Position::ScreenCenter);
        ASSERT_EQ(seen.controls.size(), 2u);
        const auto& list = seen.controls[0];
        EXPECT_EQ(list.kind, toolkit::ControlKind::ListBox);
        EXPECT_EQ(list.items, c.names);
        EXPECT_EQ(list.itemIndex, 0);
        EXPECT_EQ(std::vector<int>({list.left, list.top, list.width, list.height}),
                  std::vector<int>({8, 8, 201, 104}));
        const auto& ok = seen.controls[1];
        EXPECT_EQ(ok.caption, "OK");
        EXPECT_TRUE(ok.isDefault);
        EXPECT_EQ(std::vector<int>({ok.left, ok.top, ok.width, ok.height}),
                  std::vector<int>({217, 8, 75, 25}));
    }
}

TEST(DataDrive, EmptySettingAsksOrTakesCOnlyForTheCrvMainProgram) {
    struct Case {
        const char* name;
        const char* program;
        const char* before;
        bool dialog;
        const char* after;
    };
    const Case cases[] = {
        {"a drive is set", "C:\\Virelle\\VRL_DPD134.EXE", "F:", false, "F:"},
        {"CRV main program", "C:\\Corvane\\CRV.EXE", "", false, "C:"},
        {"crv in small letters is no main program", "C:\\Corvane\\crv.exe", "", true, "c:"},
        {"this program", "C:\\Virelle\\VRL_DPD134.EXE", "", true, "c:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsMachine m(c.program);
        m.machine.files().setCurrentFolder("C:\\Virelle");
        DataRoot = c.before;
        if (c.dialog) m.screen.ExpectModal(ProductName + " - Select Data Drive", [](Driver& d) { d.Enter(); });
        ChooseDataDrive(m.module);
        EXPECT_EQ(DataRoot, c.after);
        EXPECT_EQ(m.Setting(DriveKey), c.dialog ? c.after : "<absent>");
    }
}

TEST(DataDrive, CancelledDialogStopsWithoutAMessage) {
    SettingsMachine m;
    m.screen.ExpectModal("Virelle - Select Data Drive", [](Driver& d) { d.Escape(); });
    EXPECT_THROW(ChooseDataDrive(m.module), EStartupStop);
    EXPECT_TRUE(m.screen.MessageBoxes().empty());
    EXPECT_EQ(DataRoot, "");
}

TEST(DataRoot, FromTheDriveSettingToThePracticeFolder) {
    struct Case {
        const char* program;
        const char* setting;
        const char* normalised;
        std::uint32_t driveType;
        const char* folder;
    };
    const Case cases[] = {
        {"C:\\Virelle\\VRL_DPD134.EXE", "D:\\", "D:", platform::drive::kFixed, "D:\\Virelle\\"},
        // The root is asked in capitals; DataRoot keeps the case it had.
        {"C:\\Virelle\\VRL_DPD134.EXE", "f:", "f:", platform::drive::kRemote, "f:\\Virelle\\"},
        {"C:\\Virelle\\VRL_DPD134.EXE", "\\\\SERVER\\DATA\\", "\\\\SERVER\\DATA",
         platform::drive::kRemote, "\\\\SERVER\\DATA\\Virelle\\"},
        {"C:\\Virelle\\VRL_DPD134.EXE", "Q:", "Q:", platform::drive::kNoRootDir, "Q:\\Virelle\\"},
        {"C:\\Corvane\\CRV_DPD134.EXE", "C:", "C:", platform::drive::kFixed, "C:\\Corvane\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        SettingsMachine m(c.program);
        m.machine.addDrive('D', platform::drive::kFixed);
        m.machine.mapNetworkDrive('F', "\\\\SERVER\\DATA");
        DataRoot = c.setting;
        NormaliseDataRoot(m.module);
        EXPECT_EQ(DataRoot, c.normalised);
        EXPECT_EQ(DataDriveType, c.driveType);
        AppendInstallFolder(m.module);
        EXPECT_EQ(DataRoot, c.folder);
    }
}

TEST(PracticeFolder, MissingFolderStopsWithTheDirectoryMessageAndIsNotCreated) {
    SettingsMachine m;
    m.machine.addDrive('D', platform::drive::kFixed);
    DataRoot = "D:\\Virelle\\";
    m.screen.AnswerMessageBox(toolkit::id::kOk);
    EXPECT_THROW(CheckPracticeFolder(m.module), EStartupStop);
    ASSERT_EQ(m.screen.MessageBoxes().size(), 1u);
    const auto& box = m.screen.MessageBoxes()[0];
    EXPECT_EQ(box.text,
              "The directory \"D:\\Virelle\\\" can not be accessed.\r\rIf this is a network "
              "drive, please ensure that the network is working.");
    EXPECT_EQ(box.flags & 0xF0, toolkit::mb::kIconError);
    EXPECT_FALSE(m.machine.exists("D:\\Virelle"));

    m.machine.makeFolder("D:\\Virelle");
    EXPECT_NO_THROW(CheckPracticeFolder(m.module));
}

}  // namespace
