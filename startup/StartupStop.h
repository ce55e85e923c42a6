// Ending the program during the start-up. A stop shows its message (if any)
// and unwinds to the program entry, which destroys the data module (its
// destroy handler runs) and ends the process with exit code 0.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Exception.h"
#include "toolkit/Application.h"

// Raised by a stop once its message has been shown; only the program entry
// catches it.
class EStartupStop : public Exception {
public:
    EStartupStop() : Exception("Start-up stopped") {}
};

// Shows `message` through ShowMessageBox with `flags` unless it is empty,
// then raises EStartupStop.
[[noreturn]] void StopStartup(const std::string& message = std::string(),
                              std::uint32_t flags = toolkit::mb::kIconError);
