// The thread's message loops, and the disabling of the application's
// windows while something modal runs.
#pragma once

#include <functional>
#include <vector>

#include "toolkit/win32/Win32.h"

namespace toolkit::win32 {

// Gets and dispatches messages until `done`; keyboard messages of a form
// go through IsDialogMessage, so Tab, Enter and Escape work as in a dialog.
// A WM_QUIT terminates the application.
void ServeUntil(const std::function<bool()>& done);
// Dispatches the messages waiting now.
void ServeWaiting();

// Disables the thread's visible, enabled top-level windows other than the
// ones named, for its lifetime; then enables them again and gives the
// activation back to the window that had it.
class OtherWindowsDisabled {
public:
    OtherWindowsDisabled(HWND keep, HWND alsoKeep);
    ~OtherWindowsDisabled();
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

private:
    static BOOL CALLBACK Collect(HWND window, LPARAM self) noexcept;

    HWND keep_, alsoKeep_;
    HWND active_;
    std::vector<HWND> disabled_;
};

}  // namespace toolkit::win32
