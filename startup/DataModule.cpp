#include "startup/Main_DataModules.h"

namespace {
TFRM_Main_DataModules* g_module = nullptr;
}  // namespace

TFRM_Main_DataModules* FRM_Main_DataModules() { return g_module; }

TFRM_Main_DataModules::TFRM_Main_DataModules() { g_module = this; }

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
