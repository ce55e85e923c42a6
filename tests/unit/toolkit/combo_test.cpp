#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/Exception.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/sim/SimBackend.h"

namespace {

using toolkit::app;
using toolkit::sim::CanvasCall;
using toolkit::sim::Driver;
using toolkit::sim::SimBackend;

// An owner-drawn list that builds itself when its window is made, the way
// the drive list does: an icon and the text 22 pixels to the right.
class IconCombo : public toolkit::ComboBox {
public:
    using ComboBox::ComboBox;
    int builds = 0;
    std::vector<int> clickedAt;  // ItemIndex as each Click saw it
    bool failDraw = false, failMeasure = false, failClick = false;

    void CreateWnd() override {
        ++builds;
        ClearItems();
        AddItem("a: ", 7);
        AddItem("c: [system]", 9);
        SetItemIndex(1);
    }
    int MeasureItem(int) override {
        if (failMeasure) throw Exception("measure failed");
        return 16;
    }
    void DrawItem(int index, toolkit::Canvas& canvas, const toolkit::Rect& rect) override {
        if (failDraw) throw Exception("draw failed");
        canvas.FillRect(rect);
        canvas.DrawImage(toolkit::SystemSmallImageList(), static_cast<int>(Items()[index].data),
                         rect.left, rect.top);
        toolkit::Rect text = rect;
        text.left += 22;
        canvas.DrawText(Items()[index].text, text,
                        toolkit::dt::kSingleLine | toolkit::dt::kVCenter | toolkit::dt::kNoPrefix);
    }
    void Click() override {
        clickedAt.push_back(ItemIndex());
        if (failClick) throw Exception("click failed");
    }
};

struct ComboDialog : toolkit::Form {
    toolkit::GroupBox* box;
    IconCombo* combo;
    ComboDialog() : Form("ComboDialog") {
        SetCaption("Drives");
        SetClientSize(316, 289);
        box = Add<toolkit::GroupBox>(this, "ServerBox");
        box->SetCaption("Data Drive");
        box->SetBounds(8, 8, 300, 240);
        combo = Add<IconCombo>(box, "WDrive");
        combo->SetBounds(10, 208, 280, 22);
        auto* ok = Add<toolkit::Button>(this, "btnOK");
        ok->SetCaption("OK");
        ok->isDefault = true;
        ok->modalResult = toolkit::modal::kOk;
    }
};

TEST(ComboBox, BuildsItsListOnceWhenItsWindowIsMade) {
    SimBackend ui;
    ComboDialog dialog;
    EXPECT_EQ(dialog.combo->builds, 0);
    ui.ExpectModal("Drives", [](Driver& d) { d.Enter(); });
    ui.ExpectModal("Drives", [](Driver& d) { d.Enter(); });

    dialog.ShowModal();
    dialog.ShowModal();

    EXPECT_EQ(dialog.combo->builds, 1);
    ASSERT_EQ(ui.ShownForms().size(), 2u);
    const auto* shown = ui.ShownForms()[0].Find("WDrive");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->items, (std::vector<std::string>{"a: ", "c: [system]"}));
    EXPECT_EQ(shown->itemIndex, 1);
    EXPECT_EQ(shown->parent, "ServerBox");
    EXPECT_EQ(shown->top, 208);
}

TEST(ComboBox, PickingAnItemMovesTheSelectionBeforeClickRuns) {
    SimBackend ui;
    ComboDialog dialog;
    ui.ExpectModal("Drives", [](Driver& d) {
        d.Pick("WDrive", 0);
        d.Enter();
    });
    dialog.ShowModal();
    EXPECT_EQ(dialog.combo->clickedAt, (std::vector<int>{0}));
    EXPECT_EQ(dialog.combo->ItemIndex(), 0);
}

TEST(ComboBox, DroppedDownItemsArePaintedBelowEachOther) {
    SimBackend ui;
    ComboDialog dialog;
    dialog.Show();

    const auto painted = ui.DropDown(*dialog.combo);

    ASSERT_EQ(painted.size(), 2u);
    EXPECT_FALSE(painted[0].selected);
    EXPECT_TRUE(painted[1].selected);
    const auto& calls = painted[1].calls;
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].kind, CanvasCall::Kind::Fill);
    EXPECT_EQ(calls[0].rect.top, 16);
    EXPECT_EQ(calls[0].rect.bottom, 32);
    EXPECT_EQ(calls[0].rect.right, 280);
    EXPECT_EQ(calls[1].kind, CanvasCall::Kind::Image);
    EXPECT_EQ(calls[1].list, SimBackend::kSmallImageList);
    EXPECT_EQ(calls[1].image, 9);
    EXPECT_EQ(calls[1].y, 16);
    EXPECT_EQ(calls[2].kind, CanvasCall::Kind::Text);
    EXPECT_EQ(calls[2].text, "c: [system]");
    EXPECT_EQ(calls[2].rect.left, 22);
    EXPECT_EQ(calls[2].flags, 0x824u);
}

TEST(ComboBox, ErrorsInItsHandlersAreReported) {
    struct Case {
        const char* name;
        bool IconCombo::*failure;
        std::function<void(SimBackend&, IconCombo&)> action;
        std::size_t boxes;
        const char* message;
    };
    const Case cases[] = {
        {"measure answers the default height", &IconCombo::failMeasure,
         [](SimBackend&, IconCombo& combo) { EXPECT_EQ(combo.ItemHeight(0), 16); }, 1,
         "measure failed"},
        {"draw, once per item", &IconCombo::failDraw,
         [](SimBackend& ui, IconCombo& combo) { ui.DropDown(combo); }, 2, "draw failed"},
        {"click keeps the new selection", &IconCombo::failClick,
         [](SimBackend&, IconCombo& combo) {
             combo.PickItem(0);
             EXPECT_EQ(combo.ItemIndex(), 0);
         },
         1, "click failed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimBackend ui;
        ComboDialog dialog;
        dialog.Show();
        dialog.combo->*c.failure = true;
        for (std::size_t i = 0; i < c.boxes; ++i) ui.AnswerMessageBox(toolkit::id::kOk);

        c.action(ui, *dialog.combo);

        ASSERT_EQ(ui.MessageBoxes().size(), c.boxes);
        for (const auto& box : ui.MessageBoxes()) EXPECT_EQ(box.text, c.message);
    }
}

TEST(ComboBox, SelectionOutsideTheListSelectsNothing) {
    const struct {
        int index;
        int selected;
    } cases[] = {{-2, -1}, {-1, -1}, {0, 0}, {2, 2}, {3, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        toolkit::ComboBox combo(nullptr, "combo");
        for (const char* text : {"a", "b", "c"}) combo.AddItem(text, 0);
        combo.SetItemIndex(c.index);
        EXPECT_EQ(combo.ItemIndex(), c.selected);
    }
}

TEST(ComboBox, PickingAnItemThatIsNotThereFailsTheTest) {
    EXPECT_NONFATAL_FAILURE(
        {
            SimBackend ui;
            ComboDialog dialog;
            ui.ExpectModal("Drives", [](Driver& d) { d.Pick(5); });
            dialog.ShowModal();
        },
        "which holds 2");
}

}  // namespace
