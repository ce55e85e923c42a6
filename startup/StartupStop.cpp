#include "startup/StartupStop.h"

#include "common/Messages.h"

void StopStartup(const std::string& message, std::uint32_t flags) {
    if (!message.empty()) ShowMessageBox(message, flags);
    throw EStartupStop();
}
