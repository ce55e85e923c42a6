// The practice start-up data module shared by the suite's programs. Creating
// it runs the start-up sequence; destroying it undoes what the sequence set
// up for this process.
#pragma once

#include <memory>

#include "startup/StartupStop.h"
#include "startup/StartupValues.h"

class TFRM_Main_DataModules {
public:
    // Builds the module's components, then runs FRM_DataModulesCreate. A stop
    // during the start-up raises EStartupStop out of Create; the module has
    // then already been destroyed, so its destroy handler has run.
    static std::unique_ptr<TFRM_Main_DataModules> Create();

    // Builds the components without running the start-up (Create runs it).
    TFRM_Main_DataModules();

    // Runs FRM_DataModulesDestroy.
    ~TFRM_Main_DataModules();

    TFRM_Main_DataModules(const TFRM_Main_DataModules&) = delete;
    TFRM_Main_DataModules& operator=(const TFRM_Main_DataModules&) = delete;

    // OnCreate: the start-up sequence, phase after phase.
    void FRM_DataModulesCreate();
    // OnDestroy: closes the database, releases the data lock, removes the
    // program's private folder.
    void FRM_DataModulesDestroy();
};

// The process's data module while it exists (null before and after).
TFRM_Main_DataModules* FRM_Main_DataModules();
