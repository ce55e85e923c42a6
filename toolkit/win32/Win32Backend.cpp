#include "toolkit/win32/Win32Backend.h"

#include <map>
#include <memory>

#include "platform/Exception.h"
#include "toolkit/Application.h"
#include "toolkit/Backend.h"
#include "toolkit/Controls.h"
#include "toolkit/win32/FormWindow.h"
#include "toolkit/win32/Handles.h"
#include "toolkit/win32/MessageLoop.h"
#include "toolkit/win32/Win32.h"

namespace toolkit::win32 {

namespace {

constexpr char kApplicationClass[] = "ToolkitApplication";

class Win32Backend : public Backend {
public:
    Win32Backend() { InitCommonControls(); }

    platform::WindowId CreateApplicationWindow(const std::string& title) override;
    void SetApplicationTitle(const std::string& title) override {
        SetWindowTextA(appWindow_.get(), title.c_str());
    }

    void ShowForm(Form& form) override;
    void HideForm(Form& form) override;
    void DestroyForm(Form& form) override { peers_.erase(&form); }
    void ControlChanged(Control& control) override {
        if (FormWindow* peer = PeerOf(control.OwnerForm())) peer->Update(control);
    }

    void RunModal(Form& form) override;
    void RunMainLoop(Form& mainForm) override {
        ServeUntil([&] { return app().Terminated() || mainForm.Closed(); });
    }
    void ProcessMessages() override { ServeWaiting(); }

    void StartTimer(Timer& timer) override;
    void StopTimer(Timer& timer) override;

    int MessageBox(platform::WindowId owner, const std::string& text, const std::string& caption,
                   std::uint32_t flags) override;
    platform::WindowId LastActivePopup(platform::WindowId window) override {
        return AsId(GetLastActivePopup(AsWindow(window)));
    }
    bool IsVisibleAndEnabled(platform::WindowId window) override {
        return IsWindowVisible(AsWindow(window)) && IsWindowEnabled(AsWindow(window));
    }
    void SetForegroundWindow(platform::WindowId window) override {
        ::SetForegroundWindow(AsWindow(window));
    }
    void LockWindowUpdate(platform::WindowId window) override {
        ::LockWindowUpdate(AsWindow(window));
    }
    std::uintptr_t SystemSmallImageList() override;

private:
    static LRESULT CALLBACK ApplicationProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) noexcept;
    FormWindow* PeerOf(const Form* form) {
        auto found = peers_.find(form);
        return found != peers_.end() ? found->second.get() : nullptr;
    }
    void OnTimer(UINT_PTR id);

    UniqueWindow appWindow_;
    std::map<const Form*, std::unique_ptr<FormWindow>> peers_;
    // The window that was active before a modal form showed, to get the
    // activation back when it hides.
    std::map<const Form*, HWND> activeBefore_;
    std::map<const Timer*, UINT_PTR> timerIds_;
    UINT_PTR nextTimerId_ = 1;
    std::uintptr_t smallImages_ = 0;
};

platform::WindowId Win32Backend::CreateApplicationWindow(const std::string& title) {
    if (appWindow_) return AsId(appWindow_.get());
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &Win32Backend::ApplicationProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kApplicationClass;
    RegisterClassA(&windowClass);
    // Never shown: it owns the forms and the message boxes, and being owned
    // keeps them from taking on the hidden start of a launched program.
    appWindow_.reset(CreateWindowExA(0, kApplicationClass, title.c_str(),
                                     WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0,
                                     0, nullptr, nullptr, GetModuleHandleA(nullptr), this));
    if (!appWindow_) throw Exception("The application window could not be created");
    return AsId(appWindow_.get());
}

LRESULT CALLBACK Win32Backend::ApplicationProcedure(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM lParam) noexcept {
    try {
        if (message == WM_NCCREATE) {
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<Win32Backend*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == WM_TIMER && self != nullptr) {
            self->OnTimer(wParam);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    } catch (...) {
        app().HandleException(std::current_exception());
        return 0;
    }
}

void Win32Backend::ShowForm(Form& form) {
    FormWindow* peer = PeerOf(&form);
    if (peer == nullptr) {
        auto made = std::make_unique<FormWindow>(form, AsWindow(app().Handle()));
        peer = made.get();
        peers_[&form] = std::move(made);
    }
    if (form.Modal()) activeBefore_[&form] = GetActiveWindow();
    peer->Show();
}

void Win32Backend::HideForm(Form& form) {
    if (FormWindow* peer = PeerOf(&form)) peer->Hide();
    auto before = activeBefore_.find(&form);
    if (before == activeBefore_.end()) return;
    HWND previous = before->second;
    activeBefore_.erase(before);
    if (previous != nullptr && IsWindow(previous) && IsWindowVisible(previous)) SetActiveWindow(previous);
}

void Win32Backend::RunModal(Form& form) {
    FormWindow* peer = PeerOf(&form);
    if (peer == nullptr) return;
    const OtherWindowsDisabled others(peer->Window(), appWindow_.get());
    ServeUntil([&] { return form.ModalResult() != modal::kNone || app().Terminated(); });
}

void Win32Backend::StartTimer(Timer& timer) {
    auto found = timerIds_.find(&timer);
    const UINT_PTR id = found != timerIds_.end() ? found->second : nextTimerId_++;
    timerIds_[&timer] = id;
    // The same identifier again restarts the count.
    SetTimer(AsWindow(app().Handle()), id, timer.Interval(), nullptr);
}

void Win32Backend::StopTimer(Timer& timer) {
    auto found = timerIds_.find(&timer);
    if (found == timerIds_.end()) return;
    KillTimer(appWindow_.get(), found->second);
    timerIds_.erase(found);
}

void Win32Backend::OnTimer(UINT_PTR id) {
    for (const auto& [timer, timerId] : timerIds_) {
        if (timerId != id) continue;
        const_cast<Timer*>(timer)->Fire();
        return;
    }
}

int Win32Backend::MessageBox(platform::WindowId owner, const std::string& text,
                             const std::string& caption, std::uint32_t flags) {
    // MB_TASKMODAL disables the thread's windows only for a box without an
    // owner; this box has one, so the other windows are disabled here.
    const OtherWindowsDisabled others(AsWindow(owner), nullptr);
    return MessageBoxA(AsWindow(owner), text.c_str(), caption.c_str(), flags | MB_SETFOREGROUND);
}

std::uintptr_t Win32Backend::SystemSmallImageList() {
    if (smallImages_ == 0) {
        SHFILEINFOA info{};
        smallImages_ = static_cast<std::uintptr_t>(SHGetFileInfoA(
            "*.*", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    }
    return smallImages_;
}

}  // namespace

void InstallWin32Backend() {
    // Left alive to the end: forms destroyed during the process's exit
    // still reach it.
    static Win32Backend* const backend = new Win32Backend;
    InstallBackend(backend);
}

}  // namespace toolkit::win32
