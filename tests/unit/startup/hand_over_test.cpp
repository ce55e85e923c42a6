// Phase 14: the hand-over to the version 6 program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "starting_machine.h"

namespace {

using startup_test::StartingMachine;

const char kInstalled[] = "C:\\Program Files\\Virelle\\VRL.EXE";

struct HandOverCase {
    const char* name;
    const char* program;
    const char* practiceSettings;
    bool installed;   // the version 6 program under the program-files folder
    bool client;      // Client.exe in the data folder
    const char* started;  // nullptr: nothing
    bool updateRequired;
    std::vector<std::string> logged;  // from the frame's 9.1411 on
};

TEST(HandOver, Version6FlagHandsOverOrAsksForTheUpdate) {
    const HandOverCase cases[] = {
        {"no flag", "VRL.EXE", "[Virelle]\r\nCountry=E\r\n", true, true, nullptr, false,
         {"9.1411"}},
        {"flag 0", "VRL.EXE", "[Virelle]\r\nv6=0\r\n", true, true, nullptr, false, {"9.1411"}},
        {"flag not a number", "VRL.EXE", "[Virelle]\r\nv6=yes\r\n", true, true, nullptr, false,
         {"9.1411"}},
        {"installed version 6", "VRL.EXE", "[Virelle]\r\nv6=1\r\n", true, true, kInstalled, false,
         {"9.1411", "6", "6.1"}},
        {"Client.exe in the data folder", "VRL.EXE", "[Virelle]\r\nv6=1\r\n", false, true,
         "F:\\Virelle\\Client.exe", false, {"9.1411", "6", "9.1412", "6.2"}},
        {"neither", "VRL.EXE", "[Virelle]\r\nv6=1\r\n", false, false, nullptr, true,
         {"9.1411", "6", "9.1412", "9.1413", "6.3"}},
        {"CRV reads its own section", "CRV.EXE", "[Virelle]\r\nv6=1\r\n", true, true, nullptr,
         false, {"9.1411"}},
        {"CRV looks in Virelle under program files", "CRV.EXE", "[Corvane]\r\nv6=1\r\n", true,
         true, kInstalled, false, {"9.1411", "6", "6.1"}},
    };
    for (const HandOverCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartingMachine m(c.program);
        m.machine.mapNetworkDrive('F', "\\\\SRV\\DATA");
        DataRoot = "F:" + InstallFolderName;
        m.machine.writeFile(PracticeIniPath(), c.practiceSettings);
        if (c.installed) m.machine.writeFile(kInstalled, "MZ");
        if (c.client) m.machine.writeFile(DataRoot + "Client.exe", "MZ");
        if (c.updateRequired) m.screen.AnswerMessageBox(toolkit::id::kOk);

        const bool stops = c.started != nullptr || c.updateRequired;
        if (stops) {
            EXPECT_THROW(m.RunPhases({14, 15}), EStartupStop);
        } else {
            EXPECT_NO_THROW(m.RunPhases({14}));
        }

        const auto& starts = m.machine.shell().starts();
        if (c.started != nullptr) {
            ASSERT_EQ(starts.size(), 1u);
            EXPECT_EQ(starts[0].file, c.started);
            EXPECT_EQ(starts[0].parameters, "");
            EXPECT_EQ(starts[0].folder, "");
            EXPECT_EQ(starts[0].showCommand, 3) << "maximised";
        } else {
            EXPECT_TRUE(starts.empty());
        }
        if (c.updateRequired) {
            ASSERT_EQ(m.screen.MessageBoxes().size(), 1u);
            EXPECT_EQ(m.screen.MessageBoxes()[0].text, "Version 6 update required");
            EXPECT_EQ(m.screen.MessageBoxes()[0].flags & 0xFF, toolkit::mb::kIconError);
        } else {
            EXPECT_TRUE(m.screen.MessageBoxes().empty());
        }
        // A stop means phase 15 (checkpoint 9.1414) never begins.
        EXPECT_EQ(m.LoggedCheckpoints(), c.logged);
    }
}

TEST(HandOver, ProgramThatCannotStartEndsWithoutAMessage) {
    StartingMachine m("VRL.EXE");
    DataRoot = "C:\\Virelle\\";
    m.machine.writeFile(PracticeIniPath(), "[Virelle]\r\nv6=1\r\n");
    m.machine.writeFile(kInstalled, "MZ");
    m.machine.shell().setStartFailure(platform::error::kBadExeFormat);
    EXPECT_THROW(m.RunPhases({14}), EStartupStop);
    EXPECT_EQ(m.machine.shell().starts().size(), 1u);
    EXPECT_TRUE(m.screen.MessageBoxes().empty());
}

// Without a program-files folder from the shell nothing relative to the
// current folder is taken for the version 6 program.
TEST(HandOver, NoProgramFilesFolderLooksOnlyInTheDataFolder) {
    StartingMachine m("VRL.EXE");
    DataRoot = "C:\\Virelle\\";
    m.machine.writeFile(PracticeIniPath(), "[Virelle]\r\nv6=1\r\n");
    m.machine.shell().setSpecialFolder(platform::csidl::kProgramFiles, std::nullopt);
    m.machine.writeFile("C:\\Virelle\\Virelle\\VRL.EXE", "MZ");
    m.machine.files().setCurrentFolder("C:\\Virelle");
    m.screen.AnswerMessageBox(toolkit::id::kOk);
    EXPECT_THROW(m.RunPhases({14}), EStartupStop);
    EXPECT_TRUE(m.machine.shell().starts().empty());
    ASSERT_EQ(m.screen.MessageBoxes().size(), 1u);
    EXPECT_EQ(m.screen.MessageBoxes()[0].text, "Version 6 update required");
}

}  // namespace
