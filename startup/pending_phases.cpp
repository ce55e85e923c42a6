// Phases whose work is still being written. Each is removed from here when
// its own file defines it; this file goes once it is empty.
#include "startup/Main_DataModules.h"
#include "startup/Phases.h"

void OpenPracticeDatabase(TFRM_Main_DataModules&) {}
void SyncClaimEntry(TFRM_Main_DataModules&) {}
void AddClaimFromUsers(TFRM_Main_DataModules&) {}
void ProbeTables(TFRM_Main_DataModules&) {}
void OfferDemoDatabase(TFRM_Main_DataModules&) {}
void CopyPrivateFeeTable(TFRM_Main_DataModules&) {}

void TFRM_Main_DataModules::FRM_DataModulesDestroy() {}
