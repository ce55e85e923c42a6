#include <memory>

#include "common/EventLog.h"
#include "common/Messages.h"
#include "common/ProcessStart.h"
#include "common/StartupLog.h"
#include "installer/uSDR134.h"
#include "startup/Main_DataModules.h"
#include "toolkit/Application.h"

void ReportUnhandledError(const std::exception& error) {
    // Recorded first: the box may wait long for a user who is not there.
    LogEvent("Error", error.what());
    ShowMessageBox(error.what(), toolkit::mb::kIconError);
}

int RunInstaller() {
    if (!InitializeRuntime()) return 0;
    // The start-up module's unit is ready.
    Checkpoint(0.21L);

    toolkit::Application& application = toolkit::app();
    application.Initialize();
    application.SetTitle(kApplicationTitle);
    application.OnException = ReportUnhandledError;

    std::unique_ptr<TFRM_Main_DataModules> module;
    try {
        module = TFRM_Main_DataModules::Create();
    } catch (const EStartupStop&) {
        // The module has been destroyed on the way out; its handler ran.
        return 0;
    } catch (...) {
        application.HandleException(std::current_exception());
        return 0;
    }

    application.CreateForm<TForm1>();
    application.Run();
    application.DestroyForms();
    module.reset();
    return 0;
}
