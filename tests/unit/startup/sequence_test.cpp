// The start-up frame: the catch-all handler around the guarded phases, the
// stop mechanism, the packing programs' gate and the data lock phase.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/DataLock.h"
#include "common/ProcessStart.h"
#include "common/StartupLog.h"
#include "common/Variant.h"
#include "platform/sim/SimMachine.h"
#include "startup/Main_DataModules.h"
#include "startup/Phases.h"
#include "startup/StartupSequence.h"
#include "toolkit/sim/SimBackend.h"

namespace {

// A practice on C: whose program runs as `program`.
struct Practice {
    explicit Practice(const std::string& program) {
        machine.system().setModuleFileName("C:\\Virelle\\" + program);
        machine.writeFile("C:\\Virelle\\VRL.INI", "[Virelle]\r\nWD=C:\r\n");
        ResetRuntime();
        toolkit::app().Initialize();
        Checkpoint(0);
    }
    ~Practice() { CloseDataLock(); }
    std::vector<std::string> LoggedMessages() {
        std::vector<std::string> messages;
        const std::string log = machine.readFile("C:\\Virelle\\Startup.LOG").value_or("");
        std::size_t start = 0;
        while (start < log.size()) {
            const std::size_t end = log.find("\r\n", start);
            const std::string line = log.substr(start, end - start);
            messages.push_back(line.substr(line.rfind(", ") + 2));
            start = end + 2;
        }
        return messages;
    }
    sim::Machine machine;
    sim::ScopedPlatform installed{machine};
    toolkit::sim::SimBackend screen;
};

std::vector<std::string> g_ran;

void Record1(TFRM_Main_DataModules&) { g_ran.push_back("one"); }
void Record2(TFRM_Main_DataModules&) { g_ran.push_back("two"); }
void Fail(TFRM_Main_DataModules&) { throw Exception("The disk is on fire"); }
void Stop(TFRM_Main_DataModules&) { StopStartup("Stopped on purpose."); }

TEST(StartupSequence, GuardedErrorShowsCatchAllBoxReleasesLockAndStops) {
    Practice practice("VRL_DPD134.EXE");
    practice.machine.makeFolder("C:\\Virelle");
    ASSERT_TRUE(OpenDataLock());
    ASSERT_TRUE(practice.machine.exists("C:\\Virelle\\VRL.LCK"));
    g_ran.clear();
    const std::vector<StartupPhase> phases = {
        {1, std::nullopt, true, false, Fail},
        {2, std::nullopt, true, false, Record2},
    };
    TFRM_Main_DataModules module;
    practice.screen.AnswerMessageBox(toolkit::id::kOk);
    EXPECT_THROW(RunStartupPhases(phases, module), EStartupStop);

    ASSERT_EQ(practice.screen.MessageBoxes().size(), 1u);
    const auto& box = practice.screen.MessageBoxes()[0];
    EXPECT_EQ(box.text, "Unable to initialize program:\r\rThe disk is on fire");
    EXPECT_EQ(box.caption, "Virelle");
    EXPECT_EQ(box.flags & 0xF0, toolkit::mb::kIconError);
    EXPECT_FALSE(DataLockHeld());
    EXPECT_FALSE(practice.machine.exists("C:\\Virelle\\VRL.LCK"));
    EXPECT_TRUE(g_ran.empty()) << "no phase runs after the failing one";
}

TEST(StartupSequence, StopInsideGuardedPhaseIsNotReportedAgain) {
    Practice practice("VRL_DPD134.EXE");
    g_ran.clear();
    const std::vector<StartupPhase> phases = {
        {1, std::nullopt, true, false, Stop},
        {2, std::nullopt, true, false, Record2},
    };
    TFRM_Main_DataModules module;
    practice.screen.AnswerMessageBox(toolkit::id::kOk);
    EXPECT_THROW(RunStartupPhases(phases, module), EStartupStop);
    ASSERT_EQ(practice.screen.MessageBoxes().size(), 1u);
    EXPECT_EQ(practice.screen.MessageBoxes()[0].text, "Stopped on purpose.");
    EXPECT_TRUE(g_ran.empty());
}

TEST(StartupSequence, UnguardedPhaseErrorPassesTheCatchAllBy) {
    Practice practice("VRL_DPD134.EXE");
    const std::vector<StartupPhase> phases = {{1, std::nullopt, false, false, Fail}};
    TFRM_Main_DataModules module;
    EXPECT_THROW(RunStartupPhases(phases, module), Exception);
    EXPECT_TRUE(practice.screen.MessageBoxes().empty());
}

TEST(StartupSequence, CheckpointComesBeforeThePhaseAndPackingProgramsSkipTheirPhases) {
    struct Case {
        const char* program;
        std::vector<std::string> logged;  // after START, 0.01, 0.02
        std::vector<std::string> ran;
    };
    // Only the main programs write the log; VRL_PACK's run is seen in `ran`.
    const Case cases[] = {
        {"VRL.EXE", {"9.1", "9.2", "9.3"}, {"one", "two", "one"}},
        {"VRL_PACK.EXE", {}, {"one", "one"}},
        {"crv_pack.exe", {}, {"one", "one"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        Practice practice(c.program);
        g_ran.clear();
        const std::vector<StartupPhase> phases = {
            {1, 9.1L, false, false, Record1},
            {2, 9.2L, true, true, Record2},
            {3, 9.3L, true, false, Record1},
        };
        TFRM_Main_DataModules module;
        RunStartupPhases(phases, module);
        EXPECT_EQ(g_ran, c.ran);
        std::vector<std::string> logged = practice.LoggedMessages();
        if (!logged.empty()) logged.erase(logged.begin(), logged.begin() + 1);  // START
        EXPECT_EQ(logged, c.logged);
    }
}

TEST(StartupSequence, LockHeldByThePackingProgramStops) {
    Practice practice("VRL_DPD134.EXE");
    practice.machine.makeFolder("C:\\Virelle");
    practice.machine.writeFile("C:\\Virelle\\VRL.LCK", "");
    auto packer = practice.machine.holdOpen("C:\\Virelle\\VRL.LCK",
                                            platform::access::kRead | platform::access::kWrite,
                                            platform::share::kNone);
    ASSERT_NE(packer, nullptr);
    TFRM_Main_DataModules module;
    practice.screen.AnswerMessageBox(toolkit::id::kOk);
    EXPECT_THROW(TakeDataLock(module), EStartupStop);
    ASSERT_EQ(practice.screen.MessageBoxes().size(), 1u);
    EXPECT_EQ(practice.screen.MessageBoxes()[0].text, "The program is currently packing.");
    EXPECT_EQ(practice.screen.MessageBoxes()[0].flags & 0xF0, toolkit::mb::kIconError);

    packer.reset();
    EXPECT_NO_THROW(TakeDataLock(module));
    EXPECT_TRUE(DataLockHeld());
}

}  // namespace
