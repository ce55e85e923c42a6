#include "toolkit/Application.h"

#include <algorithm>

#include "platform/Exception.h"
#include "toolkit/Backend.h"
#include "toolkit/Controls.h"

namespace toolkit {

Application::Application() = default;

Application::~Application() = default;

Application& app() {
    static Application application;
    return application;
}

Backend& Application::backend() const { return CurrentBackend(); }

void Application::Initialize() { Handle(); }

void Application::SetTitle(const std::string& title) {
    title_ = title;
    if (handle_ != 0) backend().SetApplicationTitle(title_);
}

platform::WindowId Application::Handle() {
    if (handle_ == 0) handle_ = backend().CreateApplicationWindow(title_);
    return handle_;
}

void Application::Adopt(std::unique_ptr<Form> form) {
    Form* raw = form.get();
    forms_.push_back(std::move(form));
    // As in the VCL, the form's creation runs before it can become the
    // main form.
    raw->DoCreate();
    if (mainForm_ == nullptr) mainForm_ = raw;
}

void Application::Run() {
    if (terminated_ || mainForm_ == nullptr) return;
    mainForm_->Show();
    if (terminated_ || mainForm_->Closed()) return;
    backend().RunMainLoop(*mainForm_);
}

void Application::ProcessMessages() { backend().ProcessMessages(); }

void Application::Terminate() { terminated_ = true; }

platform::WindowId Application::LastActivePopup() {
    return backend().LastActivePopup(Handle());
}

bool Application::IsVisibleAndEnabled(platform::WindowId window) {
    return backend().IsVisibleAndEnabled(window);
}

void Application::SetForegroundWindow(platform::WindowId window) {
    backend().SetForegroundWindow(window);
}

void Application::UnlockWindowUpdates() { backend().LockWindowUpdate(0); }

int Application::MessageBox(const std::string& text, const std::string& caption,
                            std::uint32_t flags) {
    return backend().MessageBox(Handle(), text, caption, flags);
}

void Application::Report(const std::exception& error) noexcept {
    if (OnException) {
        try {
            OnException(error);
            return;
        } catch (...) {
            // The installed reporter failed; the default one speaks instead.
        }
    }
    try {
        MessageBox(error.what(), title_, mb::kOk | mb::kIconError);
    } catch (...) {
        // Nothing is left to tell the user with; the error is lost.
    }
}

void Application::HandleException(std::exception_ptr error) noexcept {
    if (!error) return;
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        // The silent abort: the operation has ended, nobody is told.
    } catch (const std::exception& e) {
        Report(e);
    } catch (...) {
        Report(Exception("An error of unknown kind occurred"));
    }
}

void Application::DestroyForms() {
    // Last created first, so the main form goes last.
    while (!forms_.empty()) {
        std::unique_ptr<Form> form = std::move(forms_.back());
        forms_.pop_back();
        if (form.get() == mainForm_) mainForm_ = nullptr;
        form->DoDestroy();
        form.reset();
    }
    mainForm_ = nullptr;
}

void Application::Reset() {
    DestroyForms();
    title_.clear();
    handle_ = 0;
    terminated_ = false;
    OnException = nullptr;
}

}  // namespace toolkit
