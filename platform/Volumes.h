// Drive letters, their types and labels, and the operating system's device
// names behind them (DOS devices on NT, the DOS drive-substitution service on
// Windows 9x).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

namespace dosdevice {
constexpr std::uint32_t kRawTargetPath = 1;     // DDD_RAW_TARGET_PATH
constexpr std::uint32_t kRemoveDefinition = 2;  // DDD_REMOVE_DEFINITION
constexpr std::uint32_t kExactMatchOnRemove = 4;  // DDD_EXACT_MATCH_ON_REMOVE
}  // namespace dosdevice

class Volumes {
public:
    virtual ~Volumes() = default;

    // GetLogicalDrives: bit 0 is A:.
    virtual std::uint32_t logicalDrives() = 0;
    // GetDriveTypeA of a root such as "C:\".
    virtual std::uint32_t driveType(const std::string& root) = 0;
    // GetVolumeInformationA with a 261-character label buffer; nullopt when
    // the call fails. Callers switch critical-error boxes off around it.
    virtual std::optional<std::string> volumeLabel(const std::string& root) = 0;

    // QueryDosDeviceA with a 256-character buffer: the first target of the
    // device name ("S:"), nullopt when the query fails.
    virtual std::optional<std::string> queryDosDevice(const std::string& device) = 0;
    // DefineDosDeviceA.
    virtual bool defineDosDevice(std::uint32_t flags, const std::string& device,
                                 const std::string& target) = 0;

    // Windows 9x: interrupt 21h function 71AAh through the kernel's VxD call
    // gate. `drive` is 1 for A:. Query answers the long form of the folder a
    // substituted drive stands for (empty when it is no substitution); create
    // takes the folder's short (8.3) form.
    virtual std::string querySubstitution9x(int drive) = 0;
    virtual void createSubstitution9x(int drive, const std::string& shortFolder) = 0;
    virtual void terminateSubstitution9x(int drive) = 0;
};

}  // namespace platform
