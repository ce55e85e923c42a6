// The application object: title, main form, message processing, the
// terminated flag, message boxes and the handler for errors that no event
// handler catches. One per process, reached through app().
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace toolkit {

class Backend;
class Form;

// MessageBox flags and results (MB_* and ID* values).
namespace mb {
constexpr std::uint32_t kOk = 0x0;
constexpr std::uint32_t kYesNo = 0x4;
constexpr std::uint32_t kIconError = 0x10;
constexpr std::uint32_t kIconQuestion = 0x20;
constexpr std::uint32_t kIconWarning = 0x30;       // MB_ICONEXCLAMATION
constexpr std::uint32_t kIconInformation = 0x40;
constexpr std::uint32_t kTaskModal = 0x2000;
constexpr std::uint32_t kSetForeground = 0x10000;
constexpr std::uint32_t kTopMost = 0x40000;
}  // namespace mb
namespace id {
constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kYes = 6;
constexpr int kNo = 7;
}  // namespace id

class Application {
public:
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Creates the hidden application window through the installed backend.
    void Initialize();

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);

    // The hidden application window (owner of forms and message boxes),
    // made on first use: message boxes may come before Initialize.
    platform::WindowId Handle();

    // Takes ownership of a form and runs its creation (OnCreate). The first
    // form created becomes the main form.
    template <class F>
    F* CreateForm() {
        auto form = std::make_unique<F>();
        F* raw = form.get();
        Adopt(std::move(form));
        return raw;
    }
    Form* MainForm() const { return mainForm_; }

    // Shows the main form and serves messages until it closes or Terminate.
    void Run();
    // Handles every message that is waiting, then returns.
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return terminated_; }

    // The window GetLastActivePopup reports for the application window
    // (the application window itself when it has no pop-up).
    platform::WindowId LastActivePopup();
    // IsWindowVisible and IsWindowEnabled.
    bool IsVisibleAndEnabled(platform::WindowId window);
    void SetForegroundWindow(platform::WindowId window);
    // LockWindowUpdate(nullptr).
    void UnlockWindowUpdates();

    // A system message box owned by the application window, modal to all
    // of the application's windows. Returns the button pressed.
    int MessageBox(const std::string& text, const std::string& caption, std::uint32_t flags);

    // Reports an error that no handler caught (Application.HandleException).
    // The silent abort error is swallowed; others go to OnException, or to
    // the default reporter: a message box with the error's message, the
    // application title as caption and MB_ICONERROR. An error raised by
    // OnException itself is reported by the default reporter. Never throws.
    void HandleException(std::exception_ptr error) noexcept;
    std::function<void(const std::exception&)> OnException;

    // Destroys every form (main form last), as the end of the process does.
    void DestroyForms();
    // Destroys every form and forgets title, window, handler and the
    // terminated flag: the state of a new process, for a test that installs
    // a fresh backend.
    void Reset();

    Backend& backend() const;

private:
    void Adopt(std::unique_ptr<Form> form);

    void Report(const std::exception& error) noexcept;

    std::string title_;
    platform::WindowId handle_ = 0;
    std::vector<std::unique_ptr<Form>> forms_;
    Form* mainForm_ = nullptr;
    bool terminated_ = false;
};

// The process's application object.
Application& app();

// Runs an event handler; an error it raises goes to the application's
// unhandled-error handler instead of unwinding into the message loop.
template <class Handler>
void RunGuarded(Handler&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        app().HandleException(std::current_exception());
    }
}

}  // namespace toolkit
