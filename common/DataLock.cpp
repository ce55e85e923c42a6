#include "common/DataLock.h"

#include <memory>

#include "common/IniFile.h"
#include "common/SystemHelpers.h"
#include "common/Variant.h"
#include "platform/Platform.h"

namespace {

std::unique_ptr<platform::OpenFile> g_lock;

std::string LockFolder() {
    std::string drive = IniFile(MachineIniPath).ReadString(ProductName, DriveKey, "");
    if (!drive.empty() && drive.back() == '\\') drive.pop_back();
    return drive + InstallFolderName;
}

std::string LockFileName() {
    return ProductVariant == Variant::CRV ? "CRV.LCK" : "VRL.LCK";
}

}  // namespace

std::string LockFilePath() { return LockFolder() + LockFileName(); }

bool OpenDataLock() {
    const std::string folder = LockFolder();
    if (!FolderExists(folder)) return true;
    CloseDataLock();
    const std::string path = folder + LockFileName();
    auto& files = platform::files();
    if (!FileExists(path)) {
        // Created and closed at once; a failure shows in the open below.
        files.open(path, platform::access::kRead | platform::access::kWrite,
                   platform::share::kNone, platform::disposition::kCreateAlways);
    }
    g_lock = files.open(path, platform::access::kRead, platform::share::kRead,
                        platform::disposition::kOpenExisting);
    return g_lock != nullptr;
}

void CloseDataLock() { g_lock.reset(); }

void ReleaseDataLock() {
    // The handle goes whatever the folder answers: a folder that does not
    // answer for a moment must not keep the packing program out.
    CloseDataLock();
    const std::string folder = LockFolder();
    if (!FolderExists(folder)) return;
    const std::string path = folder + LockFileName();
    // Fails while another program holds the file: the last one out removes it.
    if (FileExists(path)) platform::files().deleteFile(path);
}

bool DataLockHeld() { return g_lock != nullptr; }
