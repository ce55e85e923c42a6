// Small forms of the shapes the program builds, for the toolkit's tests.
#pragma once

#include <string>
#include <vector>

#include "platform/Exception.h"
#include "toolkit/Controls.h"

namespace toolkit_test {

struct CountingForm : toolkit::Form {
    int creations = 0;
    CountingForm() : Form("Counting") {
        OnCreate = [this] { ++creations; };
    }
};

struct FailingCreateForm : toolkit::Form {
    FailingCreateForm() : Form("Failing") {
        OnCreate = [] { throw Exception("creation failed"); };
    }
};

// A list to choose from, OK as the default button and, when asked for,
// Cancel as the cancel button; the frame has no border icons.
struct ListDialog : toolkit::Form {
    toolkit::ListBox* list;
    toolkit::Button* ok;
    toolkit::Button* cancel = nullptr;

    explicit ListDialog(const std::vector<std::string>& items, bool withCancel = false)
        : Form("ListDialog") {
        SetCaption("Choose");
        borderStyle = toolkit::BorderStyle::Dialog;
        borderIcons = toolkit::BorderIcons{false, false, false};
        position = toolkit::Position::ScreenCenter;
        SetClientSize(300, 120);
        list = Add<toolkit::ListBox>(this, "List");
        list->SetBounds(8, 8, 201, 104);
        for (const auto& item : items) list->AddItem(item);
        list->SetItemIndex(0);
        ok = Add<toolkit::Button>(this, "OK");
        ok->SetCaption("OK");
        ok->SetBounds(217, 8, 75, 25);
        ok->isDefault = true;
        ok->modalResult = toolkit::modal::kOk;
        if (withCancel) {
            cancel = Add<toolkit::Button>(this, "Cancel");
            cancel->SetCaption("Cancel");
            cancel->SetBounds(217, 41, 75, 25);
            cancel->isCancel = true;
            cancel->modalResult = toolkit::modal::kCancel;
        }
    }
};

}  // namespace toolkit_test
