#include <gtest/gtest.h>

#include "common/Cipher.h"
#include "common/ProcessStart.h"
#include "common/StartupLog.h"
#include "common/Text.h"
#include "common/Variant.h"
#include "unit/common/CommonTestSupport.h"

namespace {

using commontest::Os;
using commontest::SimWorld;
namespace mb = toolkit::mb;

TEST(ProductVariant, FollowsTheFirstThreeLettersOfTheExecutableName) {
    struct Case {
        const char* module;
        Variant variant;
    };
    const Case cases[] = {
        {"C:\\Virelle\\crv_dpd134.exe", Variant::CRV},
        {"C:\\Corvane\\CRVTOOLS.EXE", Variant::CRV},
        {"C:\\Virelle\\Crv.exe", Variant::CRV},
        {"C:\\Virelle\\VRL_DPD134.exe", Variant::VRL},
        {"C:\\Virelle\\XY.EXE", Variant::VRL},    // shorter than three letters
        {"C:\\Virelle\\ACRV.EXE", Variant::VRL},  // CRV, but not at the start
        {"C:\\CRV\\VRL.EXE", Variant::VRL},       // the folder does not count
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.module);
        SimWorld world(c.module);
        ASSERT_TRUE(InitializeRuntime());
        EXPECT_EQ(ProductVariant, c.variant);
    }
}

TEST(ProductVariant, CrvTakesEveryValueOfItsColumn) {
    SimWorld world("C:\\Corvane\\crv_dpd134.exe");
    ASSERT_TRUE(InitializeRuntime());
    EXPECT_EQ(ProductName, "Corvane");
    EXPECT_EQ(PracticeIniName, "CRVCLINIC.INI");
    EXPECT_EQ(InstallFolderName, "\\Corvane\\");
    EXPECT_EQ(InstallRoot, "C:\\Corvane\\");
    EXPECT_EQ(MachineIniPath, "C:\\Corvane\\CRV.INI");
    EXPECT_EQ(PrivateDir, "C:\\Corvane\\Private\\");
    EXPECT_EQ(DriveKey, "WB");

    ResetRuntime();
    EXPECT_EQ(ProductName, "Virelle");
    EXPECT_EQ(MachineIniPath, "C:\\Virelle\\VRL.INI");
    EXPECT_EQ(DriveKey, "WD");
}

TEST(ProcessStart, RefusesWindowsNt62Only) {
    struct Case {
        const char* name;
        std::optional<platform::OsVersion> version;
        bool refused;
    };
    const Case cases[] = {
        {"NT 6.2 (Windows 8)", Os(platform::os::kWinNT, 6, 2), true},
        {"NT 6.0", Os(platform::os::kWinNT, 6, 0), false},
        {"NT 6.1", Os(platform::os::kWinNT, 6, 1), false},
        {"NT 6.3", Os(platform::os::kWinNT, 6, 3), false},
        {"NT 5.1", Os(platform::os::kWinNT, 5, 1), false},
        {"9x reporting 6.2", Os(platform::os::kWin9x, 6, 2), false},
        {"version query fails", std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimWorld world("C:\\Virelle\\VRL.EXE");
        world.machine.system().setVersion(c.version);
        if (c.refused) world.screen.AnswerMessageBox(toolkit::id::kOk);

        EXPECT_EQ(InitializeRuntime(), !c.refused);
        ASSERT_EQ(world.screen.MessageBoxes().size(), c.refused ? 1u : 0u);
        const auto log = world.machine.readFile("C:\\Virelle\\Startup.LOG");
        ASSERT_TRUE(log);
        // The run stops after checkpoint 0.01 when refused.
        EXPECT_EQ(log->find(", 0.02\r\n") == std::string::npos, c.refused) << *log;
        EXPECT_NE(log->find(", 0.01\r\n"), std::string::npos);
    }
}

TEST(ProcessStart, RefusalBoxNamesTheProductAndIsOwnedByTheApplication) {
    SimWorld world("C:\\Corvane\\CRV_DPD134.EXE");
    world.machine.system().setVersion(Os(platform::os::kWinNT, 6, 2));
    world.screen.AnswerMessageBox(toolkit::id::kOk);

    EXPECT_FALSE(InitializeRuntime());
    const auto& box = world.screen.MessageBoxes().at(0);
    EXPECT_EQ(box.caption, "Unsupported operating system");
    EXPECT_EQ(box.text, "Corvane");
    EXPECT_EQ(box.flags & 0xFF, mb::kIconError);  // OK button, stop icon
    EXPECT_EQ(box.owner, toolkit::sim::SimBackend::kApplicationWindow);

    // A second call neither shows the box again nor changes its answer.
    EXPECT_FALSE(InitializeRuntime());
    EXPECT_EQ(world.screen.MessageBoxes().size(), 1u);
}

TEST(ProcessStart, SeedsTheMachineSettingsFileOnlyWhenMissing) {
    struct Case {
        const char* name;
        std::optional<std::string> machineIni;
        std::optional<std::string> windowsCopy;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"copied under the new name", std::nullopt, "[Virelle]\r\nWD=F:\r\n",
         "[Virelle]\r\nWD=F:\r\n"},
        {"own content kept", "[Virelle]\r\nWD=C:\r\n", "[Virelle]\r\nWD=F:\r\n",
         "[Virelle]\r\nWD=C:\r\n"},
        {"empty own file kept", "", "[Virelle]\r\nWD=F:\r\n", ""},
        {"nothing to copy", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimWorld world;
        if (c.machineIni) world.machine.writeFile("C:\\Virelle\\VRL.INI", *c.machineIni);
        if (c.windowsCopy) world.machine.writeFile("C:\\WINDOWS\\VRLPRC.INI", *c.windowsCopy);
        ASSERT_TRUE(InitializeRuntime());
        EXPECT_EQ(world.machine.readFile("C:\\Virelle\\VRL.INI"), c.expected);
    }
}

TEST(ProcessStart, SeedingUsesTheWindowsFolderAsTheSystemReportsIt) {
    SimWorld world;
    world.machine.system().setWindowsFolder("D:\\WINNT\\");
    world.machine.addDrive('D');
    world.machine.writeFile("D:\\WINNT\\VRLPRC.INI", "[Virelle]\r\n");
    world.machine.writeFile("C:\\WINDOWS\\VRLPRC.INI", "wrong folder");
    ASSERT_TRUE(InitializeRuntime());
    EXPECT_EQ(world.machine.readFile("C:\\Virelle\\VRL.INI"), "[Virelle]\r\n");
}

TEST(ProcessStart, AFailedSeedCopyIsNotReported) {
    SimWorld world;
    world.machine.writeFile("C:\\WINDOWS\\VRLPRC.INI", "[Virelle]\r\n");
    world.machine.refuseWrites("C:\\Virelle");
    EXPECT_TRUE(InitializeRuntime());
    EXPECT_FALSE(world.machine.exists("C:\\Virelle\\VRL.INI"));
    EXPECT_TRUE(world.screen.MessageBoxes().empty());
}

TEST(DeveloperMachine, IsKnownByThePasswordInDriveCsLabel) {
    const std::string password = DatabasePassword();
    struct Case {
        const char* name;
        std::string labelC;
        std::string labelD;
        bool developer;
    };
    const Case cases[] = {
        {"password between other characters", "X" + password + "Y", "", true},
        {"password alone", password, "", true},
        {"password in lower case is folded up", "dev" + AnsiLowerCase(password), "", true},
        {"only four of its characters", password.substr(0, 4), "", false},
        {"empty label", "", "", false},
        {"password on another drive", "SYSTEM", password, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimWorld world;
        world.machine.disks().volumeOfLetter('C')->label = c.labelC;
        world.machine.addDrive('D', platform::drive::kFixed, c.labelD);
        ASSERT_TRUE(InitializeRuntime());
        EXPECT_EQ(DeveloperMachine, c.developer);
    }
}

TEST(DeveloperMachine, IsFalseForAnUnreadableDriveWithoutAnyBox) {
    SimWorld world;
    world.machine.disks().volumeOfLetter('C')->ready = false;
    ASSERT_TRUE(InitializeRuntime());
    EXPECT_FALSE(DeveloperMachine);
    EXPECT_EQ(world.machine.volumes().criticalErrorBoxes(), 0);
    EXPECT_EQ(world.machine.system().errorMode(), 0u);  // restored afterwards
}

}  // namespace
