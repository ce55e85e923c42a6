#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/Exception.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/sim/SimBackend.h"
#include "test_forms.h"

namespace {

using toolkit::app;
using toolkit::modal::kCancel;
using toolkit::modal::kOk;
using toolkit::sim::Driver;
using toolkit::sim::SimBackend;
using toolkit_test::ListDialog;

struct ModalCase {
    const char* name;
    bool withCancel;
    bool systemMenu;
    std::function<void(Driver&)> script;
    int result;
    int itemIndex;
};

TEST(ModalForm, EndsWithTheResultOfWhatTheUserDid) {
    const ModalCase cases[] = {
        {"OK button", false, false, [](Driver& d) { d.Press("OK"); }, kOk, 0},
        {"Enter clicks the default button", false, false, [](Driver& d) { d.Enter(); }, kOk, 0},
        {"Escape clicks the cancel button", true, false, [](Driver& d) { d.Escape(); }, kCancel, 0},
        {"Escape does nothing without a cancel button", false, false,
         [](Driver& d) {
             d.Escape();
             EXPECT_EQ(d.form().ModalResult(), toolkit::modal::kNone);
             d.Press("OK");
         },
         kOk, 0},
        {"close box of a dialog with a system menu", false, true, [](Driver& d) { d.CloseBox(); },
         kCancel, 0},
        {"picked item is kept", false, false,
         [](Driver& d) {
             d.Pick(2);
             d.Enter();
         },
         kOk, 2},
        {"the application terminating ends the loop", true, false,
         [](Driver&) { app().Terminate(); }, kCancel, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimBackend ui;
        ListDialog dialog({"A", "B", "C"}, c.withCancel);
        dialog.borderIcons.systemMenu = c.systemMenu;
        ui.ExpectModal("Choose", c.script);

        EXPECT_EQ(dialog.ShowModal(), c.result);
        EXPECT_EQ(dialog.list->ItemIndex(), c.itemIndex);
        EXPECT_FALSE(dialog.Visible());
        EXPECT_TRUE(ui.Screen().empty());
    }
}

TEST(ModalForm, ErrorInAClickHandlerKeepsTheDialogOpen) {
    struct Case {
        const char* name;
        std::function<void()> onClick;
        std::size_t boxes;
    };
    const Case cases[] = {
        {"reported error", [] { throw Exception("Unable to write to C:\\Virelle\\VRL.INI"); }, 1},
        {"silent abort", [] { throw EAbort(); }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimBackend ui;
        ListDialog dialog({"A"}, true);
        dialog.ok->OnClick = c.onClick;  // OK also carries the OK result
        for (std::size_t i = 0; i < c.boxes; ++i) ui.AnswerMessageBox(toolkit::id::kOk);
        ui.ExpectModal("Choose", [](Driver& d) {
            d.Press("OK");
            EXPECT_EQ(d.form().ModalResult(), toolkit::modal::kNone);
            EXPECT_TRUE(d.form().Visible());
            d.Press("Cancel");
        });

        EXPECT_EQ(dialog.ShowModal(), kCancel);
        ASSERT_EQ(ui.MessageBoxes().size(), c.boxes);
        if (c.boxes > 0) {
            EXPECT_EQ(ui.MessageBoxes()[0].text, "Unable to write to C:\\Virelle\\VRL.INI");
            EXPECT_EQ(ui.MessageBoxes()[0].flags, toolkit::mb::kIconError);
        }
    }
}

TEST(ModalForm, DisablesTheOtherFormsWhileItRuns) {
    SimBackend ui;
    auto* main = app().CreateForm<toolkit_test::CountingForm>();
    main->Show();
    ASSERT_TRUE(app().IsVisibleAndEnabled(main->Handle()));
    ListDialog dialog({"A"});
    ui.ExpectModal("Choose", [&](Driver& d) {
        EXPECT_FALSE(app().IsVisibleAndEnabled(main->Handle()));
        EXPECT_TRUE(app().IsVisibleAndEnabled(d.form().Handle()));
        EXPECT_EQ(app().LastActivePopup(), d.form().Handle());
        d.Enter();
    });

    dialog.ShowModal();

    EXPECT_TRUE(app().IsVisibleAndEnabled(main->Handle()));
    EXPECT_EQ(app().LastActivePopup(), main->Handle());
}

TEST(ModalForm, ShowsTheGeometryItWasBuiltWith) {
    SimBackend ui;
    ListDialog dialog({"Practice", "Branch"});
    ui.ExpectModal("Choose", [](Driver& d) { d.Enter(); });
    dialog.ShowModal();

    ASSERT_EQ(ui.ShownForms().size(), 1u);
    const auto& view = ui.ShownForms()[0];
    EXPECT_EQ(view.caption, "Choose");
    EXPECT_EQ(view.clientWidth, 300);
    EXPECT_EQ(view.clientHeight, 120);
    EXPECT_EQ(view.borderStyle, toolkit::BorderStyle::Dialog);
    EXPECT_FALSE(view.borderIcons.systemMenu);
    EXPECT_EQ(view.position, toolkit::Position::ScreenCenter);
    EXPECT_TRUE(view.modal);
    EXPECT_EQ(view.font.name, "MS Sans Serif");
    EXPECT_EQ(view.font.height, -11);
    const auto* list = view.Find("List");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->items, (std::vector<std::string>{"Practice", "Branch"}));
    EXPECT_EQ(list->itemIndex, 0);
    EXPECT_EQ(list->left, 8);
    EXPECT_EQ(list->width, 201);
    const auto* ok = view.Find("OK");
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault);
    EXPECT_EQ(ok->parent, "ListDialog");
}

TEST(ModalForm, WithoutACloseBoxTheCloseBoxCannotBeClicked) {
    EXPECT_NONFATAL_FAILURE(
        {
            SimBackend ui;
            ListDialog dialog({"A"});  // no border icons
            ui.ExpectModal("Choose", [](Driver& d) { d.CloseBox(); });
            EXPECT_EQ(dialog.ShowModal(), kCancel);
        },
        "has no close box");
}

}  // namespace
