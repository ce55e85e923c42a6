#include "startup/Main_DataModules.h"

#include <initializer_list>

namespace {
TFRM_Main_DataModules* g_module = nullptr;
}  // namespace

TFRM_Main_DataModules* FRM_Main_DataModules() { return g_module; }

TFRM_Main_DataModules::TFRM_Main_DataModules() {
    g_module = this;
    VRL.SetDatabaseName("VRL");
    VRL.SetDriverName("STANDARD");
    Control_Table.SetTableName("CONTROL.DB");
    Control_Table.SetIndexFieldNames("Name");
    Error_Table.SetTableName("ERROR.DB");
    User_Table.SetTableName("USER.DB");
    System_Table.SetTableName("SYSTEM.DB");
    for (engine::Table* table : {&Check_Table, &Control_Table, &Error_Table, &Archive_Table,
                                 &User_Table, &System_Table}) {
        table->BeforePost = [this](engine::Table& dataSet) { BeforePost(dataSet); };
        table->AfterPost = [this](engine::Table& dataSet) { AfterPost(dataSet); };
    }
}

TFRM_Main_DataModules::~TFRM_Main_DataModules() {
    FRM_DataModulesDestroy();
    g_module = nullptr;
}

std::unique_ptr<TFRM_Main_DataModules> TFRM_Main_DataModules::Create() {
    std::unique_ptr<TFRM_Main_DataModules> module(new TFRM_Main_DataModules());
    // On a stop the unique_ptr destroys the module on the way out, so the
    // destroy handler runs before the entry sees the stop.
    module->FRM_DataModulesCreate();
    return module;
}
