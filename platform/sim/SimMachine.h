// A simulated Windows machine for tests. It starts as a plain Windows XP
// machine with a fixed disk C: (C:\WINDOWS present, current folder C:\),
// all of it in a temporary host folder that it removes again; a test adds
// drives, shares, files, registry values and faults, installs the machine
// with ScopedPlatform, and reads back what the code under test did.
//
//   sim::Machine machine;
//   machine.addDrive('F', platform::drive::kRemote, "DATA");
//   machine.writeFile("C:\\Virelle\\VRL.INI", "[Virelle]\r\nWD=F:\r\n");
//   sim::ScopedPlatform installed(machine);
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimFiles.h"
#include "platform/sim/SimNetwork.h"
#include "platform/sim/SimProfiles.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimSystem.h"
#include "platform/sim/SimVolumes.h"

namespace sim {

class Machine {
public:
    Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // The facilities as a platform, for platform::Install.
    platform::Platform& platform() { return platform_; }

    SimFiles& files() { return files_; }
    SimProfiles& profiles() { return profiles_; }
    SimRegistry& registry() { return registry_; }
    SimVolumes& volumes() { return volumes_; }
    SimNetwork& network() { return network_; }
    SimShell& shell() { return shell_; }
    SimSystem& system() { return system_; }
    Clock& clock() { return clock_; }
    FileSystem& disks() { return *disks_; }

    // --- Drives and shares --------------------------------------------------
    Volume& addDrive(char letter, std::uint32_t type = platform::drive::kFixed,
                     const std::string& label = "");
    // A letter that is listed but whose root cannot be reached.
    void addLetterWithoutRoot(char letter);
    // A drive without its medium: listed, typed, but not ready.
    Volume& addEmptyDrive(char letter, std::uint32_t type);
    Volume& addShare(const std::string& remoteName, const std::string& label = "");
    // A letter mapped to a share, connected as a network drive.
    Volume& mapNetworkDrive(char letter, const std::string& remoteName,
                            const std::string& label = "");
    // The letter disappears (its connection is lost); the share stays.
    void removeLetter(char letter) { disks_->removeLetter(letter); }

    // --- Files, for setting up and checking -------------------------------
    // Writes a file, making its folders; bypasses sharing and faults.
    void writeFile(const std::string& path, const std::string& bytes);
    std::optional<std::string> readFile(const std::string& path);
    void makeFolder(const std::string& path);
    bool exists(const std::string& path);
    bool isFolder(const std::string& path);
    // The host path a Windows path leads to (to be created when missing).
    std::string hostPath(const std::string& path);

    // --- Faults -------------------------------------------------------------
    // A handle of "another program": it takes part in the sharing checks
    // and locks like any other. Null when the open itself fails.
    std::unique_ptr<platform::OpenFile> holdOpen(const std::string& path, std::uint32_t access,
                                                 std::uint32_t share);
    // Writes at or below the path fail with `error` (access denied by
    // default), as in a read-only folder or on a write-protected disk.
    void refuseWrites(const std::string& path, std::uint32_t error = platform::error::kAccessDenied);
    void allowWrites(const std::string& path);
    // The drive takes `bytes` more bytes, then reports a full disk.
    void fillDiskAfter(char letter, std::uint64_t bytes);

private:
    Clock clock_;
    std::shared_ptr<FileSystem> disks_;
    SimFiles files_;
    SimProfiles profiles_;
    SimRegistry registry_;
    SimSystem system_;
    SimVolumes volumes_;
    SimNetwork network_;
    SimShell shell_;
    platform::Platform platform_;
};

// Installs a platform for the lifetime of the object and puts back the
// one it replaced.
class ScopedPlatform {
public:
    explicit ScopedPlatform(platform::Platform& installed)
        : previous_(platform::Install(&installed)) {}
    explicit ScopedPlatform(Machine& machine) : ScopedPlatform(machine.platform()) {}
    ~ScopedPlatform() { platform::Install(previous_); }
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;

private:
    platform::Platform* previous_;
};

}  // namespace sim
