// The table probes of the main programs, the private fee table copy and
// the demonstration database offer.
#include <gtest/gtest.h>

#include "startup/Main_DataModules.h"
#include "startup/Phases.h"
#include "startup/StartupSequence.h"
#include "practice_machine.h"
#include "practice_tables.h"

namespace {

// A practice whose database is open, as after phase 17.
struct OpenPractice {
    explicit OpenPractice(const std::string& program) : practice(program) {
        practice.machine.makeFolder("C:\\Virelle\\Data");
        practice.machine.makeFolder("C:\\Virelle\\Bin");
        EXPECT_TRUE(OpenDataLock());
        OpenPracticeDatabase(module);
    }
    PracticeMachine practice;
    TFRM_Main_DataModules module;
};

TEST(TableProbes, DamagedTableOfAMainProgramStopsNamingTheTable) {
    for (const char* table : {"Patient.DB", "TRT_CTL.DB"}) {
        for (const auto& damage : practice_tables::kDamages) {
            SCOPED_TRACE(std::string(table) + ", " + damage.name);
            OpenPractice open("VRL.EXE");
            const std::string path = std::string("C:\\Virelle\\Data\\") + table;
            practice_tables::MakePlainTable("C:\\Virelle\\Data\\Patient.DB", 2);
            practice_tables::MakePlainTable("C:\\Virelle\\Data\\TRT_CTL.DB", 2);
            practice_tables::DamageTable(open.practice.machine, path, damage.damage);
            const std::string engineMessage = practice_tables::EngineMessageOpening(path);
            ASSERT_FALSE(engineMessage.empty());

            open.practice.screen.AnswerMessageBox(toolkit::id::kOk);
            EXPECT_THROW(ProbeTables(open.module), EStartupStop);
            ASSERT_EQ(open.practice.screen.MessageBoxes().size(), 1u);
            EXPECT_EQ(open.practice.screen.MessageBoxes()[0].text,
                      "Please run the 'Pack Databases' application.\r\r" + engineMessage + "\r\r" +
                          table);
            EXPECT_EQ(open.practice.screen.MessageBoxes()[0].flags & 0xF0, toolkit::mb::kIconError);
            EXPECT_FALSE(open.module.VRL.Connected());
            EXPECT_FALSE(DataLockHeld());
        }
    }
}

TEST(TableProbes, SoundOrMissingTablesPassAndOnlyMainProgramsProbe) {
    struct Case {
        const char* program;
        bool patients;
        bool damagedTreatments;
        const char* logged;  // after START and the session's checkpoints
    };
    const Case cases[] = {
        {"VRL.EXE", true, false, "9.28"},
        {"VRL.EXE", false, false, "9.28"},
        {"CRV.EXE", false, false, "9.28"},
        {"VRL_DPD134.EXE", true, true, ""},
        {"vrl.exe", true, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        OpenPractice open(c.program);
        if (c.patients) practice_tables::MakePlainTable("C:\\Virelle\\Data\\Patient.DB", 1);
        practice_tables::MakePlainTable("C:\\Virelle\\Data\\TRT_CTL.DB", 1);
        if (c.damagedTreatments) {
            practice_tables::DamageTable(open.practice.machine, "C:\\Virelle\\Data\\TRT_CTL.DB",
                                         practice_tables::Damage::GarbageHeader);
        }
        EXPECT_NO_THROW(ProbeTables(open.module));
        EXPECT_TRUE(open.practice.screen.MessageBoxes().empty());
        EXPECT_TRUE(open.module.VRL.Connected());
        EXPECT_FALSE(open.module.Check_Table.Active());
        const std::string log =
            open.practice.machine.readFile(InstallRoot + "Startup.LOG").value_or("");
        EXPECT_EQ(log.find("9.28") != std::string::npos, std::string(c.logged) == "9.28");
    }
}

TEST(PrivateFeeTable, CopiedIntoBinOnlyWhenMissingThere) {
    struct Case {
        const char* name;
        const char* source;  // null: no Data\PRV_FEE.DB
        const char* copy;    // null: no Bin\PRV_FEE.DB before
        const char* after;   // Bin\PRV_FEE.DB afterwards, null: none
    };
    const Case cases[] = {
        {"copied", "fees of today", nullptr, "fees of today"},
        {"older copy kept", "fees of today", "older fees", "older fees"},
        {"no source", nullptr, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PracticeMachine practice("VRL_PACK.EXE");
        if (c.source) practice.machine.writeFile("C:\\Virelle\\Data\\PRV_FEE.DB", c.source);
        if (c.copy) practice.machine.writeFile("C:\\Virelle\\Bin\\PRV_FEE.DB", c.copy);
        practice.machine.makeFolder("C:\\Virelle\\Bin");
        TFRM_Main_DataModules module;
        CopyPrivateFeeTable(module);
        const auto after = practice.machine.readFile("C:\\Virelle\\Bin\\PRV_FEE.DB");
        EXPECT_EQ(after.has_value(), c.after != nullptr);
        if (c.after) {
            EXPECT_EQ(*after, c.after);
        }
    }
}

TEST(PrivateFeeTable, FailedCopyIsSilent) {
    PracticeMachine practice;
    practice.machine.writeFile("C:\\Virelle\\Data\\PRV_FEE.DB", "fees");
    TFRM_Main_DataModules module;
    EXPECT_NO_THROW(CopyPrivateFeeTable(module));  // no Bin folder
    EXPECT_FALSE(practice.machine.exists("C:\\Virelle\\Bin\\PRV_FEE.DB"));
    EXPECT_TRUE(practice.screen.MessageBoxes().empty());
}

// --- The demonstration database offer -------------------------------------

const char kDemo[] = "C:\\Virelle\\DemoDatabase.exe";
const char kQuestion[] = "Install demonstration database?\r\n(recommended if evaluating software)";

TEST(DemoDatabase, PracticeWithoutDataIsAskedAndYesWaitsForTheInstaller) {
    OpenPractice open("VRL_DPD134.EXE");
    sim::Machine& machine = open.practice.machine;
    machine.clock().setLocalTime({2012, 3, 14, 10, 0, 0, 0});
    machine.writeFile(kDemo, "MZ installer");
    machine.shell().setProgramLifetime(kDemo, 60000);
    practice_tables::MakeUserTable("C:\\Virelle\\Data\\USER.DB", {1});
    const std::uint64_t before = machine.clock().elapsed();

    open.practice.screen.AnswerMessageBox(toolkit::id::kYes);
    OfferDemoDatabase(open.module);

    ASSERT_EQ(open.practice.screen.MessageBoxes().size(), 1u);
    EXPECT_EQ(open.practice.screen.MessageBoxes()[0].text, kQuestion);
    EXPECT_EQ(open.practice.screen.MessageBoxes()[0].flags & 0xFF, 0x24u);
    ASSERT_EQ(machine.shell().starts().size(), 1u);
    EXPECT_EQ(machine.shell().starts()[0].file, kDemo);
    EXPECT_EQ(machine.shell().starts()[0].parameters, "/AUTO /20120314");
    EXPECT_EQ(machine.shell().runningProcesses(), 0) << "the start-up waited for the installer";
    EXPECT_GE(machine.clock().elapsed() - before, 60000u);
}

TEST(DemoDatabase, QuestionOnlyForAPracticeWithoutData) {
    struct Case {
        const char* name;
        int patients;  // -1: no PATIENT table
        int users;     // -1: no USER table
        bool asked;
    };
    const Case cases[] = {
        {"no patients' table", -1, 1, true},
        {"no users' table", 3, -1, true},
        {"both empty", 0, 0, true},
        {"a user", 0, 1, false},
        {"a patient", 1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenPractice open("VRL_DPD134.EXE");
        open.practice.machine.writeFile(kDemo, "MZ installer");
        if (c.patients >= 0) practice_tables::MakePlainTable("C:\\Virelle\\Data\\PATIENT.DB", c.patients);
        if (c.users >= 0) {
            practice_tables::MakeUserTable("C:\\Virelle\\Data\\USER.DB",
                                           std::vector<std::optional<int>>(c.users, 1));
        }
        if (c.asked) open.practice.screen.AnswerMessageBox(toolkit::id::kNo);
        OfferDemoDatabase(open.module);
        EXPECT_EQ(open.practice.screen.MessageBoxes().size(), c.asked ? 1u : 0u);
        EXPECT_TRUE(open.practice.machine.shell().starts().empty()) << "No starts nothing";
    }
}

TEST(DemoDatabase, NoInstallerOrDamagedTableAsksNothing) {
    struct Case {
        const char* name;
        bool installer;
        bool damagedPatients;
    };
    const Case cases[] = {
        {"no installer", false, false},
        {"damaged patients' table", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenPractice open("VRL_DPD134.EXE");
        if (c.installer) open.practice.machine.writeFile(kDemo, "MZ installer");
        practice_tables::MakePlainTable("C:\\Virelle\\Data\\PATIENT.DB", 0);
        practice_tables::MakeUserTable("C:\\Virelle\\Data\\USER.DB", {});
        if (c.damagedPatients) {
            practice_tables::DamageTable(open.practice.machine, "C:\\Virelle\\Data\\PATIENT.DB",
                                         practice_tables::Damage::GarbageHeader);
        }
        EXPECT_NO_THROW(OfferDemoDatabase(open.module));
        EXPECT_TRUE(open.practice.screen.MessageBoxes().empty());
        EXPECT_TRUE(open.module.VRL.Connected());
    }
}

TEST(DemoDatabase, InstallerThatCannotStartIsIgnored) {
    OpenPractice open("VRL_DPD134.EXE");
    open.practice.machine.writeFile(kDemo, "MZ installer");
    open.practice.machine.shell().setStartFailure(platform::error::kBadExeFormat);
    open.practice.screen.AnswerMessageBox(toolkit::id::kYes);
    EXPECT_NO_THROW(OfferDemoDatabase(open.module));
    EXPECT_EQ(open.practice.screen.MessageBoxes().size(), 1u) << "only the question";
}

}  // namespace

namespace {

TEST(PackingProgram, CopiesTheFeeTableButNeverProbesOrOffers) {
    PracticeMachine practice("VRL_PACK.EXE");
    practice.machine.makeFolder("C:\\Virelle\\Bin");
    practice.machine.writeFile(kDemo, "MZ installer");
    practice.machine.writeFile("C:\\Virelle\\Data\\PRV_FEE.DB", "fees");
    ASSERT_TRUE(OpenDataLock());
    std::vector<StartupPhase> phases;
    for (const StartupPhase& phase : StartupPhases()) {
        if (phase.number >= 17 && phase.number <= 22) phases.push_back(phase);
    }
    TFRM_Main_DataModules module;
    EXPECT_NO_THROW(RunStartupPhases(phases, module));
    EXPECT_TRUE(practice.screen.MessageBoxes().empty());
    EXPECT_EQ(module.Check_Table.TableName(), "") << "no table was probed";
    EXPECT_EQ(practice.machine.readFile("C:\\Virelle\\Bin\\PRV_FEE.DB"), "fees");
}

}  // namespace
