// Phase 23: update programs in the install folder launched once per
// practice, recorded under [RunOnce] of the practice settings file.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/IniFile.h"
#include "starting_machine.h"

namespace {

using startup_test::StartingMachine;

// The sim's clock reads 31/01/2024.
const char kToday[] = "31/01/2024";

struct ScheduleCase {
    const char* name;
    const char* program;
    std::vector<std::string> present;  // files in the install folder
    const char* runOnce;               // [RunOnce] before
    std::vector<std::string> launched;
    std::map<std::string, std::optional<std::string>> after;  // [RunOnce] afterwards
};

TEST(UpdateScheduling, PendingUpdateProgramsAreLaunchedHiddenAndDated) {
    const ScheduleCase cases[] = {
        {"one program, nothing recorded", "VRL_DPD134.EXE", {"VRL_DPD126.EXE"}, "",
         {"C:\\Virelle\\VRL_DPD126.EXE"}, {{"SDR126", kToday}, {"SDR124", std::nullopt}}},
        {"already dated", "VRL_DPD134.EXE", {"VRL_DPD126.EXE"}, "SDR126=02/01/2024\r\n", {},
         {{"SDR126", "02/01/2024"}}},
        {"a word instead of a date", "VRL_DPD134.EXE", {"VRL_DPD126.EXE"}, "SDR126=yes\r\n",
         {"C:\\Virelle\\VRL_DPD126.EXE"}, {{"SDR126", kToday}}},
        {"a day that does not exist", "VRL_DPD134.EXE", {"VRL_DPD126.EXE"},
         "SDR126=31/02/2020\r\n", {"C:\\Virelle\\VRL_DPD126.EXE"}, {{"SDR126", kToday}}},
        {"an empty value", "VRL_DPD134.EXE", {"VRL_DPD126.EXE"}, "SDR126=\r\n",
         {"C:\\Virelle\\VRL_DPD126.EXE"}, {{"SDR126", kToday}}},
        {"all five, in order", "VRL.EXE",
         {"VRL_DPD134.EXE", "VRL_DPD129.EXE", "VRL_DPD124.EXE", "VRL_DPD133.EXE",
          "VRL_DPD126.EXE"},
         "SDR129=01/01/2024\r\n",
         {"C:\\Virelle\\VRL_DPD124.EXE", "C:\\Virelle\\VRL_DPD126.EXE",
          "C:\\Virelle\\VRL_DPD133.EXE", "C:\\Virelle\\VRL_DPD134.EXE"},
         {{"SDR124", kToday}, {"SDR126", kToday}, {"SDR129", "01/01/2024"}, {"SDR133", kToday},
          {"SDR134", kToday}}},
        {"a missing program is passed over", "VRL_DPD134.EXE", {}, "", {},
         {{"SDR124", std::nullopt}, {"SDR134", std::nullopt}}},
        {"CRV looks for its own names only", "CRV_DPD134.EXE",
         {"VRL_DPD124.EXE", "CRV_DPD133.EXE"}, "", {"C:\\Corvane\\CRV_DPD133.EXE"},
         {{"SDR124", std::nullopt}, {"SDR133", kToday}}},
    };
    for (const ScheduleCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartingMachine m(c.program);
        m.machine.mapNetworkDrive('F', "\\\\SRV\\DATA");
        DataRoot = "F:" + InstallFolderName;
        m.machine.writeFile(PracticeIniPath(), std::string("[RunOnce]\r\n") + c.runOnce);
        for (const std::string& file : c.present) m.machine.writeFile(InstallRoot + file, "MZ");

        m.RunPhases({23});

        std::vector<std::string> launched;
        for (const auto& start : m.machine.shell().starts()) {
            launched.push_back(start.file);
            EXPECT_EQ(start.showCommand, 0) << "hidden";
            EXPECT_EQ(start.parameters, "");
            EXPECT_EQ(start.folder, "");
        }
        EXPECT_EQ(launched, c.launched);
        const IniFile practice(PracticeIniPath());
        for (const auto& [key, value] : c.after) {
            SCOPED_TRACE(key);
            const bool present = practice.ValueExists("RunOnce", key);
            EXPECT_EQ(present ? std::optional<std::string>(practice.ReadString("RunOnce", key, ""))
                              : std::nullopt,
                      value);
        }
    }
}

// The record lives with the practice, so a second start, on this machine or
// another one of the practice, launches nothing.
TEST(UpdateScheduling, SecondStartLaunchesNothing) {
    StartingMachine m;
    DataRoot = "C:\\Virelle\\";
    m.machine.writeFile("C:\\Virelle\\VRL_DPD126.EXE", "MZ");
    m.RunPhases({23});
    ASSERT_EQ(m.machine.shell().starts().size(), 1u);
    m.RunPhases({23});
    EXPECT_EQ(m.machine.shell().starts().size(), 1u);
}

// This program installed in the install folder meets its own entry: one
// copy is launched, and that copy, starting on the same practice, finds its
// key dated and launches none.
TEST(UpdateScheduling, InstalledSelfLaunchesExactlyOneCopy) {
    StartingMachine first("VRL_DPD134.EXE");
    DataRoot = "C:\\Virelle\\";
    first.machine.writeFile("C:\\Virelle\\VRL_DPD134.EXE", "MZ");
    first.RunPhases({23});
    ASSERT_EQ(first.machine.shell().starts().size(), 1u);
    EXPECT_EQ(first.machine.shell().starts()[0].file, "C:\\Virelle\\VRL_DPD134.EXE");

    // The copy: a new process of the same program on the same machine.
    ResetStartupValues();
    DataRoot = "C:\\Virelle\\";
    first.RunPhases({23});
    EXPECT_EQ(first.machine.shell().starts().size(), 1u);
}

// The date is written before the launch: a settings file that refuses it
// ends the start-up through the catch-all handler with nothing launched, so
// a copy of an update program can never start a chain of copies.
TEST(UpdateScheduling, RefusedDateLaunchesNothing) {
    StartingMachine m;
    DataRoot = "C:\\Virelle\\";
    m.machine.makeFolder("C:\\Virelle");
    m.machine.writeFile("C:\\Virelle\\VRLPRC.INI", "[Virelle]\r\n");
    m.machine.writeFile("C:\\Virelle\\VRL_DPD134.EXE", "MZ");
    m.machine.writeFile("C:\\Virelle\\VRL_DPD126.EXE", "MZ");
    m.machine.refuseWrites("C:\\Virelle\\VRLPRC.INI");
    m.screen.AnswerMessageBox(toolkit::id::kOk);
    EXPECT_THROW(m.RunPhases({23, 24}), EStartupStop);
    EXPECT_TRUE(m.machine.shell().starts().empty());
    ASSERT_EQ(m.screen.MessageBoxes().size(), 1u);
    EXPECT_EQ(m.screen.MessageBoxes()[0].text,
              "Unable to initialize program:\r\rUnable to write to C:\\Virelle\\VRLPRC.INI");
}

// A program that cannot be started is not noticed; its date stands.
TEST(UpdateScheduling, FailedLaunchIsDatedAllTheSame) {
    StartingMachine m;
    DataRoot = "C:\\Virelle\\";
    m.machine.writeFile("C:\\Virelle\\VRL_DPD126.EXE", "not a program");
    m.machine.shell().setStartFailure(platform::error::kBadExeFormat);
    EXPECT_NO_THROW(m.RunPhases({23}));
    EXPECT_EQ(IniFile("C:\\Virelle\\VRLPRC.INI").ReadString("RunOnce", "SDR126", ""), kToday);
    EXPECT_TRUE(m.screen.MessageBoxes().empty());
}

}  // namespace
