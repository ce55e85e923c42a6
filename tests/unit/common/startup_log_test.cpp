#include <gtest/gtest.h>

#include <algorithm>

#include "common/ProcessStart.h"
#include "common/StartupLog.h"
#include "unit/common/CommonTestSupport.h"

namespace {

using commontest::FileLines;
using commontest::LogMessages;
using commontest::SimWorld;
using commontest::TimeAt;
using Lines = std::vector<std::string>;

const char kLatestLog[] = "C:\\Virelle\\Startup.LOG";

// A main program started at 31/01/2024 09:30:15.123 with the tick counter
// at `ticks`.
struct MainProgram : SimWorld {
    explicit MainProgram(std::uint32_t ticks = 5000, const char* module = "C:\\Virelle\\VRL.EXE")
        : SimWorld(module) {
        machine.clock().setLocalTime(TimeAt(31, 1, 2024, 9, 30, 15, 123));
        machine.clock().setTicks(ticks);
    }
};

TEST(StartupLog, MainProgramWritesTheSameLinesToBothFiles) {
    MainProgram world;
    ASSERT_TRUE(InitializeRuntime());
    world.machine.clock().advance(2);
    Checkpoint(0.21L);

    EXPECT_EQ(RunLogPath(), "C:\\Virelle\\Startup\\20240131093015123.TXT");
    const Lines expected = {
        "31/01/2024 09:30:15.123,        0, START",
        "31/01/2024 09:30:15.123,        0, 0.01",
        "31/01/2024 09:30:15.123,        0, 0.02",
        "31/01/2024 09:30:15.125,        2, 0.21",
    };
    EXPECT_EQ(FileLines(world.machine, kLatestLog), expected);
    EXPECT_EQ(FileLines(world.machine, RunLogPath()), expected);
}

TEST(StartupLog, OtherProgramsWriteNothingButStillMakeTheFolder) {
    const char* const modules[] = {"C:\\Virelle\\vrl.exe", "C:\\Virelle\\VRL_DPD134.exe",
                                   "C:\\Virelle\\Vrl.EXE", "C:\\Virelle\\VRL.EXE.BAK"};
    for (const char* module : modules) {
        SCOPED_TRACE(module);
        MainProgram world(5000, module);
        ASSERT_TRUE(InitializeRuntime());
        Checkpoint(6);
        WriteStartupLine("VersionNumber: x");
        EXPECT_FALSE(world.machine.exists(kLatestLog));
        EXPECT_TRUE(world.machine.isFolder("C:\\Virelle\\Startup"));
        EXPECT_EQ(world.machine.files().list("C:\\Virelle\\Startup"), std::vector<std::string>());
    }
}

TEST(StartupLog, CrvMainProgramLogsUnderItsOwnFolder) {
    MainProgram world(5000, "C:\\Corvane\\CRV.EXE");
    ASSERT_TRUE(InitializeRuntime());
    EXPECT_EQ(LogMessages(world.machine, "C:\\Corvane\\Startup.LOG"),
              (Lines{"START", "0.01", "0.02"}));
    EXPECT_FALSE(world.machine.exists(kLatestLog));
}

TEST(StartupLog, ElapsedFieldCountsTicksModulo2To32) {
    struct Case {
        const char* name;
        std::uint32_t startTick;
        std::uint32_t laterTick;
        const char* line;
    };
    const Case cases[] = {
        {"small", 1000, 1250, "31/01/2024 09:30:15.123,      250, 6"},
        {"eight digits", 0, 12345678, "31/01/2024 09:30:15.123, 12345678, 6"},
        {"nine digits unpadded", 1, 987654322, "31/01/2024 09:30:15.123, 987654321, 6"},
        {"across the wrap", 0xFFFFFFF0u, 0x10, "31/01/2024 09:30:15.123,       32, 6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MainProgram world(c.startTick);
        ASSERT_TRUE(InitializeRuntime());
        world.machine.clock().setTicks(c.laterTick);
        Checkpoint(6);
        const auto lines = FileLines(world.machine, kLatestLog);
        ASSERT_TRUE(lines);
        EXPECT_EQ(lines->back(), c.line);
    }
}

TEST(StartupLog, ASecondRunEmptiesTheLatestLogAndAddsARunFile) {
    MainProgram world;
    ASSERT_TRUE(InitializeRuntime());
    Checkpoint(9.1411L);
    const std::string firstRun = RunLogPath();

    // The next process of the program, a minute later.
    ResetRuntime();
    world.machine.clock().advance(60000);
    ASSERT_TRUE(InitializeRuntime());

    EXPECT_NE(RunLogPath(), firstRun);
    EXPECT_EQ(LogMessages(world.machine, kLatestLog), (Lines{"START", "0.01", "0.02"}));
    EXPECT_EQ(LogMessages(world.machine, firstRun), (Lines{"START", "0.01", "0.02", "9.1411"}));
    auto runs = world.machine.files().list("C:\\Virelle\\Startup");
    ASSERT_TRUE(runs);
    std::sort(runs->begin(), runs->end());
    EXPECT_EQ(*runs, (Lines{"20240131093015123.TXT", "20240131093115123.TXT"}));
}

TEST(StartupLog, RunFileReceivesEveryLineWhileTheLatestLogIsHeldByAnotherProgram) {
    MainProgram world;
    world.machine.writeFile(kLatestLog, "earlier run\r\n");
    auto holder = world.machine.holdOpen(kLatestLog, platform::access::kRead | platform::access::kWrite,
                                         platform::share::kNone);
    ASSERT_TRUE(holder);
    ASSERT_TRUE(InitializeRuntime());
    world.machine.clock().advance(7);
    Checkpoint(6.1L);

    EXPECT_EQ(world.machine.readFile(kLatestLog), "earlier run\r\n");
    const auto lines = FileLines(world.machine, RunLogPath());
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 4u);
    EXPECT_EQ(lines->back(), "31/01/2024 09:30:15.130,        7, 6.1");
}

TEST(StartupLog, UsesTheLocaleSeparatorsReadAtProcessStart) {
    MainProgram world;
    auto& system = world.machine.system();
    system.setLocaleInfo(platform::locale::kUserDefault, platform::locale::kDecimal, ",");
    system.setLocaleInfo(platform::locale::kUserDefault, platform::locale::kDate, ".");
    system.setLocaleInfo(platform::locale::kUserDefault, platform::locale::kTime, "-");
    ASSERT_TRUE(InitializeRuntime());
    const auto lines = FileLines(world.machine, kLatestLog);
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->at(1), "31.01.2024 09-30-15.123,        0, 0,01");
}

TEST(StartupLog, AnUnwritableInstallFolderLosesTheLinesQuietly) {
    MainProgram world;
    world.machine.refuseWrites("C:\\");
    EXPECT_TRUE(InitializeRuntime());
    Checkpoint(6);
    EXPECT_FALSE(world.machine.exists("C:\\Virelle"));
    EXPECT_EQ(RunLogPath(), "C:\\Virelle\\Startup\\20240131093015123.TXT");
}

}  // namespace
