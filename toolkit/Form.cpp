#include "toolkit/Application.h"
#include "toolkit/Backend.h"
#include "toolkit/Controls.h"

namespace toolkit {

Form::Form(std::string name) : Control(nullptr, std::move(name)) {}

Form::~Form() {
    DoDestroy();
    // Timers stop before the window they may belong to goes away.
    timers_.clear();
    if (Handle() != 0) CurrentBackend().DestroyForm(*this);
    // Children before their parents: each was created after its parent.
    while (!owned_.empty()) owned_.pop_back();
}

void Form::SetClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    Changed();
}

bool Form::HasCloseBox() const {
    return borderStyle != BorderStyle::None && borderIcons.systemMenu;
}

Timer* Form::AddTimer(std::string name) {
    timers_.push_back(std::make_unique<Timer>(this, std::move(name)));
    return timers_.back().get();
}

void Form::DoCreate() {
    if (OnCreate) RunGuarded(OnCreate);
}

void Form::DoDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    if (OnDestroy) RunGuarded(OnDestroy);
}

void Form::Show() {
    closed_ = false;
    if (visible_) return;
    CurrentBackend().ShowForm(*this);
    visible_ = true;
    if (OnShow) RunGuarded(OnShow);
}

int Form::ShowModal() {
    modal_ = true;
    modalResult_ = modal::kNone;
    try {
        Show();
    } catch (...) {
        modal_ = false;  // no window: the error belongs to the caller
        throw;
    }
    CurrentBackend().RunModal(*this);
    if (modalResult_ == modal::kNone) modalResult_ = modal::kCancel;
    CurrentBackend().HideForm(*this);
    visible_ = false;
    modal_ = false;
    return modalResult_;
}

void Form::Close() {
    if (modal_) {
        modalResult_ = modal::kCancel;
        return;
    }
    if (visible_) {
        visible_ = false;
        CurrentBackend().HideForm(*this);
    }
    closed_ = true;
    if (app().MainForm() == this) app().Terminate();
}

Button* Form::FindButton(bool Button::*role) {
    for (const auto& control : owned_) {
        if (control->Kind() != ControlKind::Button) continue;
        auto* button = static_cast<Button*>(control.get());
        if (button->*role) return button;
    }
    return nullptr;
}

void Form::PressEnter() {
    if (Button* button = FindButton(&Button::isDefault)) button->Click();
}

void Form::PressEscape() {
    if (Button* button = FindButton(&Button::isCancel)) button->Click();
}

Timer::Timer(Form* owner, std::string name) : owner_(owner), name_(std::move(name)) {}

Timer::~Timer() {
    if (enabled_) CurrentBackend().StopTimer(*this);
}

void Timer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (enabled_)
        CurrentBackend().StartTimer(*this);
    else
        CurrentBackend().StopTimer(*this);
}

void Timer::SetInterval(std::uint32_t milliseconds) {
    interval_ = milliseconds;
    if (enabled_) CurrentBackend().StartTimer(*this);
}

void Timer::Fire() {
    if (!enabled_) return;
    if (OnTimer) RunGuarded(OnTimer);
}

}  // namespace toolkit
