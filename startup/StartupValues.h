// The process-wide values the start-up sequence works with. DataRoot is the
// one other parts of the program read: from phase 10 on it is the practice
// folder on the data drive with a trailing backslash (C:\Virelle\).
#pragma once

#include <cstdint>
#include <string>

#include "common/Dates.h"

extern std::string DataRoot;
// GetDriveTypeA of the data drive's root, taken once in phase 7.
extern std::uint32_t DataDriveType;
// [ProductName] Date of the machine settings file, read in phase 4.
extern Date StoredRunDate;

// DataRoot + PracticeIniName: the practice settings file.
std::string PracticeIniPath();

// The suite's main program of the CRV family: base name exactly "CRV".
bool IsCrvMainProgram();
// The database packing programs: base name VRL_PACK or CRV_PACK in any case.
bool IsPackingProgram();
// The running executable's base name.
std::string RunningProgramName();

// Back to the values of process start (for tests).
void ResetStartupValues();
