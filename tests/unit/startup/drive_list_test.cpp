// The drive list of the data drive dialog: which drives it lists and how
// their names read, its icons in both modes, the current drive's selection
// and the click handling.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Exception.h"
#include "platform/sim/SimMachine.h"
#include "startup/FlCtrlEx.h"
#include "started_machine.h"
#include "toolkit/sim/SimBackend.h"

namespace {

using toolkit::sim::CanvasCall;
using toolkit::sim::SimBackend;

const platform::OsVersion kWindows98{4, 10, 2222, platform::os::kWin9x, " A "};
const platform::OsVersion kWindowsMe{4, 90, 3000, platform::os::kWin9x, " "};
const platform::OsVersion kWindowsXp{5, 1, 2600, platform::os::kWinNT, "Service Pack 3"};

// A drive list on a form of its own, so that it has a parent as in the
// dialog; CreateWnd builds it as its window would.
struct DriveList {
    explicit DriveList(sim::Machine& machine) : installed(machine) {}
    TDriveComboBoxEx& Make() {
        form = std::make_unique<toolkit::Form>("Host");
        combo = form->Add<TDriveComboBoxEx>(form.get(), "WDrive");
        return *combo;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& item : combo->Items()) texts.push_back(item.text);
        return texts;
    }
    sim::ScopedPlatform installed;
    SimBackend screen;
    std::unique_ptr<toolkit::Form> form;
    TDriveComboBoxEx* combo = nullptr;
};

TEST(DriveList, ExampleMachineInBothTextCases) {
    struct Case {
        const char* name;
        TTextCase textCase;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {"lower case", TTextCase::tcLowerCase, {"a: ", "c: [system]", "d: []", "f: \\\\server\\data"}},
        {"upper case", TTextCase::tcUpperCase, {"A: ", "C: [SYSTEM]", "D: []", "F: \\\\SERVER\\DATA"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Machine machine;
        AddExampleDrives(machine);
        DriveList list(machine);
        TDriveComboBoxEx& combo = list.Make();
        combo.SetTextCase(c.textCase);
        combo.CreateWnd();
        EXPECT_EQ(list.Texts(), c.items);
        // The empty CD-ROM drive is read without a system error box, and
        // the error mode is put back.
        EXPECT_EQ(machine.volumes().criticalErrorBoxes(), 0);
        EXPECT_EQ(machine.system().errorMode(), 0u);
    }
}

TEST(DriveList, LeavesOutUnknownAndRootlessLettersAndFallsBackToTheLabel) {
    sim::Machine machine;
    machine.addDrive('E', platform::drive::kUnknown, "ODD");
    machine.addLetterWithoutRoot('G');
    machine.addDrive('R', platform::drive::kRamDisk, "Scratch");
    machine.mapNetworkDrive('N', "\\\\SERVER\\GONE", "Backup");
    machine.network().setGetConnectionResult("N:", platform::error::kNotConnected);
    DriveList list(machine);
    list.Make().CreateWnd();
    EXPECT_EQ(list.Texts(), (std::vector<std::string>{"c: []", "n: [backup]", "r: [scratch]"}));
}

TEST(DriveList, RebuildingStartsFromAnEmptyList) {
    sim::Machine machine;
    DriveList list(machine);
    TDriveComboBoxEx& combo = list.Make();
    combo.CreateWnd();
    machine.addDrive('D', platform::drive::kFixed, "DATA");
    combo.CreateWnd();
    EXPECT_EQ(list.Texts(), (std::vector<std::string>{"c: []", "d: [data]"}));
}

TEST(DriveList, SelectsTheCurrentDriveAsItsWindowIsMade) {
    struct Case {
        const char* currentFolder;
        char drive;  // 0: none
        int selected;
    };
    const Case cases[] = {
        {"C:\\Virelle", 'C', 1},
        {"f:\\", 'f', 3},
        {"\\\\SERVER\\DATA", 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.currentFolder);
        sim::Machine machine;
        AddExampleDrives(machine);
        machine.makeFolder("C:\\Virelle");
        DriveList list(machine);
        ASSERT_TRUE(machine.files().setCurrentFolder(c.currentFolder));
        TDriveComboBoxEx& combo = list.Make();
        EXPECT_EQ(combo.Drive(), c.drive);
        combo.SetItemIndex(-1);
        combo.CreateWnd();
        EXPECT_EQ(combo.ItemIndex(), c.selected);
    }
}

TEST(DriveList, ItemsAreSixteenPixelsHighAndVersionIsFixed) {
    sim::Machine machine;
    DriveList list(machine);
    TDriveComboBoxEx& combo = list.Make();
    combo.CreateWnd();
    EXPECT_EQ(combo.ItemHeight(-1), 16);
    EXPECT_EQ(combo.ItemHeight(0), 16);
    EXPECT_EQ(combo.GetVersionNumber(), 0x01020101u);
    EXPECT_EQ(combo.Version(), "1.2.1.1");
    combo.SetVersion("9.9.9.9");
    EXPECT_EQ(combo.Version(), "1.2.1.1");
}

TEST(DriveList, IconsLookedUpPerPaintOrKeptPerDrive) {
    struct Case {
        const char* name;
        platform::OsVersion version;
        bool live;
    };
    const Case cases[] = {
        {"Windows 98 keeps the icons", kWindows98, false},
        {"Windows Me looks them up", kWindowsMe, true},
        {"Windows XP looks them up", kWindowsXp, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Machine machine;
        machine.system().setVersion(c.version);
        machine.shell().setSmallIcon("C:\\", 41);
        machine.shell().setSmallIcon("c:\\", 42);
        DriveList list(machine);
        TDriveComboBoxEx& combo = list.Make();
        EXPECT_EQ(combo.LiveIcons(), c.live);
        ASSERT_EQ(combo.IconList() == nullptr, c.live);
        if (!c.live) {
            EXPECT_EQ(combo.IconList()->handle, SimBackend::kSmallImageList);
            EXPECT_EQ(combo.IconList()->width, 16);
            EXPECT_EQ(combo.IconList()->height, 16);
        }
        combo.SetBounds(10, 208, 280, 22);
        combo.CreateWnd();

        // The icon changes after the list was built (another disc, say):
        // only the live mode shows it.
        machine.shell().setSmallIcon("c:\\", 43);
        const auto painted = list.screen.DropDown(combo);
        ASSERT_EQ(painted.size(), 1u);
        const std::vector<CanvasCall>& calls = painted[0].calls;
        ASSERT_EQ(calls.size(), 3u);
        EXPECT_EQ(calls[0].kind, CanvasCall::Kind::Fill);
        EXPECT_EQ(calls[0].rect.right, 280);
        EXPECT_EQ(calls[1].kind, CanvasCall::Kind::Image);
        EXPECT_EQ(calls[1].list, SimBackend::kSmallImageList);
        EXPECT_EQ(calls[1].image, c.live ? 43 : 42);
        EXPECT_EQ(calls[1].x, 0);
        EXPECT_EQ(calls[1].y, 0);
        EXPECT_EQ(calls[2].kind, CanvasCall::Kind::Text);
        EXPECT_EQ(calls[2].text, "c: []");
        EXPECT_EQ(calls[2].rect.left, 22);
        EXPECT_EQ(calls[2].rect.bottom, 16);
        EXPECT_EQ(calls[2].flags, 0x824u);
    }
}

// A directory list whose drive change can fail, as for a drive not ready.
struct RecordingDirList : DirectoryListLink {
    std::vector<char> drives;
    int clears = 0;
    bool failing = false;
    void DriveChanged(char drive) override {
        drives.push_back(drive);
        if (failing) throw Exception("Drive not ready");
    }
    void Clear() override { ++clears; }
};

TEST(DriveList, PickingMovesTheCurrentDriveAndAFailingDirectoryListIsCleared) {
    sim::Machine machine;
    AddExampleDrives(machine);
    DriveList list(machine);
    TDriveComboBoxEx& combo = list.Make();
    RecordingDirList dirList;
    combo.SetDirList(&dirList);
    combo.CreateWnd();

    combo.PickItem(3);
    EXPECT_EQ(combo.Drive(), 'f');
    EXPECT_EQ(dirList.drives, std::vector<char>{'f'});
    EXPECT_EQ(dirList.clears, 0);

    dirList.failing = true;
    combo.PickItem(2);
    EXPECT_EQ(combo.Drive(), 'd');
    EXPECT_EQ(dirList.clears, 1);
    // Dropped, not reported.
    EXPECT_TRUE(list.screen.MessageBoxes().empty());
}

}  // namespace
