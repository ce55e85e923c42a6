// Several practice sites on one computer: each site's data lies in its own
// folder on C:, and the drive letter S: is made to stand for the chosen
// site's folder, so that every site's practice folder is S:\Virelle\.
#pragma once

#include <string>

// Offers the `count` sites of the site list on C: and maps S: to the chosen
// site's folder (C:\Virelle\MultiSite\<n>), which it creates with its
// practice folder; DataRoot becomes "S:". A count of 0 does nothing.
void SelectSite(int count);

// The folder the letter stands for as a substitution; empty when it is no
// substitution (not defined, a real disk or network device) or the query
// fails.
std::string SubstitutedFolder(char letter);
// Removes the letter's substitution.
void RemoveDriveSubstitution(char letter);
// Makes the letter stand for the folder (given without trailing backslash).
void SubstituteDrive(char letter, const std::string& folder);
