// The simulated machine's disks: letters, paths, case, short names,
// substitutions, and the faults a test can inject.
#include <gtest/gtest.h>

#include "platform/sim/SimMachine.h"

namespace {

using platform::access::kRead;
using platform::access::kWrite;
namespace share = platform::share;
namespace disposition = platform::disposition;
namespace error = platform::error;

TEST(SimDisks, NamesMatchWithoutCaseAndKeepTheCaseTheyWereCreatedWith) {
    sim::Machine m;
    m.writeFile("C:\\Virelle\\VRL.INI", "x");
    EXPECT_EQ(m.readFile("c:\\VIRELLE\\vrl.ini"), "x");
    const auto found = m.files().find("C:\\VIRELLE\\vrl.ini");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->name, "VRL.INI");
    const auto names = m.files().list("c:\\virelle");
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, std::vector<std::string>{"VRL.INI"});
}

TEST(SimDisks, FullPathsResolveAgainstTheCurrentFolder) {
    sim::Machine m;
    m.makeFolder("C:\\Virelle\\Data");
    ASSERT_TRUE(m.files().setCurrentFolder("c:\\virelle"));
    struct Case {
        const char* name;
        const char* path;
        const char* full;
    };
    const Case cases[] = {
        {"relative name", "Data\\x.db", "c:\\virelle\\Data\\x.db"},
        {"drive relative", "C:x", "C:\\virelle\\x"},
        {"other drive relative", "D:x", "D:\\x"},
        {"rooted", "\\Windows", "c:\\Windows"},
        {"dots", "C:\\a\\.\\b\\..\\c", "C:\\a\\c"},
        {"slashes", "C:/a/b/", "C:\\a\\b\\"},
        {"above the root", "C:\\..\\..\\a", "C:\\a"},
        {"share", "\\\\srv\\data\\x\\..\\y", "\\\\srv\\data\\y"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(m.files().fullPath(c.path), c.full);
    }
    EXPECT_EQ(m.files().currentFolder(), "c:\\virelle");
}

TEST(SimDisks, MissingPathsReportTheWindowsErrors) {
    sim::Machine m;
    m.writeFile("C:\\a\\file.txt", "x");
    struct Case {
        const char* name;
        const char* path;
        std::uint32_t error;
    };
    const Case cases[] = {
        {"missing file", "C:\\a\\none.txt", error::kFileNotFound},
        {"missing folder on the way", "C:\\none\\file.txt", error::kPathNotFound},
        {"through a file", "C:\\a\\file.txt\\x", error::kPathNotFound},
        {"letter without a drive", "Q:\\x", error::kPathNotFound},
        {"unknown share", "\\\\nosrv\\none\\x", error::kBadNetName},
        {"invalid name", "C:\\a\\b?c", error::kInvalidName},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(m.files().open(c.path, kRead, share::kRead, disposition::kOpenExisting));
        EXPECT_EQ(m.files().lastError(), c.error);
    }
}

TEST(SimDisks, ShortNamesAreDeterministicAndOpenTheirFiles) {
    sim::Machine m;
    m.writeFile("C:\\Program Files\\Long Name File.txt", "x");
    m.writeFile("C:\\Program Files\\Long Name Other.txt", "y");
    m.makeFolder("C:\\short");

    const auto a = m.files().shortPath("C:\\program files\\Long Name File.txt", 256);
    EXPECT_EQ(a.text, "C:\\PROGRA~1\\LONGNA~1.TXT");
    EXPECT_EQ(a.returned, a.text.size());
    EXPECT_EQ(m.files().shortPath("C:\\Program Files\\Long Name Other.txt", 256).text,
              "C:\\PROGRA~1\\LONGNA~2.TXT");
    EXPECT_EQ(m.files().shortPath("C:\\short", 256).text, "C:\\short");
    EXPECT_EQ(m.readFile("C:\\PROGRA~1\\LONGNA~2.TXT"), "y");

    const auto tooSmall = m.files().shortPath("C:\\Program Files", 5);
    EXPECT_EQ(tooSmall.returned, 12u);  // the size needed, NUL included
    EXPECT_EQ(tooSmall.text, "");

    const auto missing = m.files().shortPath("C:\\No Such Folder", 256);
    EXPECT_EQ(missing.returned, 0u);
    EXPECT_EQ(m.files().lastError(), error::kFileNotFound);
}

TEST(SimDisks, SharingModesDecideWhichOpensJoin) {
    struct Case {
        const char* name;
        std::uint32_t heldAccess, heldShare;
        std::uint32_t access, share;
        bool opens;
    };
    const Case cases[] = {
        {"two read-share readers", kRead, share::kRead, kRead, share::kRead, true},
        {"exclusive holder keeps readers out", kRead, share::kNone, kRead, share::kRead, false},
        {"writer keeps read-share readers out", kWrite, share::kRead, kRead, share::kRead, false},
        {"writer lets read-write sharers in", kWrite, share::kRead, kRead,
         share::kRead | share::kWrite, true},
        {"reader that shares no reading keeps out", kRead, share::kRead, kRead, share::kNone,
         false},
        {"an open without access must still share the reading", kRead, share::kNone, 0, share::kNone, false},
        {"writer joins a reader that shares writing", kRead, share::kRead | share::kWrite,
         kWrite, share::kRead, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Machine m;
        m.writeFile("C:\\Virelle\\VRL.LCK", "");
        auto held = m.holdOpen("C:\\Virelle\\VRL.LCK", c.heldAccess, c.heldShare);
        ASSERT_TRUE(held);
        auto second = m.files().open("c:\\virelle\\vrl.lck", c.access, c.share,
                                     disposition::kOpenExisting);
        EXPECT_EQ(second != nullptr, c.opens);
        if (!c.opens) {
            EXPECT_EQ(m.files().lastError(), error::kSharingViolation);
        }
    }
}

TEST(SimDisks, AHeldFileCannotBeDeletedUntilItsHolderCloses) {
    sim::Machine m;
    m.writeFile("C:\\Data\\VRL.LCK", "");
    auto held = m.holdOpen("C:\\Data\\VRL.LCK", kRead, share::kRead);
    EXPECT_FALSE(m.files().deleteFile("C:\\Data\\VRL.LCK"));
    EXPECT_EQ(m.files().lastError(), error::kSharingViolation);
    EXPECT_FALSE(m.files().moveFile("C:\\Data\\VRL.LCK", "C:\\Data\\OLD.LCK"));
    held.reset();
    EXPECT_TRUE(m.files().deleteFile("C:\\Data\\VRL.LCK"));
    EXPECT_FALSE(m.exists("C:\\Data\\VRL.LCK"));
}

TEST(SimDisks, DeletingAFileEveryHolderLetsGoWaitsForTheLastClose) {
    sim::Machine m;
    m.writeFile("C:\\t.tmp", "x");
    auto held = m.holdOpen("C:\\t.tmp", kRead, share::kRead | share::kDelete);
    EXPECT_TRUE(m.files().deleteFile("C:\\t.tmp"));
    EXPECT_TRUE(m.exists("C:\\t.tmp"));
    EXPECT_FALSE(m.files().open("C:\\t.tmp", kRead, share::kRead | share::kDelete,
                                disposition::kOpenExisting));
    EXPECT_EQ(m.files().lastError(), error::kAccessDenied);
    held.reset();
    EXPECT_FALSE(m.exists("C:\\t.tmp"));
}

TEST(SimDisks, ReadOnlyFilesRefuseWritesAndDeletes) {
    sim::Machine m;
    m.writeFile("C:\\ro.txt", "x");
    ASSERT_TRUE(m.files().setAttributes("C:\\ro.txt", platform::attr::kReadOnly));
    EXPECT_EQ(m.files().attributes("C:\\ro.txt"), platform::attr::kReadOnly);
    EXPECT_FALSE(m.files().open("C:\\ro.txt", kWrite, 0, disposition::kOpenExisting));
    EXPECT_EQ(m.files().lastError(), error::kAccessDenied);
    EXPECT_FALSE(m.files().deleteFile("C:\\ro.txt"));
    EXPECT_TRUE(m.files().open("C:\\ro.txt", kRead, share::kRead, disposition::kOpenExisting));
}

TEST(SimDisks, AttributesOfFoldersCarryTheDirectoryFlag) {
    sim::Machine m;
    m.makeFolder("C:\\Virelle\\Lock");
    ASSERT_TRUE(m.files().setAttributes("C:\\Virelle\\Lock",
                                        platform::attr::kHidden | platform::attr::kSystem));
    EXPECT_EQ(m.files().attributes("c:\\virelle\\lock"), 0x16u);
    m.writeFile("C:\\new.txt", "");
    EXPECT_EQ(m.files().attributes("C:\\new.txt"), platform::attr::kArchive);
}

TEST(SimDisks, RefusedWritesFailBelowThePath) {
    sim::Machine m;
    m.makeFolder("C:\\Locked");
    m.refuseWrites("C:\\Locked");
    EXPECT_FALSE(m.files().open("C:\\Locked\\new.txt", kWrite, 0, disposition::kCreateAlways));
    EXPECT_EQ(m.files().lastError(), error::kAccessDenied);
    EXPECT_FALSE(m.files().createFolder("C:\\Locked\\Sub"));
    EXPECT_TRUE(m.files().createFolder("C:\\Open"));
    m.allowWrites("C:\\Locked");
    EXPECT_TRUE(m.files().createFolder("C:\\Locked\\Sub"));
}

TEST(SimDisks, AFullDiskTakesNothingOfAWriteThatDoesNotFit) {
    sim::Machine m;
    m.addDrive('T');
    m.fillDiskAfter('T', 10);
    auto file = m.files().open("T:\\a.bin", kWrite, 0, disposition::kCreateAlways);
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->writeAt(0, "12345678", 8));
    EXPECT_FALSE(file->writeAt(8, "abcd", 4));
    EXPECT_EQ(m.files().lastError(), error::kDiskFull);
    EXPECT_EQ(file->size(), 8u);
    EXPECT_EQ(m.files().freeSpace("T:\\"), 2u);
    EXPECT_TRUE(file->writeAt(0, "ABCDEFGH", 8));  // overwriting takes no space
    file.reset();
    EXPECT_FALSE(m.files().copyFile("T:\\a.bin", "T:\\b.bin", true));
    EXPECT_EQ(m.files().lastError(), error::kDiskFull);
    EXPECT_FALSE(m.exists("T:\\b.bin"));  // Windows removes what it began
}

TEST(SimDisks, ByteRangeLocksKeepOtherHandlesOut) {
    sim::Machine m;
    m.writeFile("C:\\t.db", std::string(100, 'x'));
    const auto both = kRead | kWrite;
    auto a = m.files().open("C:\\t.db", both, share::kRead | share::kWrite,
                            disposition::kOpenExisting);
    auto b = m.files().open("C:\\t.db", both, share::kRead | share::kWrite,
                            disposition::kOpenExisting);
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(a->lockRange(10, 10, true));
    EXPECT_FALSE(b->lockRange(15, 1, false));
    EXPECT_EQ(m.files().lastError(), error::kLockViolation);
    char c = 0;
    std::size_t got = 0;
    EXPECT_FALSE(b->readAt(12, &c, 1, &got));
    EXPECT_TRUE(b->readAt(30, &c, 1, &got));
    EXPECT_TRUE(a->writeAt(12, "y", 1));
    EXPECT_FALSE(a->unlockRange(10, 5));
    EXPECT_EQ(m.files().lastError(), error::kNotLocked);
    a.reset();  // closing a handle drops its locks
    EXPECT_TRUE(b->lockRange(10, 10, true));
}

TEST(SimDisks, ASubstitutedLetterReachesItsFolder) {
    sim::Machine m;
    m.writeFile("C:\\Virelle\\MultiSite\\2\\Virelle\\VRLPRC.INI", "site 2");
    ASSERT_TRUE(m.volumes().defineDosDevice(0, "S:", "C:\\Virelle\\MultiSite\\2"));
    EXPECT_EQ(m.volumes().queryDosDevice("S:"), "\\??\\C:\\Virelle\\MultiSite\\2");
    EXPECT_EQ(m.readFile("s:\\virelle\\vrlprc.ini"), "site 2");
    EXPECT_EQ(m.volumes().driveType("S:\\"), platform::drive::kFixed);
    EXPECT_NE(m.volumes().logicalDrives() & (1u << ('S' - 'A')), 0u);

    // Removing by the folder (without "\??\") matches the stored target.
    ASSERT_TRUE(m.volumes().defineDosDevice(platform::dosdevice::kRemoveDefinition, "S:",
                                            "C:\\Virelle\\MultiSite\\2"));
    EXPECT_FALSE(m.volumes().queryDosDevice("S:"));
    EXPECT_FALSE(m.exists("S:\\Virelle"));
}

TEST(SimDisks, DosDeviceDefinitionsStackAndPopAsOnNt) {
    sim::Machine m;
    m.makeFolder("C:\\one");
    m.makeFolder("C:\\two");
    auto& v = m.volumes();
    ASSERT_TRUE(v.defineDosDevice(0, "S:", "C:\\one"));
    ASSERT_TRUE(v.defineDosDevice(0, "s:", "C:\\two"));
    EXPECT_EQ(v.queryDosDevice("S:"), "\\??\\C:\\two");
    EXPECT_FALSE(v.defineDosDevice(platform::dosdevice::kRemoveDefinition |
                                       platform::dosdevice::kExactMatchOnRemove,
                                   "S:", "C:\\tw"));
    ASSERT_TRUE(v.defineDosDevice(platform::dosdevice::kRemoveDefinition, "S:", ""));
    EXPECT_EQ(v.queryDosDevice("S:"), "\\??\\C:\\one");
    EXPECT_EQ(v.queryDosDevice("C:"), "\\Device\\HarddiskVolume1");
    EXPECT_FALSE(v.queryDosDevice("Q:"));
}

TEST(SimDisks, TheNineXSubstitutionServiceMapsShortFolders) {
    sim::Machine m;
    m.makeFolder("C:\\Virelle\\MultiSite\\12");
    auto& v = m.volumes();
    const int s = 'S' - 'A' + 1;
    v.createSubstitution9x(s, "C:\\VIRELLE\\MULTIS~1\\12");
    EXPECT_EQ(v.querySubstitution9x(s), "C:\\Virelle\\MultiSite\\12");
    EXPECT_TRUE(m.isFolder("S:\\"));
    v.terminateSubstitution9x(s);
    EXPECT_EQ(v.querySubstitution9x(s), "");
    v.createSubstitution9x(s, "C:\\NOSUCH");  // no folder: DOS refuses
    EXPECT_EQ(v.querySubstitution9x(s), "");
    v.createSubstitution9x(3, "C:\\VIRELLE");  // C: is a real disk
    EXPECT_EQ(v.querySubstitution9x(3), "");

    v.setSubstitutionService9xWorks(false);  // as under Wine
    v.createSubstitution9x(s, "C:\\VIRELLE");
    EXPECT_EQ(v.querySubstitution9x(s), "");
    EXPECT_EQ(v.substitutionCalls9x().size(), 10u);
}

TEST(SimDisks, DriveTypesAndLabelsFollowTheLetters) {
    sim::Machine m;
    m.addDrive('A', platform::drive::kRemovable);
    m.addEmptyDrive('D', platform::drive::kCdRom);
    m.mapNetworkDrive('F', "\\\\SERVER\\DATA", "NETF");
    m.addLetterWithoutRoot('G');
    m.disks().volumeOfLetter('C')->label = "SYSTEM";
    EXPECT_EQ(m.volumes().logicalDrives(), 0x6Du);  // A C D F G

    struct Case {
        const char* root;
        std::uint32_t type;
        std::optional<std::string> label;
    };
    const Case cases[] = {
        {"A:\\", platform::drive::kRemovable, ""},  {"c:\\", platform::drive::kFixed, "SYSTEM"},
        {"D:\\", platform::drive::kCdRom, std::nullopt}, {"F:\\", platform::drive::kRemote, "NETF"},
        {"G:\\", platform::drive::kNoRootDir, std::nullopt},
        {"Q:\\", platform::drive::kNoRootDir, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.root);
        EXPECT_EQ(m.volumes().driveType(c.root), c.type);
        EXPECT_EQ(m.volumes().volumeLabel(c.root), c.label);
    }
    // D: was read once without critical errors switched off.
    EXPECT_EQ(m.volumes().criticalErrorBoxes(), 1);
    m.system().setErrorMode(platform::errormode::kFailCriticalErrors);
    m.volumes().volumeLabel("D:\\");
    EXPECT_EQ(m.volumes().criticalErrorBoxes(), 1);
}

}  // namespace
