// The one-time initialisation of the shared services at process start,
// before the program entry creates its first form. It takes the locale's
// formats, sets DeveloperMachine and the product variant, begins the
// start-up log run, refuses Windows NT 6.2 and seeds the machine settings
// file from the Windows folder.
//
// Needs the platform and the toolkit backend installed and the application
// window created (the refusal box is owned by it).
#pragma once

// Returns whether the program may go on; false after the "Unsupported
// operating system" box, when the entry must end with exit code 0. Runs
// once per process: later calls do nothing and give the first answer.
bool InitializeRuntime();

// Puts every process-wide value of the shared services back as at process
// start, so that the initialisation runs again (for tests).
void ResetRuntime();
