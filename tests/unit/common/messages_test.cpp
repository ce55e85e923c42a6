#include <gtest/gtest.h>

#include "common/Messages.h"
#include "common/ProcessStart.h"
#include "platform/Exception.h"
#include "toolkit/Controls.h"
#include "unit/common/CommonTestSupport.h"

namespace {

using commontest::SimWorld;
namespace mb = toolkit::mb;
namespace id = toolkit::id;

struct ShownForm : toolkit::Form {
    ShownForm() : Form("ShownForm") {}
};

TEST(ShowMessageBox, PassesTheCallersFlagsWithTheVirelleCaption) {
    struct Case {
        std::uint32_t flags;
        int answer;
    };
    const Case cases[] = {
        {mb::kIconError, id::kOk},
        {mb::kIconWarning, id::kOk},
        {mb::kIconInformation, id::kOk},
        {mb::kYesNo | mb::kIconWarning, id::kNo},
        {mb::kYesNo | mb::kIconQuestion, id::kYes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        SimWorld world;
        world.screen.AnswerMessageBox(c.answer);
        EXPECT_EQ(ShowMessageBox("Text\r\rmore", c.flags), c.answer);
        const auto& box = world.screen.MessageBoxes().at(0);
        EXPECT_EQ(box.text, "Text\r\rmore");
        EXPECT_EQ(box.caption, "Virelle");
        EXPECT_EQ(box.flags & c.flags, c.flags);
        // The box never waits unseen behind other windows of a hidden run.
        EXPECT_EQ(box.flags & mb::kSetForeground, mb::kSetForeground);
        EXPECT_EQ(box.owner, toolkit::sim::SimBackend::kApplicationWindow);
        EXPECT_EQ(world.screen.UnlockCount(), 1);
    }
}

TEST(ShowMessageBox, KeepsTheVirelleCaptionForTheCrvVariant) {
    SimWorld world("C:\\Corvane\\CRV_DPD134.EXE");
    ASSERT_TRUE(InitializeRuntime());
    world.screen.AnswerMessageBox(id::kOk);
    ShowMessageBox("x", mb::kIconError);
    EXPECT_EQ(world.screen.MessageBoxes().at(0).caption, "Virelle");
}

TEST(ShowMessageBox, BringsAShownFormToTheFrontFirst) {
    SimWorld world;
    world.screen.AnswerMessageBox(id::kOk);
    ShowMessageBox("before any form", mb::kIconError);
    EXPECT_TRUE(world.screen.ForegroundRequests().empty());

    auto* form = toolkit::app().CreateForm<ShownForm>();
    form->Show();
    world.screen.AnswerMessageBox(id::kOk);
    ShowMessageBox("with a form", mb::kIconError);
    EXPECT_EQ(world.screen.ForegroundRequests(), std::vector<platform::WindowId>{form->Handle()});
}

TEST(StopWithMessage, ShowsAWarningEndingInAFullStopAndAborts) {
    struct Case {
        const char* text;
        const char* shown;
    };
    const Case cases[] = {
        {"Cannot continue", "Cannot continue."},
        {"Already stopped.", "Already stopped."},
        {"", ""},
        {"Line\r\rTwo", "Line\r\rTwo."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SimWorld world;
        world.screen.AnswerMessageBox(id::kOk);
        EXPECT_THROW(StopWithMessage(c.text), EAbort);
        const auto& box = world.screen.MessageBoxes().at(0);
        EXPECT_EQ(box.text, c.shown);
        EXPECT_EQ(box.flags & 0xFF, mb::kIconWarning);
    }
}

TEST(SystemErrorText, TrimsBlanksLineBreaksAndFullStopsFromTheEnd) {
    struct Case {
        const char* name;
        std::uint32_t code;
        std::optional<std::string> systemText;  // nullopt: the machine's own
        const char* insert;
        const char* text;
    };
    const Case cases[] = {
        {"file not found", 2, std::nullopt, "C:\\X.EXE", "The system cannot find the file specified"},
        {"insert placed", 193, std::nullopt, "C:\\X.EXE", "C:\\X.EXE is not a valid Win32 application"},
        {"mixed tail", 9001, std::string("Broken . \t.\r\n\x01"), "", "Broken"},
        {"inner dots kept", 9002, std::string("Use e.g. A.B.\r\n"), "", "Use e.g. A.B"},
        {"only dots", 9003, std::string("...\r\n"), "", ""},
        {"high characters kept", 9004, std::string("Fehler \xE4\r\n"), "", "Fehler \xE4"},
        {"no text for the code", 0x71AA, std::nullopt, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimWorld world;
        if (c.systemText) world.machine.system().setErrorText(c.code, c.systemText);
        EXPECT_EQ(SystemErrorText(c.code, c.insert), c.text);
    }
}

TEST(UnlockWindowUpdates, ReleasesTheLockOfTheProcess) {
    SimWorld world;
    UnlockWindowUpdates();
    EXPECT_EQ(world.screen.UnlockCount(), 1);
}

}  // namespace
