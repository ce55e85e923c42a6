// Phase 9: a data drive on a fixed disk forgets any remembered connection;
// a mapped network drive has its connection recorded from Windows' own
// record; a letter that has lost its root is connected again from the
// record before the practice folder is looked for.
#include "startup/NetworkDrive.h"

#include <cstdint>
#include <memory>

#include "common/IniFile.h"
#include "common/StartupLog.h"
#include "common/SystemHelpers.h"
#include "common/Variant.h"
#include "platform/Exception.h"
#include "platform/Platform.h"
#include "startup/Main_DataModules.h"
#include "startup/Phases.h"

std::string DataDriveText;

namespace {

const char* const kNetworkSection = "Network";
constexpr std::uint32_t kSettleMilliseconds = 1000;

struct Connection {
    std::string drive;
    std::string providerName;
    std::string remotePath;
    std::string userName;
    std::uint32_t connectionType = 0;
    std::uint32_t providerType = 0;
};

// Windows' remembered connection of a letter: HKCU\Network\<letter> on the
// NT family, HKCU\Network\Persistent\<letter> on Windows 9x.
std::string RememberedConnectionKey(char letter) {
    const auto version = platform::system().version();
    const bool nt = version && version->platformId == platform::os::kWinNT;
    return std::string(nt ? "\\Network\\" : "\\Network\\Persistent\\") + letter;
}

void ReadText(platform::RegistryKey& key, const char* name, std::string* into) {
    if (!key.valueExists(name)) return;
    const auto value = key.read(name);
    if (!value) throw Exception(std::string("Unable to read ") + name);
    if (value->type == platform::regtype::kString) *into = value->data;
}

void ReadNumber(platform::RegistryKey& key, const char* name, std::uint32_t* into) {
    if (!key.valueExists(name)) return;
    const auto value = key.read(name);
    const auto number = value ? value->number() : std::nullopt;
    if (!number) throw Exception(std::string("Invalid data type for ") + name);
    *into = *number;
}

// What Windows recorded for the letter's connection. A value that cannot
// be read ends the reading; what was read before it is kept.
void ReadRememberedConnection(char letter, Connection* connection) {
    const auto key = platform::registry().open(platform::RegistryRoot::CurrentUser,
                                               RememberedConnectionKey(letter),
                                               platform::regaccess::kRead, false);
    if (!key) return;
    try {
        ReadText(*key, "ProviderName", &connection->providerName);
        ReadText(*key, "UserName", &connection->userName);
        ReadNumber(*key, "ConnectionType", &connection->connectionType);
        ReadNumber(*key, "ProviderType", &connection->providerType);
    } catch (const Exception&) {
        // The values read so far are recorded, the others keep their defaults.
    }
}

void RecordConnection(const std::string& drive) {
    Connection connection;
    if (drive.rfind("\\\\", 0) == 0) {
        connection.remotePath = drive;
    } else {
        connection.drive = drive.substr(0, 1);
        connection.remotePath = DriveConnectionName(drive[0]);
        ReadRememberedConnection(drive[0], &connection);
    }
    IniFile settings(MachineIniPath);
    settings.EraseSection(kNetworkSection);
    settings.WriteString(kNetworkSection, "Drive", connection.drive);
    settings.WriteString(kNetworkSection, "ProviderName", connection.providerName);
    settings.WriteString(kNetworkSection, "RemotePath", connection.remotePath);
    settings.WriteString(kNetworkSection, "UserName", connection.userName);
    settings.WriteInteger(kNetworkSection, "ConnectionType",
                          static_cast<int>(connection.connectionType));
    settings.WriteInteger(kNetworkSection, "ProviderType",
                          static_cast<int>(connection.providerType));
}

void Reconnect(const std::string& drive) {
    const IniFile settings(MachineIniPath);
    const bool recorded = settings.SectionExists(kNetworkSection);
    const std::string letter = settings.ReadString(kNetworkSection, "Drive", "");
    const std::string remotePath = settings.ReadString(kNetworkSection, "RemotePath", "");
    if (!recorded) {
        if (!FolderExists(DataRoot)) {
            StopStartup("The drive \"" + drive + "\" can not be accessed.");
        }
        return;
    }
    // A share path has nothing to connect; the folder test decides.
    if (letter.empty()) return;

    platform::Network& network = platform::network();
    network.cancelConnection(remotePath, platform::net::kUpdateProfile, true);
    platform::NetResource resource;
    resource.scope = platform::net::kScopeGlobalNet;
    resource.type = platform::net::kTypeDisk;
    resource.displayType = 0;
    resource.usage = platform::net::kUsageConnectable;
    resource.localName = letter + ":";
    resource.remoteName = remotePath;
    const std::uint32_t result = network.addConnection(
        resource, "", "", platform::net::kUpdateProfile | platform::net::kInteractive);
    if (result == platform::error::kSuccess) {
        // The redirected drive needs a moment before its folders answer.
        PauseWithMessages(kSettleMilliseconds);
        return;
    }
    StopStartup("The network drive " + RemoteDisplayName(remotePath) + " (" + drive +
                ") can not be accessed.\r\rPlease restart computer to re-establish connection.");
}

}  // namespace

std::string RemoteDisplayName(const std::string& remotePath) {
    const std::size_t slash = remotePath.size() > 2 ? remotePath.find('\\', 2) : std::string::npos;
    if (slash == std::string::npos) return remotePath;
    return remotePath.substr(slash + 1) + " on '" + remotePath.substr(2, slash - 2) + "'";
}

void HandleNetworkDrive(TFRM_Main_DataModules&) {
    switch (DataDriveType) {
        case platform::drive::kFixed:
            Checkpoint(9.111L);
            IniFile(MachineIniPath).EraseSection(kNetworkSection);
            break;
        case platform::drive::kRemote:
            Checkpoint(9.112L);
            RecordConnection(DataDriveText);
            break;
        case platform::drive::kNoRootDir:
            Checkpoint(9.113L);
            Reconnect(DataDriveText);
            break;
        default:
            // Removable, CD-ROM and RAM disks, and unknown types, have no
            // connection to keep.
            break;
    }
}
