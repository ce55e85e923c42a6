// Phase 5: the system date guard of the suite's main programs.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/Dates.h"
#include "common/IniFile.h"
#include "platform/sim/SimClock.h"
#include "starting_machine.h"

namespace {

using startup_test::StartingMachine;

const char kQuestion[] =
    "The system was run in excess of 30 days ago.\r\rPlease confirm the date is ";

platform::LocalTime Noon(int year, int month, int day) {
    return platform::LocalTime{year, month, day, 12, 0, 0, 0};
}

// The executable's file, last changed on that day.
void InstallProgramDatedOn(StartingMachine& m, const platform::LocalTime& changed) {
    const platform::LocalTime now = m.machine.clock().now();
    m.machine.clock().setLocalTime(changed);
    m.machine.writeFile(m.machine.system().moduleFileName(), "MZ");
    m.machine.clock().setLocalTime(now);
}

struct GuardCase {
    const char* name;
    platform::LocalTime today;
    Date lastRun;                  // as phase 4 read it
    std::optional<int> answer;     // to the 30-day question; none: no question
    platform::LocalTime programChanged;
    const char* stopMessage;       // nullptr: no stop box
    bool stops;
    std::optional<std::string> storedAfter;  // [Virelle] Date afterwards
};

TEST(DateGuard, RunDateAndProgramDateAgainstToday) {
    const platform::LocalTime today = Noon(2024, 3, 15);
    const platform::LocalTime older = Noon(2022, 6, 1);
    const GuardCase cases[] = {
        {"last run today", today, {2024, 3, 15}, std::nullopt, older, nullptr, false, "15/03/2024"},
        {"exactly 30 days ago", today, {2024, 2, 14}, std::nullopt, older, nullptr, false,
         "15/03/2024"},
        {"31 days ago, confirmed", today, {2024, 2, 13}, toolkit::id::kYes, older, nullptr, false,
         "15/03/2024"},
        {"31 days ago, not confirmed", today, {2024, 2, 13}, toolkit::id::kNo, older, nullptr,
         true, "13/02/2024"},
        // Calendar days across a leap February: 31/01 to 01/03 is 30 days.
        {"30 days across 29 February", Noon(2024, 3, 1), {2024, 1, 31}, std::nullopt, older,
         nullptr, false, "01/03/2024"},
        {"31 days across 28 February", Noon(2023, 3, 3), {2023, 1, 31}, toolkit::id::kYes, older,
         nullptr, false, "03/03/2023"},
        {"30 days just after midnight", platform::LocalTime{2024, 3, 15, 0, 0, 1, 0},
         {2024, 2, 14}, std::nullopt, older, nullptr, false, "15/03/2024"},
        {"last run tomorrow", today, {2024, 3, 16}, std::nullopt, older, "System date error.",
         true, "16/03/2024"},
        {"program file dated tomorrow", today, {2024, 3, 15}, std::nullopt, Noon(2024, 3, 16),
         "The program date is greater than the system date.\r\n16/03/2024 > 15/03/2024", true,
         "15/03/2024"},
        {"program file changed today", today, {2024, 3, 10}, std::nullopt, today, nullptr, false,
         "15/03/2024"},
    };
    for (const GuardCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartingMachine m("VRL.EXE");
        m.machine.clock().setLocalTime(c.today);
        InstallProgramDatedOn(m, c.programChanged);
        IniFile settings(MachineIniPath);
        settings.WriteDate("Virelle", "Date", c.lastRun);
        StoredRunDate = c.lastRun;
        if (c.answer) m.screen.AnswerMessageBox(*c.answer);
        if (c.stopMessage != nullptr) m.screen.AnswerMessageBox(toolkit::id::kOk);

        if (c.stops) {
            EXPECT_THROW(m.RunPhases({5}), EStartupStop);
        } else {
            EXPECT_NO_THROW(m.RunPhases({5}));
        }

        std::vector<std::string> shown;
        for (const auto& box : m.screen.MessageBoxes()) shown.push_back(box.text);
        std::vector<std::string> expected;
        if (c.answer) expected.push_back(kQuestion + DisplayDate(DateOf(c.today)));
        if (c.stopMessage != nullptr) expected.push_back(c.stopMessage);
        EXPECT_EQ(shown, expected);
        for (const auto& box : m.screen.MessageBoxes()) {
            const std::uint32_t expectedFlags =
                box.text.rfind(kQuestion, 0) == 0
                    ? toolkit::mb::kYesNo | toolkit::mb::kIconWarning
                    : toolkit::mb::kIconError;
            EXPECT_EQ(box.flags & 0xFF, expectedFlags) << box.text;
        }
        EXPECT_EQ(settings.ReadString("Virelle", "Date", ""), c.storedAfter);
    }
}

TEST(DateGuard, CheckpointsOfAPassingGuard) {
    StartingMachine m("VRL.EXE");
    StoredRunDate = Today();
    m.RunPhases({5});
    EXPECT_EQ(m.LoggedCheckpoints(), (std::vector<std::string>{"9.4", "9.5", "9.6", "9.7"}));
}

TEST(DateGuard, OnlyTheMainProgramsAreGuarded) {
    const char* const programs[] = {"VRL_DPD134.EXE", "vrl.exe", "Vrl.EXE", "VRL_PACK.EXE"};
    for (const char* program : programs) {
        SCOPED_TRACE(program);
        StartingMachine m(program);
        StoredRunDate = Date{2030, 1, 1};  // would be a date error
        EXPECT_NO_THROW(m.RunPhases({5}));
        EXPECT_FALSE(IniFile(MachineIniPath).ValueExists("Virelle", "Date"));
        EXPECT_TRUE(m.screen.MessageBoxes().empty());
    }
    StartingMachine crv("CRV.EXE");
    StoredRunDate = Date{2030, 1, 1};
    crv.screen.AnswerMessageBox(toolkit::id::kOk);
    EXPECT_THROW(crv.RunPhases({5}), EStartupStop);
    ASSERT_EQ(crv.screen.MessageBoxes().size(), 1u);
    EXPECT_EQ(crv.screen.MessageBoxes()[0].text, "System date error.");
}

TEST(DateGuard, RefusedRunDateGoesToTheCatchAllHandler) {
    StartingMachine m("VRL.EXE");
    m.machine.writeFile(MachineIniPath, "[Virelle]\r\nWD=C:\r\n");
    m.machine.refuseWrites(MachineIniPath);
    StoredRunDate = Today();
    m.screen.AnswerMessageBox(toolkit::id::kOk);
    EXPECT_THROW(m.RunPhases({5}), EStartupStop);
    ASSERT_EQ(m.screen.MessageBoxes().size(), 1u);
    EXPECT_EQ(m.screen.MessageBoxes()[0].text,
              "Unable to initialize program:\r\rUnable to write to C:\\Virelle\\VRL.INI");
}

}  // namespace
