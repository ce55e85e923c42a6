// Starting other programs of the suite: fire and forget, or with the new
// process to wait for while the program's windows stay responsive.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Exception.h"
#include "platform/Shell.h"

// A launch that had to report its failure; the message is the system's text
// for the error, naming the file where the text has a place for it.
class EExecAppError : public Exception {
public:
    using Exception::Exception;
};

// ShellExecuteExA's mask bit that keeps the shell from showing its own
// error box (SEE_MASK_FLAG_NO_UI).
constexpr std::uint32_t kShellNoErrorUi = 0x400;

// Starts the file through the shell with its default action. Failures are
// ignored. The texts are passed whole, whatever their length; the owner is
// the main form's window when a main form exists.
void RunProgram(const std::string& file, const std::string& parameters,
                const std::string& folder, int showCommand);

// Starts the file, shown normally, and returns the new process (null when
// the shell started nothing new). Its handle is closed when the returned
// object is destroyed. Raises EExecAppError when the shell cannot start it.
std::unique_ptr<platform::Process> ExecuteProgram(const std::string& file,
                                                  const std::string& parameters);

// Waits in 100 ms steps until the process ends, serving the application's
// messages between the steps; returns early when the application is told to
// terminate. A null process or a failing wait ends the wait at once.
void WaitForProcess(platform::Process* process);
