// The phase table of the start-up sequence and the loop that runs it.
#pragma once

#include <optional>
#include <vector>

class TFRM_Main_DataModules;

struct StartupPhase {
    int number;
    // Written as the phase begins, before the phase tests whether it runs.
    std::optional<long double> checkpoint;
    // Run under the catch-all handler: an error the phase does not handle
    // itself shows "Unable to initialize program:", releases the data lock
    // and stops the start-up.
    bool guarded;
    // Left out, checkpoint included, for the database packing programs.
    bool skippedWhenPacking;
    void (*run)(TFRM_Main_DataModules&);
};

// The 26 phases in the order they run.
const std::vector<StartupPhase>& StartupPhases();

// Runs the phases in order; a stop raises EStartupStop.
void RunStartupPhases(const std::vector<StartupPhase>& phases, TFRM_Main_DataModules& module);
