// The product family the running executable belongs to, and the names and
// per-machine locations that follow from it. Plain process-wide values:
// they hold the VRL column from process start; the process-start
// initialisation switches them to the CRV column for a CRV executable, and
// afterwards only PrivateDir is extended (by the database start-up).
#pragma once

#include <string>

enum class Variant { VRL, CRV };

extern Variant ProductVariant;
extern std::string ProductName;        // "Virelle" / "Corvane"
extern std::string PracticeIniName;    // "VRLPRC.INI" / "CRVCLINIC.INI"
extern std::string InstallFolderName;  // "\Virelle\" / "\Corvane\"
extern std::string InstallRoot;        // "C:\Virelle\" / "C:\Corvane\"
extern std::string MachineIniPath;     // "C:\Virelle\VRL.INI" / "C:\Corvane\CRV.INI"
extern std::string PrivateDir;         // "C:\Virelle\Private\" / "C:\Corvane\Private\"
extern std::string DriveKey;           // "WD" / "WB"
// True on a developer's machine: drive C:'s label holds the database password.
extern bool DeveloperMachine;

// The family of an executable: CRV when its base name begins with "crv" in
// any letter case, VRL otherwise.
Variant VariantOfExecutable(const std::string& path);

// Sets every value of the table to the family's column.
void SelectVariant(Variant variant);

// The VRL column and DeveloperMachine false, as at process start (for tests).
void ResetVariantValues();

// The family's main program: the executable's base name is exactly "VRL" or
// "CRV", letter case included.
bool IsMainProgram();
