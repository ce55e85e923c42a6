// A headless toolkit backend for tests. It installs itself for its lifetime
// (and gives the application object a fresh start at both ends), keeps a
// record of what is on screen, and lets a test drive it: scripts for modal
// forms, scripted message-box answers, timers on the simulated clock of the
// installed platform. Whatever would leave the program waiting for a user
// who is not there (a box or a modal form nobody scripted, a loop with
// nothing left to happen) fails the running test and ends the loops instead
// of hanging.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "toolkit/Application.h"
#include "toolkit/Backend.h"
#include "toolkit/Controls.h"

namespace toolkit::sim {

// A control as a test sees it.
struct ControlView {
    std::string name;
    ControlKind kind = ControlKind::Label;
    std::string parent;  // name of the parent control
    std::string caption;
    int left = 0, top = 0, width = 0, height = 0;  // in the parent's client area
    int tabOrder = 0;
    std::vector<std::string> items;  // list and combo boxes
    int itemIndex = -1;
    bool isDefault = false, isCancel = false;  // buttons
    int modalResult = modal::kNone;
    bool wordWrap = false, transparent = false, autoSize = false;  // labels
};

// A form as a test sees it: its frame and its controls, parents before
// their children.
struct FormView {
    std::string name;
    std::string caption;
    int clientWidth = 0, clientHeight = 0;
    BorderStyle borderStyle = BorderStyle::Sizeable;
    BorderIcons borderIcons;
    Position position = Position::Designed;
    std::uint32_t color = 0;
    Font font;
    bool modal = false;
    std::vector<ControlView> controls;

    // The control of that name; nullptr when there is none.
    const ControlView* Find(const std::string& controlName) const;
};

FormView ViewOf(const Form& form);

struct MessageBoxRecord {
    std::string text;
    std::string caption;
    std::uint32_t flags = 0;
    platform::WindowId owner = 0;
    int answer = 0;
};

// A caption as it was on screen when messages were last processed.
struct PaintRecord {
    std::string form;
    std::string control;
    std::string caption;
};

// One call an owner-drawn item made on its canvas.
struct CanvasCall {
    enum class Kind { Fill, Image, Text };
    Kind kind = Kind::Fill;
    Rect rect;                   // Fill, Text
    std::uintptr_t list = 0;     // Image
    int image = 0, x = 0, y = 0; // Image
    std::string text;            // Text
    std::uint32_t flags = 0;     // Text
};

struct PaintedItem {
    int index = 0;
    int height = 0;
    bool selected = false;
    std::vector<CanvasCall> calls;
};

class SimBackend;

// What a user can do to one shown form. Asking for something the form does
// not offer (a button that is not there, a close box it lacks, an item out
// of range) fails the test and does nothing.
class Driver {
public:
    Driver(SimBackend& backend, Form& form) : backend_(backend), form_(form) {}
    Form& form() const { return form_; }
    FormView View() const { return ViewOf(form_); }

    void Press(const std::string& buttonCaption);
    // Picks an item of the form's only list or combo box, or of the one named.
    void Pick(int index);
    void Pick(const std::string& listName, int index);
    void Enter();
    void Escape();
    void CloseBox();

private:
    Control* FindList(const std::string& listName);

    SimBackend& backend_;
    Form& form_;
};

class SimBackend : public Backend {
public:
    // The image list handle SystemSmallImageList answers.
    static constexpr std::uintptr_t kSmallImageList = 0x51C0;
    // Window identity of the application window.
    static constexpr platform::WindowId kApplicationWindow = 1;

    SimBackend();
    ~SimBackend() override;
    SimBackend(const SimBackend&) = delete;
    SimBackend& operator=(const SimBackend&) = delete;

    // --- driving -------------------------------------------------------
    // The next form shown modally must have this caption; the script runs
    // as its modal loop starts. Scripts are used in the order given.
    void ExpectModal(const std::string& caption, std::function<void(Driver&)> script);
    // The answer of the next message box.
    void AnswerMessageBox(int answer);
    Driver Drive(Form& form) { return Driver(*this, form); }
    // Measures and paints every item of a combo box, as its list drops down.
    std::vector<PaintedItem> DropDown(ComboBox& combo);
    // Simulated time a round of message processing takes when nothing was
    // due (so that polling loops on the tick count make progress); 1 ms
    // unless set. It passes through the platform's sleep, unless a test
    // names another way to move its clock (so that the platform's record of
    // sleeps holds only the program's own).
    void SetIdleStep(std::uint32_t milliseconds) { idleStep_ = milliseconds; }
    void SetIdleClock(std::function<void(std::uint32_t)> pass) { idleClock_ = std::move(pass); }
    // For runs whose boxes and dialogs cannot be known in advance (fault
    // sweeps): from now on a message box with no scripted answer gets its
    // default button, and a modal form with no script gets `script`, instead
    // of failing the test. Both are still recorded (MessageBoxes(),
    // ShownForms()); UnscriptedModals() names the forms answered so.
    void AnswerUnscriptedBoxesWithDefault() { defaultAnswers_ = true; }
    void AnswerUnscriptedModals(std::function<void(Driver&)> script) {
        unscriptedModal_ = std::move(script);
    }
    const std::vector<std::string>& UnscriptedModals() const { return unscriptedModals_; }

    // --- reading -------------------------------------------------------
    // The forms on screen now, in the order they were shown.
    std::vector<FormView> Screen() const;
    // Every showing of a form, as the form looked when shown.
    const std::vector<FormView>& ShownForms() const { return shown_; }
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return boxes_; }
    const std::vector<PaintRecord>& Painted() const { return painted_; }
    const std::vector<platform::WindowId>& ForegroundRequests() const { return foreground_; }
    int UnlockCount() const { return unlocks_; }
    const std::string& ApplicationTitle() const { return appTitle_; }

    // --- Backend -------------------------------------------------------
    platform::WindowId CreateApplicationWindow(const std::string& title) override;
    void SetApplicationTitle(const std::string& title) override;
    void ShowForm(Form& form) override;
    void HideForm(Form& form) override;
    void DestroyForm(Form& form) override;
    void ControlChanged(Control& control) override;
    void RunModal(Form& form) override;
    void RunMainLoop(Form& mainForm) override;
    void ProcessMessages() override;
    void StartTimer(Timer& timer) override;
    void StopTimer(Timer& timer) override;
    int MessageBox(platform::WindowId owner, const std::string& text, const std::string& caption,
                   std::uint32_t flags) override;
    platform::WindowId LastActivePopup(platform::WindowId window) override;
    bool IsVisibleAndEnabled(platform::WindowId window) override;
    void SetForegroundWindow(platform::WindowId window) override;
    void LockWindowUpdate(platform::WindowId window) override;
    std::uintptr_t SystemSmallImageList() override { return kSmallImageList; }

    // Fails the running test with `what` and terminates the application so
    // that every loop ends.
    void Fail(const std::string& what);

private:
    struct Script {
        std::string caption;
        std::function<void(Driver&)> run;
    };
    struct RunningTimer {
        Timer* timer;
        std::uint32_t start;  // tick count when the current interval began
    };
    RunningTimer* FindTimer(Timer* timer);

    void CreatePeers(Control& control);
    void RunScript(Form& form);
    // Fires the timers that are due; true when one fired.
    bool FireDueTimers();
    // Lets the clock run to the next timer; false when none runs.
    bool AdvanceToNextTimer();
    // Serves a loop until `done`; `what` names the loop in a failure.
    void Serve(const std::function<bool()>& done, const std::string& what);
    void Paint();
    Form* FormOf(platform::WindowId window) const;

    Backend* previous_;
    platform::WindowId nextWindow_ = kApplicationWindow + 1;
    std::string appTitle_;
    std::vector<Form*> visible_;    // in the order shown
    std::set<Form*> created_;       // forms whose peers exist
    std::set<Form*> disabled_;      // forms a modal loop disabled
    std::vector<Control*> dirty_;   // captions changed since the last paint
    std::map<Control*, std::string> paintedCaptions_;
    std::vector<RunningTimer> timers_;  // in the order started
    std::deque<Script> scripts_;
    std::deque<int> answers_;
    std::vector<FormView> shown_;
    std::vector<MessageBoxRecord> boxes_;
    std::vector<PaintRecord> painted_;
    std::vector<platform::WindowId> foreground_;
    int unlocks_ = 0;
    std::uint32_t idleStep_ = 1;
    std::function<void(std::uint32_t)> idleClock_;
    std::uint64_t idleRounds_ = 0;
    bool defaultAnswers_ = false;
    std::function<void(Driver&)> unscriptedModal_;
    std::vector<std::string> unscriptedModals_;
};

}  // namespace toolkit::sim
