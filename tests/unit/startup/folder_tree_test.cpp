// The practice folder tree: made complete on every start, Lock hidden and
// system only, the obsolete Bin\Report removed.
#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "startup/Main_DataModules.h"
#include "startup/Phases.h"
#include "practice_machine.h"

namespace {

constexpr std::uint32_t kHiddenSystem = platform::attr::kHidden | platform::attr::kSystem;

const char* const kExpectedFolders[] = {
    "Bin", "Bin\\Update", "Data", "Archive", "Letters", "Letters\\General",
    "Letters\\Appointment", "Letters\\Estimate", "Letters\\Invoice", "Letters\\Prescription",
    "Letters\\Private", "Letters\\Recall", "Letters\\Receipt", "Letters\\Referral",
    "Letters\\Laboratory", "Letters\\Statement", "Schedule", "Cashbook", "Transmit",
    "Transmit\\SND", "Transmit\\RCV", "Reports", "Reports\\Bank", "Reports\\Bank\\Statement",
    "Reports\\Customer", "Reports\\Finance", "Reports\\Invoice", "Reports\\Invoice\\Product",
    "Reports\\Invoice\\Service", "Reports\\Nominal", "Reports\\Products", "Reports\\Statements",
    "Reports\\Supplier", "Reports\\Purchase Order", "Lock",
};

TEST(FolderTree, EmptyPracticeFolderGetsEveryFolderAndAHiddenSystemLock) {
    PracticeMachine practice;
    practice.machine.makeFolder("C:\\Virelle");
    TFRM_Main_DataModules module;
    ProvisionFolderTree(module);
    for (const char* folder : kExpectedFolders) {
        SCOPED_TRACE(folder);
        EXPECT_TRUE(practice.machine.isFolder(std::string("C:\\Virelle\\") + folder));
    }
    EXPECT_EQ(platform::files().attributes("C:\\Virelle\\Lock"),
              kHiddenSystem | platform::attr::kDirectory);
}

TEST(FolderTree, LaterStartKeepsContentsAndResetsOnlyTheLockAttributes) {
    PracticeMachine practice;
    practice.machine.writeFile("C:\\Virelle\\Letters\\General\\welcome.doc", "letter");
    practice.machine.makeFolder("C:\\Virelle\\Lock");
    practice.machine.makeFolder("C:\\Virelle\\Schedule");
    ASSERT_TRUE(platform::files().setAttributes(
        "C:\\Virelle\\Lock", platform::attr::kReadOnly | platform::attr::kArchive));
    ASSERT_TRUE(platform::files().setAttributes("C:\\Virelle\\Schedule", platform::attr::kReadOnly));
    TFRM_Main_DataModules module;
    ProvisionFolderTree(module);

    EXPECT_EQ(practice.machine.readFile("C:\\Virelle\\Letters\\General\\welcome.doc"), "letter");
    EXPECT_EQ(platform::files().attributes("C:\\Virelle\\Lock"),
              kHiddenSystem | platform::attr::kDirectory);
    EXPECT_EQ(platform::files().attributes("C:\\Virelle\\Schedule"),
              platform::attr::kReadOnly | platform::attr::kDirectory);
}

TEST(FolderTree, BinReportGoesWithItsFilesWhileReportsStays) {
    PracticeMachine practice;
    practice.machine.writeFile("C:\\Virelle\\Bin\\Report\\old.rpt", "old");
    practice.machine.writeFile("C:\\Virelle\\Bin\\Report\\Sub\\older.rpt", "older");
    practice.machine.writeFile("C:\\Virelle\\Reports\\Bank\\march.txt", "kept");
    TFRM_Main_DataModules module;
    ProvisionFolderTree(module);
    EXPECT_FALSE(practice.machine.exists("C:\\Virelle\\Bin\\Report"));
    EXPECT_TRUE(practice.machine.isFolder("C:\\Virelle\\Bin"));
    EXPECT_EQ(practice.machine.readFile("C:\\Virelle\\Reports\\Bank\\march.txt"), "kept");
}

TEST(FolderTree, FileInTheWayIsLeftAndTheRestIsMadeSilently) {
    PracticeMachine practice;
    practice.machine.writeFile("C:\\Virelle\\Archive", "a plain file");
    TFRM_Main_DataModules module;
    EXPECT_NO_THROW(ProvisionFolderTree(module));
    EXPECT_EQ(practice.machine.readFile("C:\\Virelle\\Archive"), "a plain file");
    EXPECT_TRUE(practice.machine.isFolder("C:\\Virelle\\Letters\\Statement"));
    EXPECT_TRUE(practice.machine.isFolder("C:\\Virelle\\Lock"));
    EXPECT_TRUE(practice.screen.MessageBoxes().empty());
}

TEST(FolderTree, ReadOnlyDriveShowsNothingAndStopsNothing) {
    PracticeMachine practice;
    practice.machine.makeFolder("C:\\Virelle");
    practice.machine.refuseWrites("C:\\Virelle");
    TFRM_Main_DataModules module;
    EXPECT_NO_THROW(ProvisionFolderTree(module));
    EXPECT_FALSE(practice.machine.exists("C:\\Virelle\\Bin"));
    EXPECT_TRUE(practice.screen.MessageBoxes().empty());
}

}  // namespace
