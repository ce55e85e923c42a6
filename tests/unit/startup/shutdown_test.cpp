// The data module's shut-down and its posting handlers.
#include <gtest/gtest.h>

#include "common/Variant.h"
#include "engine/Session.h"
#include "platform/FaultInjection.h"
#include "startup/Main_DataModules.h"
#include "startup/Phases.h"
#include "practice_machine.h"
#include "practice_tables.h"

namespace {

const char kOwnFolder[] = "C:\\Virelle\\Private\\RECEPT~1\\VRL_DP~1\\";

// Other users' and programs' private folders, with a file each.
void OthersPrivateFolders(sim::Machine& machine) {
    machine.writeFile("C:\\Virelle\\Private\\Reception\\VRL\\PARADOX.NET", "other program");
    machine.writeFile("C:\\Virelle\\Private\\jsmith\\VRL_DPD134\\PDOXUSRS.LCK", "other user");
}

void ExpectOthersKept(sim::Machine& machine) {
    EXPECT_EQ(machine.readFile("C:\\Virelle\\Private\\Reception\\VRL\\PARADOX.NET"), "other program");
    EXPECT_EQ(machine.readFile("C:\\Virelle\\Private\\jsmith\\VRL_DPD134\\PDOXUSRS.LCK"), "other user");
}

TEST(Shutdown, EndOfRunClosesEverythingAndDeletesOnlyTheOwnPrivateFolder) {
    PracticeMachine practice;
    OthersPrivateFolders(practice.machine);
    practice.machine.makeFolder("C:\\Virelle\\Data");
    ASSERT_TRUE(OpenDataLock());
    {
        TFRM_Main_DataModules module;
        OpenPracticeDatabase(module);
        ASSERT_EQ(PrivateDir, kOwnFolder);
        practice.machine.writeFile(std::string(kOwnFolder) + "work.tmp", "scratch");
        ASSERT_TRUE(practice.machine.isFolder(kOwnFolder));
    }
    EXPECT_FALSE(practice.machine.exists(kOwnFolder));
    EXPECT_EQ(platform::files().currentFolder(), "C:\\Virelle\\Private\\RECEPT~1")
        << "Windows removes no folder that is a process's current folder";
    ExpectOthersKept(practice.machine);
    EXPECT_FALSE(engine::DefaultSession().Active());
    EXPECT_TRUE(engine::DefaultSession().Passwords().empty());
    EXPECT_FALSE(DataLockHeld());
    EXPECT_FALSE(practice.machine.exists("C:\\Virelle\\VRL.LCK")) << "the next program can take it";
}

TEST(Shutdown, DeveloperMachineKeepsItsPrivateFolder) {
    PracticeMachine practice;
    practice.machine.makeFolder("C:\\Virelle\\Data");
    {
        TFRM_Main_DataModules module;
        OpenPracticeDatabase(module);
        DeveloperMachine = true;
    }
    EXPECT_TRUE(practice.machine.isFolder(kOwnFolder));
}

TEST(Shutdown, StopBeforeTheDatabaseDeletesNothingUnderThePrivateRoot) {
    PracticeMachine practice;
    OthersPrivateFolders(practice.machine);
    practice.machine.makeFolder("C:\\Virelle");
    ASSERT_TRUE(OpenDataLock());
    { TFRM_Main_DataModules module; }
    EXPECT_EQ(PrivateDir, "C:\\Virelle\\Private\\");
    ExpectOthersKept(practice.machine);
    EXPECT_TRUE(practice.machine.shell().deleteTreeCalls().empty());
    EXPECT_FALSE(DataLockHeld());
}

TEST(Shutdown, NoShortFormDeletesNothing) {
    PracticeMachine practice;
    OthersPrivateFolders(practice.machine);
    practice.machine.makeFolder("C:\\Virelle\\Data");
    platform::FaultInjectingPlatform faulty(practice.machine.platform());
    faulty.faults().add({"Files.shortPath", 1});
    sim::ScopedPlatform installed(faulty.platform());
    { TFRM_Main_DataModules module; OpenPracticeDatabase(module); }
    EXPECT_TRUE(practice.machine.shell().deleteTreeCalls().empty());
    ExpectOthersKept(practice.machine);
}

TEST(PostingHooks, PostRunsBothHandlersAndAFailingSaveIsDropped) {
    PracticeMachine practice;
    practice.machine.makeFolder("C:\\Virelle\\Data");
    practice_tables::MakeControlTable("C:\\Virelle\\Data\\CONTROL.DB", {});
    platform::FaultInjectingPlatform faulty(practice.machine.platform());
    faulty.faults().add({"OpenFile.flush", 1, 0, true});
    sim::ScopedPlatform installed(faulty.platform());

    TFRM_Main_DataModules module;
    OpenPracticeDatabase(module);
    engine::Table& control = module.Control_Table;
    engine::Table* postingDuringAfterPost = nullptr;
    const auto moduleAfterPost = control.AfterPost;
    control.AfterPost = [&](engine::Table& dataSet) {
        postingDuringAfterPost = PostingDataSet;
        moduleAfterPost(dataSet);
    };
    control.Open();
    control.Append();
    control.FieldByName("Name").SetAsString("Claim");
    EXPECT_NO_THROW(control.Post());
    control.Close();

    EXPECT_EQ(postingDuringAfterPost, &control);
    EXPECT_EQ(PostingDataSet, nullptr);
    EXPECT_GE(faulty.faults().faultsInjected(), 1u) << "the save-changes call met the failing disk";
    EXPECT_EQ(practice_tables::ReadRows("C:\\Virelle\\Data\\CONTROL.DB").size(), 1u);
}

}  // namespace
