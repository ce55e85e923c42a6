// Phase 8: the site list on C:, the "Select Site" dialog and S: substituted
// for the chosen site's folder, on both platform families.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "startup/SiteDrive.h"
#include "starting_machine.h"

namespace {

using startup_test::FamilyName;
using startup_test::kNt;
using startup_test::kWin9x;
using startup_test::StartingMachine;
using toolkit::sim::Driver;

const std::uint32_t kFamilies[] = {kNt, kWin9x};

struct SiteCase {
    const char* name;
    const char* program;
    const char* driveSetting;
    const char* siteListPath;  // where the site list is written
    const char* siteList;
    std::vector<std::string> offered;  // empty: no dialog
    std::function<void(Driver&)> choose;
    const char* dataRootAfter;
    const char* substitutedFor;  // S: afterwards; "" when none
    const char* createdFolder;   // nullptr: none expected
};

TEST(SiteDrive, SiteListOffersTheSitesAndMapsS) {
    const SiteCase cases[] = {
        {"second of two sites", "VRL_DPD134.EXE", "C:", "C:\\Virelle\\VRLPRC.INI",
         "[MultiSite]\r\nCount=2\r\nName1=Surgery\r\nName2=Branch\r\n", {"Surgery", "Branch"},
         [](Driver& d) { d.Pick(1); d.Press("OK"); }, "S:", "C:\\Virelle\\MultiSite\\2",
         "C:\\Virelle\\MultiSite\\2\\Virelle"},
        {"Count 3 with only the second name", "VRL_DPD134.EXE", "C:", "C:\\Virelle\\VRLPRC.INI",
         "[MultiSite]\r\nCount=3\r\nName2=Harbour Road\r\n", {"Site1", "Harbour Road", "Site3"},
         [](Driver& d) { d.Pick(2); d.Enter(); }, "S:", "C:\\Virelle\\MultiSite\\3",
         "C:\\Virelle\\MultiSite\\3\\Virelle"},
        {"first site by Enter", "VRL_DPD134.EXE", "C:", "C:\\Virelle\\VRLPRC.INI",
         "[MultiSite]\r\nCount=2\r\n", {"Site1", "Site2"}, [](Driver& d) { d.Enter(); }, "S:",
         "C:\\Virelle\\MultiSite\\1", "C:\\Virelle\\MultiSite\\1\\Virelle"},
        {"dialog closed without OK", "VRL_DPD134.EXE", "C:", "C:\\Virelle\\VRLPRC.INI",
         "[MultiSite]\r\nCount=2\r\n", {"Site1", "Site2"}, [](Driver& d) { d.form().Close(); },
         "S:", "C:\\Virelle\\MultiSite\\0", "C:\\Virelle\\MultiSite\\0\\Virelle"},
        {"lower-case c: still offers them", "VRL_DPD134.EXE", "c:\\", "C:\\Virelle\\VRLPRC.INI",
         "[MultiSite]\r\nCount=1\r\n", {"Site1"}, [](Driver& d) { d.Enter(); }, "S:",
         "C:\\Virelle\\MultiSite\\1", "C:\\Virelle\\MultiSite\\1\\Virelle"},
        {"CRV family", "CRV_DPD134.EXE", "C:", "C:\\Corvane\\CRVCLINIC.INI",
         "[MultiSite]\r\nCount=2\r\n", {"Site1", "Site2"}, [](Driver& d) { d.Pick(1); d.Enter(); },
         "S:", "C:\\Corvane\\MultiSite\\2", "C:\\Corvane\\MultiSite\\2\\Corvane"},
        {"site list on D: is not offered", "VRL_DPD134.EXE", "D:", "D:\\Virelle\\VRLPRC.INI",
         "[MultiSite]\r\nCount=2\r\n", {}, nullptr, "D:", "", nullptr},
        {"Count 0", "VRL_DPD134.EXE", "C:", "C:\\Virelle\\VRLPRC.INI", "[MultiSite]\r\nCount=0\r\n",
         {}, nullptr, "C:", "", nullptr},
        {"Count not a number", "VRL_DPD134.EXE", "C:", "C:\\Virelle\\VRLPRC.INI",
         "[MultiSite]\r\nCount=two\r\n", {}, nullptr, "C:", "", nullptr},
        {"negative Count", "VRL_DPD134.EXE", "C:", "C:\\Virelle\\VRLPRC.INI",
         "[MultiSite]\r\nCount=-2\r\n", {}, nullptr, "C:", "", nullptr},
        {"no practice settings file on C:", "VRL_DPD134.EXE", "C:", "C:\\Virelle\\OTHER.INI",
         "[MultiSite]\r\nCount=2\r\n", {}, nullptr, "C:", "", nullptr},
    };
    for (const std::uint32_t family : kFamilies) {
        for (const SiteCase& c : cases) {
            SCOPED_TRACE(std::string(FamilyName(family)) + ": " + c.name);
            StartingMachine m(c.program, family);
            m.machine.addDrive('D');
            m.machine.writeFile(c.siteListPath, c.siteList);
            std::vector<std::string> offered;
            if (!c.offered.empty()) {
                m.screen.ExpectModal("Select Site", [&](Driver& d) {
                    offered = d.View().Find("SiteList")->items;
                    EXPECT_EQ(d.View().Find("SiteList")->itemIndex, 0);
                    c.choose(d);
                });
            }
            m.SetDataDrive(c.driveSetting);
            m.RunPhases({8});

            EXPECT_EQ(offered, c.offered);
            EXPECT_EQ(DataRoot, c.dataRootAfter);
            EXPECT_EQ(SubstitutedFolder('S'), c.substitutedFor);
            if (c.createdFolder != nullptr) {
                EXPECT_TRUE(m.machine.isFolder(c.createdFolder));
            } else {
                EXPECT_FALSE(m.machine.exists("C:\\Virelle\\MultiSite"));
            }
        }
    }
}

TEST(SiteDrive, DialogShape) {
    StartingMachine m;
    m.machine.writeFile("C:\\Virelle\\VRLPRC.INI", "[MultiSite]\r\nCount=2\r\n");
    toolkit::sim::FormView shown;
    m.screen.ExpectModal("Select Site", [&](Driver& d) {
        shown = d.View();
        d.Enter();
    });
    m.SetDataDrive("C:");
    m.RunPhases({8});
    EXPECT_EQ(shown.borderStyle, toolkit::BorderStyle::Dialog);
    EXPECT_FALSE(shown.borderIcons.systemMenu);
    EXPECT_EQ(shown.position, toolkit::Position::ScreenCenter);
    EXPECT_EQ(shown.clientWidth, 300);
    EXPECT_EQ(shown.clientHeight, 120);
    const auto* list = shown.Find("SiteList");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(std::vector<int>({list->left, list->top, list->width, list->height}),
              std::vector<int>({8, 8, 201, 104}));
    const auto* ok = shown.Find("OK");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->caption, "OK");
    EXPECT_EQ(std::vector<int>({ok->left, ok->top, ok->width, ok->height}),
              std::vector<int>({217, 8, 75, 25}));
    EXPECT_TRUE(ok->isDefault);
    EXPECT_EQ(ok->modalResult, toolkit::modal::kOk);
    EXPECT_TRUE(m.screen.Screen().empty()) << "the dialog is gone afterwards";
}

// After the substitution every path below S:\ reaches the site's folder,
// for this program and for any other program of the machine.
TEST(SiteDrive, SubstitutedDriveReachesTheSiteFolder) {
    for (const std::uint32_t family : kFamilies) {
        SCOPED_TRACE(FamilyName(family));
        StartingMachine m("VRL_DPD134.EXE", family);
        m.machine.writeFile("C:\\Virelle\\VRLPRC.INI", "[MultiSite]\r\nCount=2\r\n");
        m.screen.ExpectModal("Select Site", [](Driver& d) { d.Pick(1); d.Enter(); });
        m.SetDataDrive("C:");
        m.RunPhases({8});
        m.machine.writeFile("S:\\Virelle\\Data\\Dpd_c_34.DB", "table");
        EXPECT_EQ(m.machine.readFile("C:\\Virelle\\MultiSite\\2\\Virelle\\Data\\Dpd_c_34.DB"),
                  std::string("table"));
        // Phase 9 still sees the type of C:.
        EXPECT_EQ(DataDriveType, platform::drive::kFixed);
    }
}

TEST(SiteDrive, OldSubstitutionIsRemovedBeforeTheNewOne) {
    for (const std::uint32_t family : kFamilies) {
        SCOPED_TRACE(FamilyName(family));
        StartingMachine m("VRL_DPD134.EXE", family);
        m.machine.writeFile("C:\\Virelle\\VRLPRC.INI", "[MultiSite]\r\nCount=2\r\n");
        m.machine.makeFolder("C:\\Virelle\\MultiSite\\1\\Virelle");
        SubstituteDrive('S', "C:\\Virelle\\MultiSite\\1");
        ASSERT_EQ(SubstitutedFolder('S'), "C:\\Virelle\\MultiSite\\1");
        m.screen.ExpectModal("Select Site", [](Driver& d) { d.Pick(1); d.Enter(); });
        m.SetDataDrive("C:");
        m.RunPhases({8});
        EXPECT_EQ(SubstitutedFolder('S'), "C:\\Virelle\\MultiSite\\2");
        // Nothing of the old one is left underneath (NT would stack it).
        RemoveDriveSubstitution('S');
        EXPECT_EQ(SubstitutedFolder('S'), "");
        EXPECT_EQ(m.machine.volumes().driveType("S:\\"), platform::drive::kNoRootDir);
    }
}

TEST(SiteDrive, RealDiskOnSIsNotRemoved) {
    StartingMachine m;
    m.machine.addDrive('S', platform::drive::kFixed, "SPARE");
    EXPECT_EQ(SubstitutedFolder('S'), "");
    m.machine.writeFile("C:\\Virelle\\VRLPRC.INI", "[MultiSite]\r\nCount=1\r\n");
    m.screen.ExpectModal("Select Site", [](Driver& d) { d.Enter(); });
    m.SetDataDrive("C:");
    m.RunPhases({8});
    // The definition goes over the disk, which stays underneath.
    EXPECT_EQ(SubstitutedFolder('S'), "C:\\Virelle\\MultiSite\\1");
    RemoveDriveSubstitution('S');
    EXPECT_EQ(m.machine.volumes().driveType("S:\\"), platform::drive::kFixed);
}

TEST(SiteDrive, Windows9xServiceGetsDriveNumbersAndShortFolders) {
    StartingMachine m("VRL_DPD134.EXE", kWin9x);
    m.machine.writeFile("C:\\Virelle\\VRLPRC.INI", "[MultiSite]\r\nCount=2\r\n");
    m.machine.makeFolder("C:\\Virelle\\MultiSite\\1");
    m.machine.volumes().createSubstitution9x(19, "C:\\Virelle\\MultiSite\\1");
    m.screen.ExpectModal("Select Site", [](Driver& d) { d.Pick(1); d.Enter(); });
    m.SetDataDrive("C:");
    const std::size_t before = m.machine.volumes().substitutionCalls9x().size();
    m.RunPhases({8});

    const auto& calls = m.machine.volumes().substitutionCalls9x();
    std::string actions;
    for (std::size_t i = before; i < calls.size(); ++i) {
        actions += calls[i].action;
        EXPECT_EQ(calls[i].drive, 19) << "S is drive 19";
    }
    EXPECT_EQ(actions, "qtc");
    const std::string shortForm = m.machine.files().shortPath("C:\\Virelle\\MultiSite\\2", 260).text;
    EXPECT_NE(shortForm, "C:\\Virelle\\MultiSite\\2") << "MultiSite is no 8.3 name";
    EXPECT_EQ(calls.back().folder, shortForm);
    EXPECT_EQ(SubstitutedFolder('S'), "C:\\Virelle\\MultiSite\\2") << "answered in long form";
}

TEST(SiteDrive, Windows9xFolderWithoutShortFormIsNotSubstituted) {
    StartingMachine m("VRL_DPD134.EXE", kWin9x);
    SubstituteDrive('S', "C:\\Virelle\\MultiSite\\7");
    for (const auto& call : m.machine.volumes().substitutionCalls9x()) {
        EXPECT_NE(call.action, 'c');
    }
    EXPECT_EQ(m.machine.volumes().driveType("S:\\"), platform::drive::kNoRootDir);
}

// Wine's VxD gate answers every call with success and does nothing: S: is
// not made, and the start-up carries on to the folder test of phase 11.
TEST(SiteDrive, Windows9xServiceThatDoesNothing) {
    StartingMachine m("VRL_DPD134.EXE", kWin9x);
    m.machine.volumes().setSubstitutionService9xWorks(false);
    m.machine.writeFile("C:\\Virelle\\VRLPRC.INI", "[MultiSite]\r\nCount=2\r\n");
    m.screen.ExpectModal("Select Site", [](Driver& d) { d.Enter(); });
    m.SetDataDrive("C:");
    EXPECT_NO_THROW(m.RunPhases({8}));
    EXPECT_EQ(DataRoot, "S:");
    EXPECT_EQ(SubstitutedFolder('S'), "");
    EXPECT_TRUE(m.machine.isFolder("C:\\Virelle\\MultiSite\\1\\Virelle"));
}

TEST(SiteDrive, NtQueryAnswersOnlySubstitutions) {
    StartingMachine m;
    m.machine.addDrive('D');
    m.machine.mapNetworkDrive('N', "\\\\SRV\\PRACTICE");
    EXPECT_EQ(SubstitutedFolder('C'), "");
    EXPECT_EQ(SubstitutedFolder('D'), "");
    EXPECT_EQ(SubstitutedFolder('N'), "");
    EXPECT_EQ(SubstitutedFolder('Q'), "") << "not defined";
    m.machine.makeFolder("C:\\Sites\\A");
    SubstituteDrive('s', "C:\\Sites\\A");
    EXPECT_EQ(SubstitutedFolder('S'), "C:\\Sites\\A") << "the letter in any case";
}

// A damaged Count must not keep the start reading names for hours.
TEST(SiteDrive, DamagedCountOffersAtMost999Sites) {
    StartingMachine m;
    m.machine.writeFile("C:\\Virelle\\VRLPRC.INI", "[MultiSite]\r\nCount=2147483647\r\n");
    std::vector<std::string> offered;
    m.screen.ExpectModal("Select Site", [&](Driver& d) {
        offered = d.View().Find("SiteList")->items;
        d.Enter();
    });
    m.SetDataDrive("C:");
    m.RunPhases({8});
    ASSERT_EQ(offered.size(), 999u);
    EXPECT_EQ(offered.back(), "Site999");
}

}  // namespace
