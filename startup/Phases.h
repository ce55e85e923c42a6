// The phases of the start-up sequence, in the order the sequence runs them.
// The sequence writes each phase's first checkpoint before calling it; a
// phase writes its own further checkpoints and tests its own condition.
#pragma once

class TFRM_Main_DataModules;

// 1: TrayEnabled from the machine settings; BootProgram and TrayProgram.
void ReadAutoStartSettings(TFRM_Main_DataModules& module);
// 2: the logon Run key entries and the spell-checker default; ignores its errors.
void RegisterAutoStart(TFRM_Main_DataModules& module);
// 3: the process's fixed date and number formats, metric measurement.
void FixRegionalFormats(TFRM_Main_DataModules& module);
// 4: CRV drive-key migration, SelectDatabase, DataRoot and the stored run date.
void ReadMachineSettings(TFRM_Main_DataModules& module);
// 5: the system date guard of the main programs.
void GuardSystemDate(TFRM_Main_DataModules& module);
// 6: asks for the data drive when none is set.
void ChooseDataDrive(TFRM_Main_DataModules& module);
// 7: DataRoot without a trailing backslash; the data drive's type.
void NormaliseDataRoot(TFRM_Main_DataModules& module);
// 8: the multi-site choice; DataRoot may become S:.
void SelectSiteDrive(TFRM_Main_DataModules& module);
// 9: network connection of the data drive: recorded or re-created.
void HandleNetworkDrive(TFRM_Main_DataModules& module);
// 10: DataRoot becomes the practice folder.
void AppendInstallFolder(TFRM_Main_DataModules& module);
// 11: the practice folder must exist.
void CheckPracticeFolder(TFRM_Main_DataModules& module);
// 12: the shared data lock.
void TakeDataLock(TFRM_Main_DataModules& module);
// 13: the practice settings file is opened.
void OpenPracticeSettings(TFRM_Main_DataModules& module);
// 14: hand-over to the version 6 program.
void HandOverToVersion6(TFRM_Main_DataModules& module);
// 15: practice settings upkeep and the practice profile.
void KeepPracticeSettings(TFRM_Main_DataModules& module);
// 16: the practice folder tree.
void ProvisionFolderTree(TFRM_Main_DataModules& module);
// 17: private folder, database session, the connection VRL.
void OpenPracticeDatabase(TFRM_Main_DataModules& module);
// 18: the control table's "Claim" entry against the practice settings.
void SyncClaimEntry(TFRM_Main_DataModules& module);
// 19: the "Claim" entry from the users' table when it is still missing.
void AddClaimFromUsers(TFRM_Main_DataModules& module);
// 20: the table probes of the main programs.
void ProbeTables(TFRM_Main_DataModules& module);
// 21: the demonstration database offer.
void OfferDemoDatabase(TFRM_Main_DataModules& module);
// 22: the private fee table copy in Bin.
void CopyPrivateFeeTable(TFRM_Main_DataModules& module);
// 23: pending update programs.
void ScheduleUpdates(TFRM_Main_DataModules& module);
// 24: the boot program copy in the install folder.
void CopyBootProgram(TFRM_Main_DataModules& module);
