#include "common/Messages.h"

#include "platform/Exception.h"
#include "platform/Platform.h"
#include "toolkit/Application.h"

int ShowMessageBox(const std::string& text, std::uint32_t flags) {
    toolkit::Application& application = toolkit::app();
    UnlockWindowUpdates();
    const platform::WindowId popup = application.LastActivePopup();
    if (popup != application.Handle() && application.IsVisibleAndEnabled(popup)) {
        application.SetForegroundWindow(popup);
    }
    return application.MessageBox(text, "Virelle", flags | kMessageBoxFrontFlags);
}

void StopWithMessage(std::string text) {
    UnlockWindowUpdates();
    if (!text.empty() && text.back() != '.') text += '.';
    ShowMessageBox(text, toolkit::mb::kIconWarning);
    toolkit::app().ProcessMessages();
    throw EAbort();
}

void UnlockWindowUpdates() { toolkit::app().UnlockWindowUpdates(); }

std::string SystemErrorText(std::uint32_t code, const std::string& insert) {
    std::string text = platform::system().formatMessage(code, insert).value_or("");
    while (!text.empty() &&
           (static_cast<unsigned char>(text.back()) < 33 || text.back() == '.')) {
        text.pop_back();
    }
    return text;
}
