// The simulated screen must turn every wait for an absent user into a
// test failure, and must report what was painted the way a screen would.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/sim/SimBackend.h"
#include "test_forms.h"

namespace {

using toolkit::app;
using toolkit::sim::Driver;
using toolkit::sim::SimBackend;
using toolkit_test::ListDialog;

TEST(SimBackend, BoxWithoutAnAnswerFailsTheTestAndEndsTheLoops) {
    EXPECT_NONFATAL_FAILURE(
        {
            SimBackend ui;
            EXPECT_EQ(app().MessageBox("Disk full", "Virelle", toolkit::mb::kIconError),
                      toolkit::id::kCancel);
            EXPECT_TRUE(app().Terminated());
            ASSERT_EQ(ui.MessageBoxes().size(), 1u);
            EXPECT_EQ(ui.MessageBoxes()[0].text, "Disk full");
        },
        "no answer was scripted: Disk full");
}

TEST(SimBackend, AnswersAreGivenInOrder) {
    SimBackend ui;
    ui.AnswerMessageBox(toolkit::id::kYes);
    ui.AnswerMessageBox(toolkit::id::kNo);
    EXPECT_EQ(app().MessageBox("first", "Virelle", toolkit::mb::kYesNo), toolkit::id::kYes);
    EXPECT_EQ(app().MessageBox("second", "Virelle", toolkit::mb::kYesNo), toolkit::id::kNo);
    ASSERT_EQ(ui.MessageBoxes().size(), 2u);
    EXPECT_EQ(ui.MessageBoxes()[1].answer, toolkit::id::kNo);
}

TEST(SimBackend, ModalFormNobodyAnswersFailsTheTest) {
    struct Case {
        const char* name;
        const char* expected;  // caption of the scripted form; nullptr for no script
        std::function<void(Driver&)> script;
        const char* failure;
    };
    const Case cases[] = {
        {"no script", nullptr, nullptr, "no script answers it"},
        {"script for another form", "Select Site", [](Driver& d) { d.Enter(); },
         "\"Select Site\" expected, but \"Choose\" was shown"},
        {"script raises", "Choose", [](Driver&) { throw std::runtime_error("lost"); },
         "raised: lost"},
        {"form still open after its script", "Choose", [](Driver& d) { d.Pick(0); },
         "modal form \"Choose\" waits, and nothing is left to happen"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NONFATAL_FAILURE(
            {
                SimBackend ui;
                if (c.expected != nullptr) ui.ExpectModal(c.expected, c.script);
                ListDialog dialog({"A"});
                EXPECT_EQ(dialog.ShowModal(), toolkit::modal::kCancel);
            },
            c.failure);
    }
}

TEST(SimBackend, UnusedAnswersAndScriptsFailTheTest) {
    EXPECT_NONFATAL_FAILURE(
        {
            SimBackend ui;
            ui.AnswerMessageBox(toolkit::id::kOk);
        },
        "answer(s) never used");
    EXPECT_NONFATAL_FAILURE(
        {
            SimBackend ui;
            ui.ExpectModal("Select Database", [](Driver& d) { d.Enter(); });
        },
        "\"Select Database\" was expected but never shown");
}

// A label on a shown form; its captions reach the screen only when
// messages are processed, as a window's paint does.
struct LabelForm : toolkit::Form {
    toolkit::Label* label;
    LabelForm() : Form("Form1") {
        label = Add<toolkit::Label>(this, "Label1");
    }
};

TEST(SimBackend, CaptionsArePaintedWhenMessagesAreProcessed) {
    SimBackend ui;
    ui.SetIdleStep(0);
    LabelForm form;
    form.label->SetCaption("hidden");  // not on screen yet
    form.Show();
    form.label->SetCaption("Extracting Dpd_c_34.DB...");
    form.label->SetCaption("Extracting Dpd_c_34.PX...");
    app().ProcessMessages();
    app().ProcessMessages();
    form.label->SetCaption("Extracting Dpd_c_34.PX...");
    app().ProcessMessages();
    form.label->SetCaption("");
    app().ProcessMessages();

    std::vector<std::string> captions;
    for (const auto& paint : ui.Painted()) {
        EXPECT_EQ(paint.form, "Form1");
        EXPECT_EQ(paint.control, "Label1");
        captions.push_back(paint.caption);
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Extracting Dpd_c_34.PX...", ""}));
}

}  // namespace
