// The seam between the widget model and a windowing system. The Win32
// backend makes real windows; the simulated backend is headless and lets
// tests read and drive what is on screen.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace toolkit {

class Control;
class Form;
class Timer;

class Backend {
public:
    virtual ~Backend() = default;

    // The hidden application window.
    virtual platform::WindowId CreateApplicationWindow(const std::string& title) = 0;
    virtual void SetApplicationTitle(const std::string& title) = 0;

    // Makes the form's window and those of its controls (calling each
    // combo box's CreateWnd) unless they exist, and shows it.
    virtual void ShowForm(Form& form) = 0;
    virtual void HideForm(Form& form) = 0;
    virtual void DestroyForm(Form& form) = 0;
    // A control's visible state changed (caption, bounds, items, selection).
    virtual void ControlChanged(Control& control) = 0;

    // Serves messages until the form's ModalResult is set or the
    // application terminates; the application's other windows are disabled
    // meanwhile.
    virtual void RunModal(Form& form) = 0;
    // Serves messages until the main form is closed or the application
    // terminates.
    virtual void RunMainLoop(Form& mainForm) = 0;
    // Handles the messages waiting now.
    virtual void ProcessMessages() = 0;

    virtual void StartTimer(Timer& timer) = 0;
    virtual void StopTimer(Timer& timer) = 0;

    // A message box owned by `owner` that all the application's windows wait
    // for and that comes to the front even when the program was started
    // hidden. `flags` are the caller's MB_* flags.
    virtual int MessageBox(platform::WindowId owner, const std::string& text,
                           const std::string& caption, std::uint32_t flags) = 0;
    virtual platform::WindowId LastActivePopup(platform::WindowId window) = 0;
    virtual bool IsVisibleAndEnabled(platform::WindowId window) = 0;
    virtual void SetForegroundWindow(platform::WindowId window) = 0;
    virtual void LockWindowUpdate(platform::WindowId window) = 0;

    // The shell's system image list of small icons (for owner-drawn items).
    virtual std::uintptr_t SystemSmallImageList() = 0;
};

// The installed backend; using it before one is installed is a programming
// error and aborts. Installing returns the one it replaces.
Backend& CurrentBackend();
Backend* InstallBackend(Backend* backend);

}  // namespace toolkit
