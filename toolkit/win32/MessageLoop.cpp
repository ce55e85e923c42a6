#include "toolkit/win32/MessageLoop.h"

#include "toolkit/Application.h"
#include "toolkit/win32/FormWindow.h"

namespace toolkit::win32 {

namespace {

void Dispatch(MSG& message) {
    if (message.hwnd != nullptr) {
        HWND root = GetAncestor(message.hwnd, GA_ROOT);
        if (FormWindow::FromWindow(root) != nullptr && IsDialogMessageA(root, &message)) return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

}  // namespace

void ServeUntil(const std::function<bool()>& done) {
    MSG message;
    while (!done()) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            app().Terminate();
            return;
        }
        Dispatch(message);
    }
}

void ServeWaiting() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            app().Terminate();
            return;
        }
        Dispatch(message);
    }
}

OtherWindowsDisabled::OtherWindowsDisabled(HWND keep, HWND alsoKeep)
    : keep_(keep), alsoKeep_(alsoKeep), active_(GetActiveWindow()) {
    EnumThreadWindows(GetCurrentThreadId(), &OtherWindowsDisabled::Collect,
                      reinterpret_cast<LPARAM>(this));
    for (HWND window : disabled_) EnableWindow(window, FALSE);
}

OtherWindowsDisabled::~OtherWindowsDisabled() {
    for (HWND window : disabled_)
        if (IsWindow(window)) EnableWindow(window, TRUE);
    if (active_ != nullptr && IsWindow(active_) && IsWindowVisible(active_)) SetActiveWindow(active_);
}

BOOL CALLBACK OtherWindowsDisabled::Collect(HWND window, LPARAM self) noexcept {
    auto* guard = reinterpret_cast<OtherWindowsDisabled*>(self);
    if (window != guard->keep_ && window != guard->alsoKeep_ && IsWindowVisible(window) &&
        IsWindowEnabled(window)) {
        try {
            guard->disabled_.push_back(window);
        } catch (...) {
            return FALSE;  // out of memory: leave the rest enabled
        }
    }
    return TRUE;
}

}  // namespace toolkit::win32
