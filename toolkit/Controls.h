// The retained widget model: forms and the controls they hold. Each control
// keeps its state here, in portable code; the installed Backend gives it a
// peer (a real window on Win32, a headless record in the simulation) and
// routes events back to the handlers below.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace toolkit {

class Form;

// System colours (clBtnFace, clWindowText: COLOR_* | 0x80000000).
namespace color {
constexpr std::uint32_t kBtnFace = 0x8000000F;
constexpr std::uint32_t kWindowText = 0x80000008;
constexpr std::uint32_t kWindow = 0x80000005;
constexpr std::uint32_t kSystemFlag = 0x80000000;
}  // namespace color

// Modal results (mrOk, mrCancel ... as the button identifiers).
namespace modal {
constexpr int kNone = 0;
constexpr int kOk = 1;
constexpr int kCancel = 2;
}  // namespace modal

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct Font {
    std::string name = "MS Sans Serif";
    int height = -11;  // pixels; -11 is 8 point at 96 pixels per inch
    std::uint32_t color = color::kWindowText;
};

enum class ControlKind { Form, Label, Button, ListBox, GroupBox, ComboBox };

class Control {
public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    virtual ControlKind Kind() const = 0;

    const std::string& Name() const { return name_; }
    Control* Parent() const { return parent_; }
    // The form this control sits on (the form itself for a form).
    Form* OwnerForm();
    const Form* OwnerForm() const;
    // Children in creation order.
    const std::vector<Control*>& Children() const { return children_; }

    // Bounds relative to the parent's client area.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBounds(int left, int top, int width, int height);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int order) { tabOrder_ = order; }

    // The peer's window (0 while none exists).
    platform::WindowId Handle() const { return handle_; }
    void SetHandle(platform::WindowId handle) { handle_ = handle; }

protected:
    Control(Control* parent, std::string name);
    // Tells the backend that visible state changed (once a peer exists).
    void Changed();

private:
    std::string name_;
    Control* parent_;
    std::vector<Control*> children_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::string caption_;
    int tabOrder_ = 0;
    platform::WindowId handle_ = 0;
};

class Label : public Control {
public:
    Label(Control* parent, std::string name);
    ControlKind Kind() const override { return ControlKind::Label; }
    bool wordWrap = false;
    bool transparent = false;
    // Backends that measure text fit the label's window to its caption
    // (keeping the width when it wraps); the model's bounds stay as set.
    bool autoSize = true;
};

class Button : public Control {
public:
    Button(Control* parent, std::string name);
    ControlKind Kind() const override { return ControlKind::Button; }
    bool isDefault = false;  // answers Enter
    bool isCancel = false;   // answers Escape
    int modalResult = modal::kNone;
    std::function<void()> OnClick;
    // What a click does: OnClick, then the modal result given to the form.
    // An error in OnClick ends the click (the modal result is not set) and
    // goes to the application's unhandled-error handler.
    void Click();
};

class ListBox : public Control {
public:
    ListBox(Control* parent, std::string name);
    ControlKind Kind() const override { return ControlKind::ListBox; }
    const std::vector<std::string>& Items() const { return items_; }
    void AddItem(const std::string& text);
    void ClearItems();
    int ItemIndex() const { return itemIndex_; }
    // An index outside the list selects nothing (-1).
    void SetItemIndex(int index);

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

class GroupBox : public Control {
public:
    GroupBox(Control* parent, std::string name);
    ControlKind Kind() const override { return ControlKind::GroupBox; }
};

// What an owner-drawn item is painted on. Win32 wraps the DC of
// WM_DRAWITEM; the simulation records the calls.
class Canvas {
public:
    virtual ~Canvas() = default;
    // Fills with the brush the toolkit prepared for the item's state.
    virtual void FillRect(const Rect& rect) = 0;
    // ImageList_Draw of `image` from the image list `list` (ILD_TRANSPARENT).
    virtual void DrawImage(std::uintptr_t list, int image, int x, int y) = 0;
    // DrawTextA with the given DT_* flags.
    virtual void DrawText(const std::string& text, const Rect& rect, std::uint32_t flags) = 0;
};

namespace dt {
constexpr std::uint32_t kVCenter = 0x4;
constexpr std::uint32_t kSingleLine = 0x20;
constexpr std::uint32_t kNoPrefix = 0x800;
}  // namespace dt

// The shell's system image list of small icons; it belongs to the shell and
// is shared, never destroyed.
std::uintptr_t SystemSmallImageList();

// A drop-down list combo box, owner-drawn with fixed item height. Each item
// holds a text and one pointer-sized value. Derived classes build the list
// when the window is created and paint and measure the items.
class ComboBox : public Control {
public:
    ComboBox(Control* parent, std::string name);
    ControlKind Kind() const override { return ControlKind::ComboBox; }

    struct Item {
        std::string text;
        std::intptr_t data = 0;
    };
    const std::vector<Item>& Items() const { return items_; }
    void AddItem(const std::string& text, std::intptr_t data);
    void ClearItems();
    int ItemIndex() const { return itemIndex_; }
    // An index outside the list selects nothing (-1).
    void SetItemIndex(int index);

    // Called by the backend as the control's window is created, before
    // the list is shown; the base does nothing.
    virtual void CreateWnd() {}
    // Item height for an item (-1 is the edit field).
    virtual int MeasureItem(int index) { (void)index; return 16; }
    virtual void DrawItem(int index, Canvas& canvas, const Rect& rect) {
        (void)index; (void)canvas; (void)rect;
    }
    // The user picked an item (CBN_SELCHANGE); ItemIndex has already moved.
    virtual void Click() {}

    // What the backends call. Errors in the overridden handlers go to the
    // unhandled-error handler; a failed measure answers the default height.
    int ItemHeight(int index);
    void PaintItem(int index, Canvas& canvas, const Rect& rect);
    void PickItem(int index);

private:
    std::vector<Item> items_;
    int itemIndex_ = -1;
};

enum class BorderStyle { Sizeable, Dialog, Single, None };
enum class Position { Designed, ScreenCenter };

struct BorderIcons {
    bool systemMenu = true;
    bool minimize = true;
    bool maximize = true;
};

class Timer;

class Form : public Control {
public:
    explicit Form(std::string name);
    ~Form() override;
    ControlKind Kind() const override { return ControlKind::Form; }

    // Read by the backend when the window is made; set them before showing.
    BorderStyle borderStyle = BorderStyle::Sizeable;
    BorderIcons borderIcons;
    Position position = Position::Designed;
    std::uint32_t color = color::kBtnFace;
    Font font;

    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    void SetClientSize(int width, int height);
    // Whether the frame has a close box (the system menu's).
    bool HasCloseBox() const;

    std::function<void()> OnCreate;
    std::function<void()> OnShow;
    std::function<void()> OnDestroy;

    // Creates a control owned by this form; `parent` is this form or a
    // control of it. Controls are added before the form is first shown.
    template <class C>
    C* Add(Control* parent, std::string name) {
        auto control = std::make_unique<C>(parent, std::move(name));
        C* raw = control.get();
        owned_.push_back(std::move(control));
        return raw;
    }
    Timer* AddTimer(std::string name);
    const std::vector<std::unique_ptr<Timer>>& Timers() const { return timers_; }

    // Runs OnCreate (Application::CreateForm calls it). Errors in the
    // handler are reported, not raised.
    void DoCreate();
    // Runs OnDestroy once. Application::DestroyForms calls it before
    // deleting; the destructor calls it for forms nobody did that for.
    void DoDestroy();

    // Makes the window and shows it, then runs OnShow.
    void Show();
    bool Visible() const { return visible_; }
    bool Modal() const { return modal_; }
    // Shows the form modally and serves messages until ModalResult is set,
    // the form is closed or the application terminates; returns the result
    // (kCancel when closed or terminated).
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    // Closes the form: a modal form ends its loop with kCancel; any other
    // form is hidden, and closing the main form terminates the application.
    void Close();
    bool Closed() const { return closed_; }

    // Enter and Escape as the backend reports them: they click the default
    // or the cancel button, when there is one.
    void PressEnter();
    void PressEscape();

private:
    Button* FindButton(bool Button::*role);

    std::vector<std::unique_ptr<Control>> owned_;
    std::vector<std::unique_ptr<Timer>> timers_;
    int clientWidth_ = 0, clientHeight_ = 0;
    bool visible_ = false;
    bool closed_ = false;
    bool modal_ = false;
    bool destroyed_ = false;
    int modalResult_ = modal::kNone;
};

// A message-driven timer on the window's thread (WM_TIMER). It runs while
// enabled, whether or not its form is shown.
class Timer {
public:
    Timer(Form* owner, std::string name);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const std::string& Name() const { return name_; }
    Form* Owner() const { return owner_; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    std::uint32_t Interval() const { return interval_; }
    // Restarts the count when the timer runs.
    void SetInterval(std::uint32_t milliseconds);
    std::function<void()> OnTimer;
    // What a tick does; errors go to the unhandled-error handler.
    void Fire();

private:
    Form* owner_;
    std::string name_;
    bool enabled_ = false;
    std::uint32_t interval_ = 1000;
};

}  // namespace toolkit
