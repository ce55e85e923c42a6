#include "common/Launch.h"

#include "common/Messages.h"
#include "platform/Platform.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"

void RunProgram(const std::string& file, const std::string& parameters,
                const std::string& folder, int showCommand) {
    const toolkit::Form* mainForm = toolkit::app().MainForm();
    const platform::WindowId owner = mainForm != nullptr ? mainForm->Handle() : 0;
    platform::shell().execute(owner, file, parameters, folder, showCommand);
}

std::unique_ptr<platform::Process> ExecuteProgram(const std::string& file,
                                                  const std::string& parameters) {
    // Without the no-UI bit the shell shows a modal error box of its own,
    // which nobody answers in a hidden run; the error is reported here.
    platform::ExecuteResult result = platform::shell().executeEx(
        toolkit::app().Handle(), file, parameters, platform::show::kNormal, kShellNoErrorUi);
    if (!result.ok) throw EExecAppError(SystemErrorText(result.lastError, file));
    return std::move(result.process);
}

void WaitForProcess(platform::Process* process) {
    if (process == nullptr) return;
    toolkit::Application& application = toolkit::app();
    while (process->wait(100) == platform::wait::kTimeout) {
        application.ProcessMessages();
        if (application.Terminated()) return;
    }
}
