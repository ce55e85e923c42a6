// The start-up sequence: the phases in their fixed order, the program-name
// gates, the first checkpoint of each phase, and the catch-all handler
// around phases 2 to 25.
#include <exception>
#include <iterator>

#include "common/DataLock.h"
#include "common/Messages.h"
#include "common/StartupLog.h"
#include "startup/StartupSequence.h"

#include "startup/Main_DataModules.h"
#include "startup/Phases.h"

namespace {

void EndOfGuardedPhases(TFRM_Main_DataModules&) {}
void StartUpComplete(TFRM_Main_DataModules&) { Checkpoint(9.999L); }

// Three numbers occur twice (9.1, 9.2, 9.3): the later ones stand for 9.10,
// 9.20 and 9.30, which the log writes alike.
const StartupPhase kPhases[] = {
    {1, 9.1L, false, false, ReadAutoStartSettings},
    {2, std::nullopt, true, false, RegisterAutoStart},
    {3, 9.2L, true, false, FixRegionalFormats},
    {4, 9.3L, true, false, ReadMachineSettings},
    {5, std::nullopt, true, false, GuardSystemDate},
    {6, 9.8L, true, false, ChooseDataDrive},
    {7, 9.9L, true, false, NormaliseDataRoot},
    {8, 9.1L, true, false, SelectSiteDrive},
    {9, 9.11L, true, false, HandleNetworkDrive},
    {10, 9.12L, true, false, AppendInstallFolder},
    {11, 9.13L, true, false, CheckPracticeFolder},
    {12, 9.14L, true, false, TakeDataLock},
    {13, 9.141L, true, false, OpenPracticeSettings},
    {14, 9.1411L, true, false, HandOverToVersion6},
    {15, 9.1414L, true, false, KeepPracticeSettings},
    {16, 9.15L, true, false, ProvisionFolderTree},
    {17, 9.16L, true, false, OpenPracticeDatabase},
    {18, 9.25L, true, false, SyncClaimEntry},
    {19, std::nullopt, true, true, AddClaimFromUsers},
    {20, 9.27L, true, true, ProbeTables},
    {21, std::nullopt, true, true, OfferDemoDatabase},
    {22, std::nullopt, true, false, CopyPrivateFeeTable},
    {23, 9.289L, true, false, ScheduleUpdates},
    {24, 9.29L, true, false, CopyBootProgram},
    {25, 9.3L, true, false, EndOfGuardedPhases},
    {26, 9.998L, false, false, StartUpComplete},
};

void RunPhase(const StartupPhase& phase, TFRM_Main_DataModules& module, bool packing) {
    if (phase.skippedWhenPacking && packing) return;
    if (phase.checkpoint) Checkpoint(*phase.checkpoint);
    phase.run(module);
}

// Any error a guarded phase does not handle itself ends the start-up.
[[noreturn]] void StopOnUnhandledError(const std::string& message) {
    ShowMessageBox("Unable to initialize program:\r\r" + message, toolkit::mb::kIconError);
    ReleaseDataLock();
    throw EStartupStop();
}

}  // namespace

const std::vector<StartupPhase>& StartupPhases() {
    static const std::vector<StartupPhase> phases(std::begin(kPhases), std::end(kPhases));
    return phases;
}

void RunStartupPhases(const std::vector<StartupPhase>& phases, TFRM_Main_DataModules& module) {
    const bool packing = IsPackingProgram();
    for (const StartupPhase& phase : phases) {
        if (!phase.guarded) {
            RunPhase(phase, module, packing);
            continue;
        }
        try {
            RunPhase(phase, module, packing);
        } catch (const EStartupStop&) {
            throw;
        } catch (const std::exception& error) {
            StopOnUnhandledError(error.what());
        } catch (...) {
            StopOnUnhandledError("Unknown error");
        }
    }
}

void TFRM_Main_DataModules::FRM_DataModulesCreate() { RunStartupPhases(StartupPhases(), *this); }
