// The suite's two companion programs that start when a user logs on: the
// boot program and, when the machine settings allow it, the tray program.
// Phase 1 sets these values; phases 2 and 24 use them.
#pragma once

#include <string>

// [ProductName] Tray of the machine settings file (default true).
extern bool TrayEnabled;
// "VRL_BOOT.EXE" / "CRV_BOOT.EXE".
extern std::string BootProgram;
// "VRL_TRAY.EXE" / "CRV_TRAY.EXE".
extern std::string TrayProgram;
