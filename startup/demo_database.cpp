// Phase 21: a practice without data is offered the demonstration database
// when its installer is on the machine. Nothing here stops the start-up:
// every error ends the offer silently.
#include "common/Dates.h"
#include "common/Launch.h"
#include "common/Messages.h"
#include "common/SystemHelpers.h"
#include "common/Variant.h"
#include "startup/Main_DataModules.h"
#include "startup/Phases.h"

namespace {

// No patients' or no users' table, or both empty. The tables are opened
// through objects of their own, closed again in every case.
bool PracticeHasNoData(engine::Database& vrl) {
    engine::Table patients(vrl);
    engine::Table users(vrl);
    patients.SetTableName("PATIENT");
    users.SetTableName("USER");
    if (!patients.Exists() || !users.Exists()) return true;
    patients.Open();
    users.Open();
    return patients.IsEmpty() && users.IsEmpty();
}

}  // namespace

void OfferDemoDatabase(TFRM_Main_DataModules& module) {
    try {
        const std::string installer = InstallRoot + "DemoDatabase.exe";
        if (!FileExists(installer)) return;
        if (!PracticeHasNoData(module.VRL)) return;
        const int answer = ShowMessageBox(
            "Install demonstration database?\r\n(recommended if evaluating software)",
            toolkit::mb::kYesNo | toolkit::mb::kIconQuestion);
        if (answer != toolkit::id::kYes) return;
        const auto process = ExecuteProgram(installer, "/AUTO /" + DateStamp(Today()));
        WaitForProcess(process.get());
    } catch (...) {
    }
}
