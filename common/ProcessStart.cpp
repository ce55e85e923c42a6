#include "common/ProcessStart.h"

#include "common/Cipher.h"
#include "common/Formats.h"
#include "common/Messages.h"
#include "common/StartupLog.h"
#include "common/SystemHelpers.h"
#include "common/Variant.h"
#include "common/Version.h"
#include "platform/Platform.h"
#include "toolkit/Application.h"

namespace {

bool g_initialized = false;
bool g_mayContinue = true;

// Windows 8 (NT 6.2) is not supported. A failed version query lets the
// program run.
bool IsUnsupportedSystem() {
    const auto version = platform::system().version();
    return version && version->platformId == platform::os::kWinNT && version->major == 6 &&
           version->minor == 2;
}

void SeedMachineSettings() {
    if (FileExists(MachineIniPath)) return;
    const std::string windowsCopy = WindowsFolder() + PracticeIniName;
    if (FileExists(windowsCopy)) platform::files().copyFile(windowsCopy, MachineIniPath, false);
}

bool RunInitialization() {
    ReadUserFormats();
    DeveloperMachine = VolumeLabel('C').find(DatabasePassword()) != std::string::npos;
    SelectVariant(VariantOfExecutable(platform::system().moduleFileName()));

    Checkpoint(0);
    Checkpoint(0.01L);

    if (IsUnsupportedSystem()) {
        // Shown directly, not as a "Virelle" message: the caption names the
        // problem and the text the product.
        toolkit::app().MessageBox(ProductName, "Unsupported operating system",
                                  toolkit::mb::kIconError | kMessageBoxFrontFlags);
        return false;
    }

    SeedMachineSettings();
    Checkpoint(0.02L);
    return true;
}

}  // namespace

bool InitializeRuntime() {
    if (g_initialized) return g_mayContinue;
    g_initialized = true;
    g_mayContinue = RunInitialization();
    return g_mayContinue;
}

void ResetRuntime() {
    g_initialized = false;
    g_mayContinue = true;
    ResetVariantValues();
    ResetFormats();
    ResetStartupLog();
    ProcessStamp = FileVersion();
}
