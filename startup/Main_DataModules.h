// The practice start-up data module shared by the suite's programs. Creating
// it runs the start-up sequence; destroying it undoes what the sequence set
// up for this process.
#pragma once

#include <memory>
#include <string>

#include "engine/Database.h"
#include "engine/Table.h"
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

    // The posting handlers of all six tables.
    void BeforePost(engine::Table& DataSet);
    void AfterPost(engine::Table& DataSet);

    // The practice database, opened on DataRoot + "Data\" by the start-up,
    // and its tables.
    engine::Database VRL;
    engine::Table Check_Table{VRL};    // no name of its own: the table probes
    engine::Table Control_Table{VRL};  // CONTROL.DB, in "Name" order
    engine::Table Error_Table{VRL};    // ERROR.DB
    engine::Table Archive_Table{VRL};  // no name of its own
    engine::Table User_Table{VRL};     // USER.DB
    engine::Table System_Table{VRL};   // SYSTEM.DB

    // The per-user, per-program private folder the start-up made for this
    // process (empty until then): the only folder the shut-down deletes.
    std::string OwnPrivateDir;
    // The control table holds a "Claim" row (passed from phase 18 to 19).
    bool ClaimPresent = false;
};

// The table whose record is being posted, between BeforePost and AfterPost;
// null otherwise.
extern engine::Table* PostingDataSet;

// The process's data module while it exists (null before and after).
TFRM_Main_DataModules* FRM_Main_DataModules();
