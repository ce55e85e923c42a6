// The start-up log: a timed trace of the start-up's checkpoints, written
// only for the family's main program to InstallRoot\Startup.LOG (latest run)
// and to one file per run under InstallRoot\Startup\. Lines are
// "DD/MM/YYYY HH:NN:SS.zzz, <elapsed ms, 8 wide>, <message>" with CR LF.
// Nothing here reports a failure: a line that cannot be written is lost.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Types.h"

// 0 begins a run (this run's file name, the Startup\ folder, the "START"
// line); any other number writes a line with the number as its message.
void Checkpoint(long double number);

// Writes one line with the given message to both files.
void WriteStartupLine(const std::string& message);

// This run's file; empty until Checkpoint(0).
const std::string& RunLogPath();

// A checkpoint number as the log writes it: shortest decimal form with at
// most 15 significant digits, no exponent, the process's decimal separator.
std::string CheckpointText(long double number);

// One log line without its line end.
std::string StartupLineText(const platform::LocalTime& time, std::uint32_t elapsed,
                            const std::string& message);

// Forgets the run and the last tick, as at process start (for tests).
void ResetStartupLog();
