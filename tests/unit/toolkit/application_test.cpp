#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Exception.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/sim/SimBackend.h"
#include "test_forms.h"

namespace {

using toolkit::app;
using toolkit::sim::SimBackend;

TEST(Application, WorksWithoutFormsForMessageBoxes) {
    SimBackend ui;
    app().SetTitle("Title");
    ui.AnswerMessageBox(toolkit::id::kNo);

    const int answer = app().MessageBox("Go on?", "Virelle", toolkit::mb::kYesNo);

    EXPECT_EQ(answer, toolkit::id::kNo);
    ASSERT_EQ(ui.MessageBoxes().size(), 1u);
    EXPECT_EQ(ui.MessageBoxes()[0].text, "Go on?");
    EXPECT_EQ(ui.MessageBoxes()[0].caption, "Virelle");
    EXPECT_EQ(ui.MessageBoxes()[0].flags, toolkit::mb::kYesNo);
    EXPECT_EQ(ui.MessageBoxes()[0].owner, app().Handle());
    EXPECT_NE(app().Handle(), 0u);
    // Without a pop-up the application window is its own last active one.
    EXPECT_EQ(app().LastActivePopup(), app().Handle());
    EXPECT_FALSE(app().IsVisibleAndEnabled(app().Handle()));
}

TEST(Application, TitleReachesTheApplicationWindow) {
    SimBackend ui;
    app().SetTitle("Early");
    app().Initialize();
    EXPECT_EQ(ui.ApplicationTitle(), "Early");
    app().SetTitle(" Statement of Dental Remuneration 134");
    EXPECT_EQ(ui.ApplicationTitle(), " Statement of Dental Remuneration 134");
}

TEST(Application, FirstFormCreatedIsTheMainFormAndItsCreationRuns) {
    SimBackend ui;
    auto* first = app().CreateForm<toolkit_test::CountingForm>();
    auto* second = app().CreateForm<toolkit_test::CountingForm>();
    EXPECT_EQ(app().MainForm(), first);
    EXPECT_EQ(first->creations, 1);
    EXPECT_EQ(second->creations, 1);
}

TEST(Application, DestroyFormsDestroysTheMainFormLast) {
    SimBackend ui;
    std::vector<std::string> destroyed;
    for (const char* name : {"main", "second", "third"}) {
        auto* form = app().CreateForm<toolkit_test::CountingForm>();
        form->OnDestroy = [&destroyed, name] { destroyed.push_back(name); };
    }
    app().DestroyForms();
    EXPECT_EQ(destroyed, (std::vector<std::string>{"third", "second", "main"}));
    EXPECT_EQ(app().MainForm(), nullptr);
}

TEST(Application, RunWithoutMainFormReturnsAtOnce) {
    SimBackend ui;
    app().Run();
    EXPECT_TRUE(ui.ShownForms().empty());
}

TEST(Application, ClosingTheMainFormEndsRun) {
    SimBackend ui;
    auto* form = app().CreateForm<toolkit_test::CountingForm>();
    form->OnShow = [form] { form->Close(); };
    app().Run();
    EXPECT_TRUE(app().Terminated());
    EXPECT_TRUE(form->Closed());
    EXPECT_TRUE(ui.Screen().empty());
    ASSERT_EQ(ui.ShownForms().size(), 1u);
}

TEST(Application, ClosingAnotherFormOnlyHidesIt) {
    SimBackend ui;
    app().CreateForm<toolkit_test::CountingForm>();
    auto* other = app().CreateForm<toolkit_test::CountingForm>();
    other->Show();
    other->Close();
    EXPECT_FALSE(app().Terminated());
    EXPECT_FALSE(other->Visible());
    EXPECT_TRUE(ui.Screen().empty());
}

TEST(Application, RunAfterTerminateShowsNothing) {
    SimBackend ui;
    app().CreateForm<toolkit_test::CountingForm>();
    app().Terminate();
    app().Run();
    EXPECT_TRUE(ui.ShownForms().empty());
}

// How errors that no handler caught are reported.
struct ReportCase {
    const char* name;
    std::exception_ptr error;
    bool withHandler;
    bool handlerThrows;
    std::vector<std::string> handled;  // what the installed handler saw
    std::vector<std::string> boxes;    // texts of the default reporter's boxes
};

TEST(Application, HandleExceptionReportsEveryErrorButTheSilentAbort) {
    const auto error = [](auto e) { return std::make_exception_ptr(e); };
    const ReportCase cases[] = {
        {"silent abort, default reporter", error(EAbort()), false, false, {}, {}},
        {"silent abort, own handler", error(EAbort()), true, false, {}, {}},
        {"program error, default reporter", error(Exception("Unable to write to C:\\x")), false,
         false, {}, {"Unable to write to C:\\x"}},
        {"library error, default reporter", error(std::runtime_error("disk full")), false, false,
         {}, {"disk full"}},
        {"error of no known kind", error(42), false, false, {}, {"An error of unknown kind occurred"}},
        {"own handler replaces the box", error(Exception("boom")), true, false, {"boom"}, {}},
        {"own handler fails, box instead", error(Exception("boom")), true, true, {"boom"}, {"boom"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimBackend ui;
        app().SetTitle("Installer");
        std::vector<std::string> handled;
        if (c.withHandler) {
            app().OnException = [&handled, &c](const std::exception& e) {
                handled.push_back(e.what());
                if (c.handlerThrows) throw std::runtime_error("reporter broke");
            };
        }
        for (std::size_t i = 0; i < c.boxes.size(); ++i) ui.AnswerMessageBox(toolkit::id::kOk);

        app().HandleException(c.error);

        EXPECT_EQ(handled, c.handled);
        ASSERT_EQ(ui.MessageBoxes().size(), c.boxes.size());
        for (std::size_t i = 0; i < c.boxes.size(); ++i) {
            EXPECT_EQ(ui.MessageBoxes()[i].text, c.boxes[i]);
            EXPECT_EQ(ui.MessageBoxes()[i].caption, "Installer");
            EXPECT_EQ(ui.MessageBoxes()[i].flags, toolkit::mb::kIconError);
        }
    }
}

TEST(Application, ErrorInOnCreateIsReportedAndTheFormStillBecomesMain) {
    SimBackend ui;
    ui.AnswerMessageBox(toolkit::id::kOk);
    auto* form = app().CreateForm<toolkit_test::FailingCreateForm>();
    EXPECT_EQ(app().MainForm(), form);
    ASSERT_EQ(ui.MessageBoxes().size(), 1u);
    EXPECT_EQ(ui.MessageBoxes()[0].text, "creation failed");
}

}  // namespace
