// The data lock: an empty file in the practice folder that every working
// program of the family holds open for reading with read sharing. The
// packing program holds it for writing or without read sharing, which keeps
// everyone else out while it runs.
#pragma once

#include <string>

// The lock file of the stored data drive: [ProductName] DriveKey of the
// machine settings file without a trailing backslash, InstallFolderName and
// VRL.LCK or CRV.LCK.
std::string LockFilePath();

// Takes the shared lock. True when it is held, or when the practice folder
// does not exist (nothing to lock); false when the file cannot be opened.
bool OpenDataLock();
// Closes the held handle, if any.
void CloseDataLock();
// Closes the handle, then removes the lock file unless another program still
// holds it open; the file is left when the practice folder does not answer.
void ReleaseDataLock();
// Whether this process holds the lock file open.
bool DataLockHeld();
