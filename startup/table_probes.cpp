// Phase 20, the table probes: the main programs open two central tables
// once, so that a damaged one is reported at start-up with the advice to
// pack the databases. Phase 22: the private fee table's copy in Bin.
#include "common/DataLock.h"
#include "common/Messages.h"
#include "common/StartupLog.h"
#include "common/SystemHelpers.h"
#include "common/Variant.h"
#include "engine/EngineError.h"
#include "platform/Platform.h"
#include "startup/Main_DataModules.h"
#include "startup/Phases.h"

namespace {

void Probe(engine::Table& check, const char* tableName) {
    check.SetTableName(tableName);
    if (check.Exists()) check.Open();
    check.Close();
}

}  // namespace

void ProbeTables(TFRM_Main_DataModules& module) {
    if (!IsMainProgram()) return;
    engine::Table& check = module.Check_Table;
    try {
        Probe(check, "Patient.DB");
        Probe(check, "TRT_CTL.DB");
        Checkpoint(9.28L);
    } catch (const engine::EDBEngineError& error) {
        check.Close();
        ShowMessageBox("Please run the 'Pack Databases' application.\r\r" + std::string(error.what()) +
                           "\r\r" + check.TableName(),
                       toolkit::mb::kIconError);
        module.VRL.Close();
        ReleaseDataLock();
        StopStartup();
    }
}

void CopyPrivateFeeTable(TFRM_Main_DataModules&) {
    // Made once, never refreshed; a failed copy goes unnoticed.
    const std::string source = DataRoot + "Data\\PRV_FEE.DB";
    const std::string copy = DataRoot + "Bin\\PRV_FEE.DB";
    if (FileExists(source) && !FileExists(copy)) platform::files().copyFile(source, copy, true);
}
