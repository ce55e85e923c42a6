#include "toolkit/sim/SimBackend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/Platform.h"

namespace toolkit::sim {

namespace {

// The button a box's flags make the default: the DEFBUTTON number (0 to 3
// in bits 8 and 9) among the buttons of its type (the low four bits), the
// first one when the type has fewer.
int DefaultButton(std::uint32_t flags) {
    static const std::vector<std::vector<int>> kButtons = {
        {1}, {1, 2}, {3, 4, 5}, {6, 7, 2}, {6, 7}, {4, 2}, {2, 10, 11},
    };
    const std::uint32_t type = flags & 0xF;
    if (type >= kButtons.size()) return id::kOk;
    const std::vector<int>& buttons = kButtons[type];
    const std::size_t index = (flags >> 8) & 0x3;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

// Consecutive rounds of message processing in which nothing happened
// before a polling loop counts as hung; twice as many and the test program
// stops rather than spin for ever.
constexpr std::uint64_t kIdleRoundLimit = 1000000;

std::uint32_t Now() { return platform::system().tickCount(); }

template <class Visit>
void ForEachControl(Control& control, const Visit& visit) {
    visit(control);
    for (Control* child : control.Children()) ForEachControl(*child, visit);
}

ControlView ViewOfControl(const Control& control) {
    ControlView view;
    view.name = control.Name();
    view.kind = control.Kind();
    view.parent = control.Parent() != nullptr ? control.Parent()->Name() : std::string();
    view.caption = control.Caption();
    view.left = control.Left();
    view.top = control.Top();
    view.width = control.Width();
    view.height = control.Height();
    view.tabOrder = control.TabOrder();
    switch (control.Kind()) {
    case ControlKind::Label: {
        const auto& label = static_cast<const Label&>(control);
        view.wordWrap = label.wordWrap;
        view.transparent = label.transparent;
        view.autoSize = label.autoSize;
        break;
    }
    case ControlKind::Button: {
        const auto& button = static_cast<const Button&>(control);
        view.isDefault = button.isDefault;
        view.isCancel = button.isCancel;
        view.modalResult = button.modalResult;
        break;
    }
    case ControlKind::ListBox: {
        const auto& list = static_cast<const ListBox&>(control);
        view.items = list.Items();
        view.itemIndex = list.ItemIndex();
        break;
    }
    case ControlKind::ComboBox: {
        const auto& combo = static_cast<const ComboBox&>(control);
        for (const auto& item : combo.Items()) view.items.push_back(item.text);
        view.itemIndex = combo.ItemIndex();
        break;
    }
    case ControlKind::Form:
    case ControlKind::GroupBox:
        break;
    }
    return view;
}

void AddViews(const Control& control, std::vector<ControlView>& views) {
    for (const Control* child : control.Children()) {
        views.push_back(ViewOfControl(*child));
        AddViews(*child, views);
    }
}

// Records what an owner-drawn item paints.
class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(std::vector<CanvasCall>& calls) : calls_(calls) {}
    void FillRect(const Rect& rect) override {
        CanvasCall call;
        call.kind = CanvasCall::Kind::Fill;
        call.rect = rect;
        calls_.push_back(call);
    }
    void DrawImage(std::uintptr_t list, int image, int x, int y) override {
        CanvasCall call;
        call.kind = CanvasCall::Kind::Image;
        call.list = list;
        call.image = image;
        call.x = x;
        call.y = y;
        calls_.push_back(call);
    }
    void DrawText(const std::string& text, const Rect& rect, std::uint32_t flags) override {
        CanvasCall call;
        call.kind = CanvasCall::Kind::Text;
        call.text = text;
        call.rect = rect;
        call.flags = flags;
        calls_.push_back(call);
    }

private:
    std::vector<CanvasCall>& calls_;
};

}  // namespace

const ControlView* FormView::Find(const std::string& controlName) const {
    for (const auto& control : controls)
        if (control.name == controlName) return &control;
    return nullptr;
}

FormView ViewOf(const Form& form) {
    FormView view;
    view.name = form.Name();
    view.caption = form.Caption();
    view.clientWidth = form.ClientWidth();
    view.clientHeight = form.ClientHeight();
    view.borderStyle = form.borderStyle;
    view.borderIcons = form.borderIcons;
    view.position = form.position;
    view.color = form.color;
    view.font = form.font;
    view.modal = form.Modal();
    AddViews(form, view.controls);
    return view;
}

// --- Driver ----------------------------------------------------------------

void Driver::Press(const std::string& buttonCaption) {
    Button* found = nullptr;
    ForEachControl(form_, [&](Control& control) {
        if (found == nullptr && control.Kind() == ControlKind::Button &&
            control.Caption() == buttonCaption)
            found = static_cast<Button*>(&control);
    });
    if (found == nullptr) {
        backend_.Fail("form \"" + form_.Caption() + "\" has no button \"" + buttonCaption + "\"");
        return;
    }
    found->Click();
}

Control* Driver::FindList(const std::string& listName) {
    std::vector<Control*> lists;
    ForEachControl(form_, [&](Control& control) {
        const bool isList = control.Kind() == ControlKind::ListBox ||
                            control.Kind() == ControlKind::ComboBox;
        if (isList && (listName.empty() || control.Name() == listName)) lists.push_back(&control);
    });
    if (lists.size() == 1) return lists.front();
    backend_.Fail("form \"" + form_.Caption() + "\" has " + std::to_string(lists.size()) +
                  " lists" + (listName.empty() ? std::string() : " named \"" + listName + "\"") +
                  ", not one");
    return nullptr;
}

void Driver::Pick(int index) { Pick(std::string(), index); }

void Driver::Pick(const std::string& listName, int index) {
    Control* list = FindList(listName);
    if (list == nullptr) return;
    const std::size_t count = list->Kind() == ControlKind::ListBox
                                  ? static_cast<ListBox*>(list)->Items().size()
                                  : static_cast<ComboBox*>(list)->Items().size();
    if (index < 0 || static_cast<std::size_t>(index) >= count) {
        backend_.Fail("item " + std::to_string(index) + " picked in \"" + list->Name() +
                      "\", which holds " + std::to_string(count));
        return;
    }
    if (list->Kind() == ControlKind::ListBox)
        static_cast<ListBox*>(list)->SetItemIndex(index);
    else
        static_cast<ComboBox*>(list)->PickItem(index);
}

void Driver::Enter() { form_.PressEnter(); }

void Driver::Escape() { form_.PressEscape(); }

void Driver::CloseBox() {
    if (!form_.HasCloseBox()) {
        backend_.Fail("form \"" + form_.Caption() + "\" has no close box");
        return;
    }
    form_.Close();
}

// --- SimBackend --------------------------------------------------------------

SimBackend::SimBackend() : previous_(InstallBackend(this)) { app().Reset(); }

SimBackend::~SimBackend() {
    app().Reset();
    for (const auto& script : scripts_)
        ADD_FAILURE() << "the modal form \"" << script.caption << "\" was expected but never shown";
    if (!answers_.empty())
        ADD_FAILURE() << answers_.size() << " scripted message box answer(s) never used";
    InstallBackend(previous_);
}

void SimBackend::Fail(const std::string& what) {
    ADD_FAILURE() << what;
    app().Terminate();
}

void SimBackend::ExpectModal(const std::string& caption, std::function<void(Driver&)> script) {
    scripts_.push_back(Script{caption, std::move(script)});
}

void SimBackend::AnswerMessageBox(int answer) { answers_.push_back(answer); }

std::vector<PaintedItem> SimBackend::DropDown(ComboBox& combo) {
    std::vector<PaintedItem> painted;
    int top = 0;
    for (int index = 0; index < static_cast<int>(combo.Items().size()); ++index) {
        PaintedItem item;
        item.index = index;
        item.height = combo.ItemHeight(index);
        item.selected = index == combo.ItemIndex();
        RecordingCanvas canvas(item.calls);
        combo.PaintItem(index, canvas, Rect{0, top, combo.Width(), top + item.height});
        top += item.height;
        painted.push_back(std::move(item));
    }
    return painted;
}

std::vector<FormView> SimBackend::Screen() const {
    std::vector<FormView> views;
    for (const Form* form : visible_) views.push_back(ViewOf(*form));
    return views;
}

platform::WindowId SimBackend::CreateApplicationWindow(const std::string& title) {
    appTitle_ = title;
    return kApplicationWindow;
}

void SimBackend::SetApplicationTitle(const std::string& title) { appTitle_ = title; }

void SimBackend::CreatePeers(Control& control) {
    ForEachControl(control, [&](Control& each) {
        each.SetHandle(nextWindow_++);
        // As a real combo box's window is made, it builds its list.
        if (each.Kind() == ControlKind::ComboBox) static_cast<ComboBox&>(each).CreateWnd();
    });
}

void SimBackend::ShowForm(Form& form) {
    idleRounds_ = 0;
    if (created_.insert(&form).second) CreatePeers(form);
    if (std::find(visible_.begin(), visible_.end(), &form) == visible_.end())
        visible_.push_back(&form);
    ForEachControl(form, [&](Control& control) { paintedCaptions_[&control] = control.Caption(); });
    shown_.push_back(ViewOf(form));
}

void SimBackend::HideForm(Form& form) {
    visible_.erase(std::remove(visible_.begin(), visible_.end(), &form), visible_.end());
}

void SimBackend::DestroyForm(Form& form) {
    HideForm(form);
    created_.erase(&form);
    disabled_.erase(&form);
    ForEachControl(form, [&](Control& control) {
        paintedCaptions_.erase(&control);
        dirty_.erase(std::remove(dirty_.begin(), dirty_.end(), &control), dirty_.end());
    });
}

void SimBackend::ControlChanged(Control& control) {
    if (std::find(dirty_.begin(), dirty_.end(), &control) == dirty_.end())
        dirty_.push_back(&control);
}

void SimBackend::Paint() {
    std::vector<Control*> dirty;
    dirty.swap(dirty_);
    for (Control* control : dirty) {
        Form* form = control->OwnerForm();
        if (std::find(visible_.begin(), visible_.end(), form) == visible_.end()) continue;
        std::string& last = paintedCaptions_[control];
        if (last == control->Caption()) continue;
        last = control->Caption();
        painted_.push_back(PaintRecord{form->Name(), control->Name(), last});
    }
}

SimBackend::RunningTimer* SimBackend::FindTimer(Timer* timer) {
    for (auto& running : timers_)
        if (running.timer == timer) return &running;
    return nullptr;
}

void SimBackend::StartTimer(Timer& timer) {
    if (RunningTimer* running = FindTimer(&timer)) {
        running->start = Now();
        return;
    }
    timers_.push_back(RunningTimer{&timer, Now()});
}

void SimBackend::StopTimer(Timer& timer) {
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [&](const RunningTimer& running) { return running.timer == &timer; }),
                  timers_.end());
}

bool SimBackend::FireDueTimers() {
    if (timers_.empty()) return false;
    const std::uint32_t now = Now();
    std::vector<Timer*> due;
    for (const auto& running : timers_)
        if (now - running.start >= running.timer->Interval()) due.push_back(running.timer);
    bool fired = false;
    for (Timer* timer : due) {
        // An earlier handler may have stopped or destroyed it.
        RunningTimer* running = FindTimer(timer);
        if (running == nullptr) continue;
        running->start = now;
        fired = true;
        idleRounds_ = 0;
        timer->Fire();
    }
    return fired;
}

bool SimBackend::AdvanceToNextTimer() {
    if (timers_.empty()) return false;
    const std::uint32_t now = Now();
    std::uint32_t wait = std::numeric_limits<std::uint32_t>::max();
    for (const auto& running : timers_) {
        const std::uint32_t elapsed = now - running.start;
        const std::uint32_t interval = running.timer->Interval();
        wait = std::min(wait, elapsed >= interval ? 0 : interval - elapsed);
    }
    if (wait > 0) platform::system().sleep(wait);
    return true;
}

void SimBackend::Serve(const std::function<bool()>& done, const std::string& what) {
    while (!done() && !app().Terminated()) {
        Paint();
        if (FireDueTimers()) continue;
        if (done() || app().Terminated()) break;
        if (!AdvanceToNextTimer()) {
            Fail(what + " waits, and nothing is left to happen");
            break;
        }
    }
    Paint();
}

void SimBackend::ProcessMessages() {
    Paint();
    if (FireDueTimers()) {
        Paint();
        return;
    }
    ++idleRounds_;
    if (idleRounds_ == kIdleRoundLimit)
        Fail("messages are processed over and over, and nothing is left to happen");
    if (idleRounds_ >= 2 * kIdleRoundLimit) {
        std::fputs("toolkit::sim: a loop keeps processing messages after the application "
                   "terminated; stopping the test program\n",
                   stderr);
        std::abort();
    }
    if (idleStep_ == 0) return;
    if (idleClock_)
        idleClock_(idleStep_);
    else
        platform::system().sleep(idleStep_);
}

void SimBackend::RunScript(Form& form) {
    if (scripts_.empty() && unscriptedModal_) {
        unscriptedModals_.push_back(form.Caption());
        scripts_.push_back(Script{form.Caption(), unscriptedModal_});
    }
    if (scripts_.empty()) {
        Fail("modal form \"" + form.Caption() + "\" shown, and no script answers it");
        return;
    }
    Script script = std::move(scripts_.front());
    scripts_.pop_front();
    if (script.caption != form.Caption()) {
        Fail("modal form \"" + script.caption + "\" expected, but \"" + form.Caption() +
             "\" was shown");
        return;
    }
    Driver driver(*this, form);
    try {
        script.run(driver);
    } catch (const std::exception& e) {
        Fail("the script of \"" + form.Caption() + "\" raised: " + e.what());
    } catch (...) {
        Fail("the script of \"" + form.Caption() + "\" raised an error");
    }
}

void SimBackend::RunModal(Form& form) {
    idleRounds_ = 0;
    std::vector<Form*> disabled;
    for (Form* other : visible_)
        if (other != &form && disabled_.insert(other).second) disabled.push_back(other);
    RunScript(form);
    Serve([&] { return form.ModalResult() != modal::kNone; },
          "modal form \"" + form.Caption() + "\"");
    for (Form* other : disabled) disabled_.erase(other);
}

void SimBackend::RunMainLoop(Form& mainForm) {
    Serve([&] { return mainForm.Closed(); }, "the main loop");
}

int SimBackend::MessageBox(platform::WindowId owner, const std::string& text,
                           const std::string& caption, std::uint32_t flags) {
    idleRounds_ = 0;
    MessageBoxRecord record{text, caption, flags, owner, id::kCancel};
    if (answers_.empty() && defaultAnswers_) answers_.push_back(DefaultButton(flags));
    if (answers_.empty()) {
        boxes_.push_back(record);
        Fail("message box \"" + caption + "\" shown, and no answer was scripted: " + text);
        return record.answer;
    }
    record.answer = answers_.front();
    answers_.pop_front();
    boxes_.push_back(record);
    return record.answer;
}

Form* SimBackend::FormOf(platform::WindowId window) const {
    for (Form* form : visible_)
        if (form->Handle() == window) return form;
    return nullptr;
}

platform::WindowId SimBackend::LastActivePopup(platform::WindowId window) {
    // Forms are owned by the application window; the last one shown and
    // still on screen is the one a user last worked in.
    if (window == kApplicationWindow && !visible_.empty()) return visible_.back()->Handle();
    return window;
}

bool SimBackend::IsVisibleAndEnabled(platform::WindowId window) {
    Form* form = FormOf(window);
    return form != nullptr && disabled_.count(form) == 0;
}

void SimBackend::SetForegroundWindow(platform::WindowId window) { foreground_.push_back(window); }

void SimBackend::LockWindowUpdate(platform::WindowId window) {
    if (window == 0) ++unlocks_;
}

}  // namespace toolkit::sim
