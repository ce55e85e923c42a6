#include <algorithm>

#include "toolkit/Application.h"
#include "toolkit/Backend.h"
#include "toolkit/Controls.h"

namespace toolkit {

Control::Control(Control* parent, std::string name) : name_(std::move(name)), parent_(parent) {
    if (parent_ != nullptr) parent_->children_.push_back(this);
}

Control::~Control() {
    if (parent_ == nullptr) return;
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
}

Form* Control::OwnerForm() {
    Control* control = this;
    while (control != nullptr && control->Kind() != ControlKind::Form) control = control->parent_;
    return static_cast<Form*>(control);
}

const Form* Control::OwnerForm() const { return const_cast<Control*>(this)->OwnerForm(); }

void Control::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Changed();
}

void Control::SetCaption(const std::string& caption) {
    caption_ = caption;
    Changed();
}

void Control::Changed() {
    if (handle_ != 0) CurrentBackend().ControlChanged(*this);
}

Label::Label(Control* parent, std::string name) : Control(parent, std::move(name)) {}

GroupBox::GroupBox(Control* parent, std::string name) : Control(parent, std::move(name)) {}

Button::Button(Control* parent, std::string name) : Control(parent, std::move(name)) {}

void Button::Click() {
    bool completed = false;
    RunGuarded([&] {
        if (OnClick) OnClick();
        completed = true;
    });
    if (!completed || modalResult == modal::kNone) return;
    if (Form* form = OwnerForm()) form->SetModalResult(modalResult);
}

namespace {
int ValidIndex(int index, std::size_t count) {
    return index >= 0 && static_cast<std::size_t>(index) < count ? index : -1;
}
}  // namespace

ListBox::ListBox(Control* parent, std::string name) : Control(parent, std::move(name)) {}

void ListBox::AddItem(const std::string& text) {
    items_.push_back(text);
    Changed();
}

void ListBox::ClearItems() {
    items_.clear();
    itemIndex_ = -1;
    Changed();
}

void ListBox::SetItemIndex(int index) {
    itemIndex_ = ValidIndex(index, items_.size());
    Changed();
}

ComboBox::ComboBox(Control* parent, std::string name) : Control(parent, std::move(name)) {}

void ComboBox::AddItem(const std::string& text, std::intptr_t data) {
    items_.push_back(Item{text, data});
    Changed();
}

void ComboBox::ClearItems() {
    items_.clear();
    itemIndex_ = -1;
    Changed();
}

void ComboBox::SetItemIndex(int index) {
    itemIndex_ = ValidIndex(index, items_.size());
    Changed();
}

int ComboBox::ItemHeight(int index) {
    int height = ComboBox::MeasureItem(index);
    RunGuarded([&] { height = MeasureItem(index); });
    return height;
}

void ComboBox::PaintItem(int index, Canvas& canvas, const Rect& rect) {
    RunGuarded([&] { DrawItem(index, canvas, rect); });
}

void ComboBox::PickItem(int index) {
    SetItemIndex(index);
    RunGuarded([&] { Click(); });
}

}  // namespace toolkit
