// Small operations on the system and on files. Each wraps one facility of
// the platform and returns a fixed fallback when it fails; none raises an
// error or shows a message.
#pragma once

#include <cstdint>
#include <string>

// The file name without folder and extension: C:\Virelle\VRL_DPD134.exe
// gives VRL_DPD134, a.b.txt gives a.b, .ini gives an empty text.
std::string FileBaseName(const std::string& path);

// The text with a "\" appended unless it already ends with one.
std::string WithTrailingBackslash(const std::string& path);

// The Windows folder, ending with a backslash.
std::string WindowsFolder();

// The logged-on user's name, or "User" when the system does not say.
std::string CurrentUserName();

// The volume label of the drive, with critical-error boxes off; lower case
// for a lower-case letter (code 97 or more), upper case otherwise. Empty for
// an unreadable drive.
std::string VolumeLabel(char letter);

// The remote name behind a redirected drive (e.g. \\SERVER\DATA), folded
// like VolumeLabel; for any other drive its VolumeLabel.
std::string DriveConnectionName(char letter);

// A shell folder (CSIDL) ending with a backslash; empty when the shell
// cannot give it.
std::string SpecialFolderPath(int csidl, bool create);

// Deletes a folder tree for good, silently. True when the shell reports
// success; false for an empty path and any failure.
bool DeleteFolder(const std::string& path);

// The size in bytes (low 32 bits) of the entry at the path, or -1.
std::int32_t FileSizeOf(const std::string& path);

// True when a file (not a folder) exists at the path.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Creates the folder and every missing parent. A trailing backslash is
// ignored. True when the folder exists afterwards; failures are not
// reported otherwise.
bool ForceDirectories(const std::string& path);

// Serves the application's messages for `milliseconds`, or until the
// application is told to terminate. Messages are served at least once.
void PauseWithMessages(std::uint32_t milliseconds);
