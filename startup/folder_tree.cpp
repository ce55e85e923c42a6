// Phase 16: the practice folder tree under DataRoot. Every start completes
// the tree, hides the lock folder and removes the report folder of earlier
// versions; nothing here stops the start-up or shows a message.
#include "common/SystemHelpers.h"
#include "platform/Platform.h"
#include "startup/Main_DataModules.h"
#include "startup/Phases.h"

namespace {

// In the order they are made; Transmit comes in with its first child.
const char* const kPracticeFolders[] = {
    "Bin",
    "Bin\\Update",
    "Data",
    "Archive",
    "Letters",
    "Letters\\General",
    "Letters\\Appointment",
    "Letters\\Estimate",
    "Letters\\Invoice",
    "Letters\\Prescription",
    "Letters\\Private",
    "Letters\\Recall",
    "Letters\\Receipt",
    "Letters\\Referral",
    "Letters\\Laboratory",
    "Letters\\Statement",
    "Schedule",
    "Cashbook",
    "Transmit\\SND",
    "Transmit\\RCV",
    "Reports",
    "Reports\\Bank",
    "Reports\\Bank\\Statement",
    "Reports\\Customer",
    "Reports\\Finance",
    "Reports\\Invoice",
    "Reports\\Invoice\\Product",
    "Reports\\Invoice\\Service",
    "Reports\\Nominal",
    "Reports\\Products",
    "Reports\\Statements",
    "Reports\\Supplier",
    "Reports\\Purchase Order",
    "Lock",
};

}  // namespace

void ProvisionFolderTree(TFRM_Main_DataModules&) {
    for (const char* folder : kPracticeFolders) {
        // A folder that cannot be made (a file of that name, no right to
        // write) stays missing; whoever needs it fails in its own way.
        const std::string path = DataRoot + folder;
        if (!FolderExists(path)) ForceDirectories(path);
    }
    // Exactly hidden and system: read-only or archive set by hand go too.
    platform::files().setAttributes(DataRoot + "Lock", platform::attr::kHidden | platform::attr::kSystem);

    const std::string obsoleteReports = DataRoot + "Bin\\Report\\";
    if (FolderExists(obsoleteReports)) DeleteFolder(obsoleteReports);
}
