// The data drive dialog: its layout, confirming a drive, the ways of
// leaving it without one, and the refused settings write.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "startup/SelectWD.h"
#include "started_machine.h"

namespace {

using toolkit::sim::ControlView;
using toolkit::sim::Driver;
using toolkit::sim::FormView;

const char kCaption[] = "Virelle - Select Data Drive";

// The dialog's example machine, the program started from C:\Virelle.
struct DialogMachine : StartedMachine {
    explicit DialogMachine(const std::string& program = "C:\\Virelle\\VRL_DPD134.EXE")
        : StartedMachine(program) {
        AddExampleDrives(machine);
        machine.files().setCurrentFolder("C:\\Virelle");
    }
};

void ExpectBounds(const ControlView* control, int left, int top, int width, int height) {
    ASSERT_NE(control, nullptr);
    SCOPED_TRACE(control->name);
    EXPECT_EQ(control->left, left);
    EXPECT_EQ(control->top, top);
    EXPECT_EQ(control->width, width);
    EXPECT_EQ(control->height, height);
}

TEST(DataDriveDialog, IsLaidOutAsDesignedWithTheCurrentDriveSelected) {
    DialogMachine m;
    FormView seen;
    m.screen.ExpectModal(kCaption, [&](Driver& d) {
        seen = d.View();
        d.Escape();
    });
    EXPECT_FALSE(SelectDataDrive());

    EXPECT_EQ(seen.borderStyle, toolkit::BorderStyle::Dialog);
    EXPECT_TRUE(seen.borderIcons.systemMenu) << "the close box is there";
    EXPECT_FALSE(seen.borderIcons.minimize);
    EXPECT_FALSE(seen.borderIcons.maximize);
    EXPECT_EQ(seen.position, toolkit::Position::ScreenCenter);
    EXPECT_EQ(seen.clientWidth, 316);
    EXPECT_EQ(seen.clientHeight, 289);

    const ControlView* box = seen.Find("ServerBox");
    ExpectBounds(box, 8, 8, 300, 240);
    EXPECT_EQ(box->caption, "Data Drive");
    EXPECT_EQ(box->tabOrder, 0);

    const ControlView* ok = seen.Find("btnOK");
    ExpectBounds(ok, 79, 256, 75, 25);
    EXPECT_EQ(ok->caption, "OK");
    EXPECT_TRUE(ok->isDefault);
    EXPECT_EQ(ok->tabOrder, 1);

    const ControlView* cancel = seen.Find("btnCancel");
    ExpectBounds(cancel, 162, 256, 75, 25);
    EXPECT_EQ(cancel->caption, "Cancel");
    EXPECT_TRUE(cancel->isCancel);
    EXPECT_EQ(cancel->modalResult, toolkit::modal::kCancel);
    EXPECT_EQ(cancel->tabOrder, 2);

    const ControlView* list = seen.Find("WDrive");
    ExpectBounds(list, 10, 208, 280, 22);
    EXPECT_EQ(list->parent, "ServerBox");
    EXPECT_EQ(list->items,
              (std::vector<std::string>{"a: ", "c: [system]", "d: []", "f: \\\\server\\data"}));
    EXPECT_EQ(list->itemIndex, 1);

    const ControlView* text = nullptr;
    for (const ControlView& control : seen.controls)
        if (control.kind == toolkit::ControlKind::Label) text = &control;
    ExpectBounds(text, 10, 24, 280, 200);
    EXPECT_EQ(text->parent, "ServerBox");
    EXPECT_TRUE(text->wordWrap);
    EXPECT_EQ(text->caption,
              "In order for the program to run you must select which hard drive will store your "
              "information.\r\rIf you are running locally / not running a network, please select "
              "your local C: drive, otherwise select your network storage drive.\r\rIf you are "
              "running a network, but the drive you require does not appear in the list, please "
              "exit the program and map a drive to the appropriate machine");
}

TEST(DataDriveDialog, ConfirmedDriveGoesToDataRootAndTheDriveKey) {
    struct Case {
        const char* name;
        const char* program;
        const char* key;
        std::function<void(Driver&)> answer;
        const char* drive;
    };
    const Case cases[] = {
        {"Enter on the current drive", "C:\\Virelle\\VRL_DPD134.EXE", "WD",
         [](Driver& d) { d.Enter(); }, "c:"},
        {"network drive and OK", "C:\\Virelle\\VRL_DPD134.EXE", "WD",
         [](Driver& d) { d.Pick(3); d.Press("OK"); }, "f:"},
        {"removable drive, CRV family", "C:\\Corvane\\CRV_DPD134.EXE", "WB",
         [](Driver& d) { d.Pick(0); d.Press("OK"); }, "a:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogMachine m(c.program);
        m.screen.ExpectModal(ProductName + " - Select Data Drive", c.answer);
        EXPECT_TRUE(SelectDataDrive());
        EXPECT_EQ(DataRoot, c.drive);
        EXPECT_EQ(m.Setting(c.key), c.drive);
        EXPECT_TRUE(m.screen.MessageBoxes().empty());
    }
}

TEST(DataDriveDialog, LeavingWithoutADriveWritesNothing) {
    struct Case {
        const char* name;
        std::function<void(Driver&)> leave;
    };
    const Case cases[] = {
        {"Cancel", [](Driver& d) { d.Pick(3); d.Press("Cancel"); }},
        {"Escape", [](Driver& d) { d.Escape(); }},
        {"close box", [](Driver& d) { d.CloseBox(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogMachine m;
        m.screen.ExpectModal(kCaption, c.leave);
        EXPECT_FALSE(SelectDataDrive());
        EXPECT_EQ(DataRoot, "");
        EXPECT_FALSE(m.machine.exists("C:\\Virelle\\VRL.INI"));
    }
}

TEST(DataDriveDialog, OkWithoutASelectionWarnsAndStaysOpen) {
    DialogMachine m;
    m.machine.addShare("\\\\SERVER\\APPS");
    ASSERT_TRUE(m.machine.files().setCurrentFolder("\\\\SERVER\\APPS"));
    m.screen.AnswerMessageBox(toolkit::id::kOk);
    bool stayedOpen = false;
    m.screen.ExpectModal(kCaption, [&](Driver& d) {
        d.Press("OK");
        stayedOpen = d.form().ModalResult() == toolkit::modal::kNone;
        d.Press("Cancel");
    });
    EXPECT_FALSE(SelectDataDrive());

    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(m.screen.MessageBoxes().size(), 1u);
    const auto& box = m.screen.MessageBoxes()[0];
    EXPECT_EQ(box.text, "You must select a drive.");
    EXPECT_EQ(box.caption, "Virelle");
    EXPECT_EQ(box.flags & 0xF0, toolkit::mb::kIconWarning);
    EXPECT_FALSE(m.machine.exists("C:\\Virelle\\VRL.INI"));
}

TEST(DataDriveDialog, RefusedSettingsWriteIsReportedAndLeavesTheDialogOpen) {
    DialogMachine m;
    m.machine.writeFile("C:\\Virelle\\VRL.INI", "[Virelle]\r\n");
    m.machine.refuseWrites("C:\\Virelle\\VRL.INI");
    m.screen.AnswerMessageBox(toolkit::id::kOk);
    bool stayedOpen = false;
    m.screen.ExpectModal(kCaption, [&](Driver& d) {
        d.Press("OK");
        stayedOpen = d.form().ModalResult() == toolkit::modal::kNone;
        d.Escape();
    });
    EXPECT_FALSE(SelectDataDrive());

    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(m.screen.MessageBoxes().size(), 1u);
    EXPECT_EQ(m.screen.MessageBoxes()[0].text, "Unable to write to C:\\Virelle\\VRL.INI");
    // The drive was taken before the write failed.
    EXPECT_EQ(DataRoot, "c:");
    EXPECT_EQ(m.Setting("WD"), "<absent>");
}

}  // namespace
