#include <gtest/gtest.h>

#include "common/SystemHelpers.h"
#include "unit/common/CommonTestSupport.h"

namespace {

using commontest::SimWorld;

TEST(WindowsFolder, EndsWithOneBackslash) {
    const char* const reported[] = {"C:\\WINDOWS", "C:\\WINDOWS\\"};
    for (const char* folder : reported) {
        SCOPED_TRACE(folder);
        SimWorld world;
        world.machine.system().setWindowsFolder(folder);
        EXPECT_EQ(WindowsFolder(), "C:\\WINDOWS\\");
    }
}

TEST(CurrentUserName, FallsBackToUser) {
    struct Case {
        const char* name;
        std::optional<std::string> reported;
        const char* result;
    };
    const Case cases[] = {
        {"a name", std::string("Reception"), "Reception"},
        {"call fails", std::nullopt, "User"},
        {"empty name", std::string(""), "User"},
        {"text after a NUL", std::string("Dr\0junk", 7), "Dr"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimWorld world;
        world.machine.system().setUserName(c.reported);
        EXPECT_EQ(CurrentUserName(), c.result);
    }
}

TEST(VolumeLabel, FoldsLikeTheLetterAndNeverAsksTheUser) {
    SimWorld world;
    world.machine.disks().volumeOfLetter('C')->label = "System";
    world.machine.addDrive('D', platform::drive::kFixed, "Daten\xC4");
    world.machine.addEmptyDrive('E', platform::drive::kRemovable);
    world.machine.system().setErrorMode(0x8000);  // the mode the program had before
    struct Case {
        char letter;
        const char* label;
    };
    const Case cases[] = {
        {'c', "system"}, {'C', "SYSTEM"}, {'d', "daten\xE4"}, {'D', "DATEN\xC4"},
        {'E', ""},       // empty card reader
        {'Q', ""},       // no such drive
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letter);
        EXPECT_EQ(VolumeLabel(c.letter), c.label);
        EXPECT_EQ(world.machine.system().errorMode(), 0x8000u);
    }
    EXPECT_EQ(world.machine.volumes().criticalErrorBoxes(), 0);
}

TEST(DriveConnectionName, GivesTheRemoteNameOfAMappedDriveElseTheLabel) {
    SimWorld world;
    world.machine.disks().volumeOfLetter('C')->label = "SYSTEM";
    world.machine.mapNetworkDrive('F', "\\\\SERVER\\DATA", "SHARED");
    struct Case {
        char letter;
        const char* name;
    };
    const Case cases[] = {
        {'f', "\\\\server\\data"},
        {'F', "\\\\SERVER\\DATA"},
        {'c', "system"},
        {'G', ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letter);
        EXPECT_EQ(DriveConnectionName(c.letter), c.name);
    }
}

TEST(SpecialFolderPath, EndsWithABackslashOrIsEmpty) {
    SimWorld world;
    EXPECT_EQ(SpecialFolderPath(38, false), "C:\\Program Files\\");
    world.machine.shell().setSpecialFolder(38, std::string("D:\\Apps\\"));
    EXPECT_EQ(SpecialFolderPath(38, false), "D:\\Apps\\");
    world.machine.shell().setSpecialFolder(38, std::nullopt);
    EXPECT_EQ(SpecialFolderPath(38, false), "");
}

TEST(DeleteFolder, DeletesTheTreeSilentlyAndSaysWhetherItWorked) {
    SimWorld world;
    std::string deep = "C:\\Virelle\\Private\\Deep";
    while (deep.size() < 300) deep += "\\" + std::string(60, 'L');
    world.machine.writeFile("C:\\Virelle\\Private\\Reception\\VRL\\PDOXUSRS.NET", "x");
    world.machine.writeFile(deep + "\\F.TXT", "x");
    world.machine.writeFile("C:\\Held\\F.TXT", "x");
    auto holder = world.machine.holdOpen("C:\\Held\\F.TXT", platform::access::kRead,
                                         platform::share::kRead);
    struct Case {
        std::string path;
        bool deleted;
        std::string passed;  // what the shell is given; empty: not called
    };
    const Case cases[] = {
        {"C:\\Virelle\\Private\\Reception\\", true, "C:\\Virelle\\Private\\Reception"},
        {deep, true, deep},  // longer than the 254 characters of a fixed buffer
        {"C:\\Missing\\", false, "C:\\Missing"},
        {"C:\\Held", false, "C:\\Held"},
        {"\\", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.substr(0, 40));
        const std::size_t callsBefore = world.machine.shell().deleteTreeCalls().size();
        EXPECT_EQ(DeleteFolder(c.path), c.deleted);
        const auto& calls = world.machine.shell().deleteTreeCalls();
        if (c.passed.empty()) {
            EXPECT_EQ(calls.size(), callsBefore);
            continue;
        }
        ASSERT_EQ(calls.size(), callsBefore + 1);
        EXPECT_EQ(calls.back().path, c.passed);
        EXPECT_EQ(calls.back().flags, 0x14);  // no confirmation, silent, no recycle bin
        if (c.deleted) {
            EXPECT_FALSE(world.machine.exists(c.passed));
        }
    }
    EXPECT_TRUE(world.machine.exists("C:\\Virelle\\Private"));
}

TEST(FileSizeOf, GivesTheSizeOrMinusOne) {
    SimWorld world;
    world.machine.writeFile("C:\\Virelle\\EMPTY.TXT", "");
    world.machine.writeFile("C:\\Virelle\\FIVE.TXT", "12345");
    struct Case {
        const char* path;
        std::int32_t size;
    };
    const Case cases[] = {
        {"C:\\Virelle\\missing.txt", -1},
        {"C:\\Virelle\\EMPTY.TXT", 0},
        {"c:\\virelle\\five.txt", 5},
        {"Virelle\\FIVE.TXT", 5},  // against the current folder C:\ .
        {"Q:\\FIVE.TXT", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FileSizeOf(c.path), c.size);
    }
}

TEST(ForceDirectories, CreatesEveryMissingParent) {
    SimWorld world;
    EXPECT_TRUE(ForceDirectories("C:\\Virelle\\Startup\\Deep\\"));
    EXPECT_TRUE(world.machine.isFolder("C:\\Virelle\\Startup\\Deep"));
    EXPECT_TRUE(ForceDirectories("C:\\Virelle\\Startup"));  // already there
    EXPECT_TRUE(ForceDirectories("C:\\"));
}

TEST(ForceDirectories, ReportsNothingWhenItCannotCreate) {
    SimWorld world;
    world.machine.addLetterWithoutRoot('M');
    world.machine.refuseWrites("C:\\Locked");
    world.machine.makeFolder("C:\\Locked");
    world.machine.writeFile("C:\\AFILE", "x");
    const char* const paths[] = {"M:\\Virelle\\", "C:\\Locked\\Sub\\", "C:\\AFILE\\Sub", "Q:\\X", ""};
    for (const char* path : paths) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(ForceDirectories(path));
    }
    EXPECT_FALSE(world.machine.exists("C:\\Locked\\Sub"));
}

TEST(PauseWithMessages, ServesMessagesForTheTimeOnTheTickCounter) {
    struct Case {
        const char* name;
        std::uint32_t startTick;
        std::uint32_t milliseconds;
    };
    const Case cases[] = {
        {"one second", 1000, 1000},
        {"zero still serves once", 1000, 0},
        // The end lies exactly on the counter's last value; waiting for the
        // counter to pass it would never end.
        {"end at the wrap", 0xFFFFFF00u, 0xFF},
        {"across the wrap", 0xFFFFFFF0u, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimWorld world;
        world.machine.clock().setTicks(c.startTick);
        const std::uint64_t before = world.machine.clock().elapsed();
        PauseWithMessages(c.milliseconds);
        const std::uint64_t paused = world.machine.clock().elapsed() - before;
        EXPECT_GT(paused, c.milliseconds);
        EXPECT_LE(paused, c.milliseconds + 2u);
    }
}

TEST(PauseWithMessages, EndsAtOnceWhenTheApplicationIsTerminating) {
    SimWorld world;
    toolkit::app().Terminate();
    const std::uint64_t before = world.machine.clock().elapsed();
    PauseWithMessages(1000);
    EXPECT_LE(world.machine.clock().elapsed() - before, 1u);
}

}  // namespace
