// The simulated machine's shell: program starts are recorded and make
// simulated processes that live for a set time on the simulated clock;
// folder trees are deleted from the simulated disks; special folders and
// small icon indexes come from tables a test can change.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Shell.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimVolumes.h"

namespace sim {

struct ShellStart {
    bool ex = false;  // ShellExecuteExA
    platform::WindowId owner = 0;
    std::string file;
    std::string parameters;
    std::string folder;
    int showCommand = 0;
    std::uint32_t mask = 0;  // ShellExecuteExA's mask
};

struct DeleteTreeCall {
    std::string path;
    std::uint16_t flags;
};

class SimShell : public platform::Shell {
public:
    SimShell(std::shared_ptr<FileSystem> disks, Clock& clock, SimVolumes& volumes);

    std::intptr_t execute(platform::WindowId owner, const std::string& file,
                          const std::string& parameters, const std::string& folder,
                          int showCommand) override;
    platform::ExecuteResult executeEx(platform::WindowId owner, const std::string& file,
                                      const std::string& parameters, int showCommand,
                                      std::uint32_t extraMask) override;
    int deleteTree(const std::string& path, std::uint16_t flags) override;
    std::optional<std::string> specialFolderPath(int csidl, bool create) override;
    std::optional<int> smallIconIndex(const std::string& path) override;

    // --- For tests -----------------------------------------------------
    // A program that, once started, runs for `milliseconds` of simulated time.
    void setProgramLifetime(const std::string& path, std::uint32_t milliseconds);
    // Started programs that exist run this long unless set otherwise.
    void setDefaultLifetime(std::uint32_t milliseconds) { defaultLifetime_ = milliseconds; }
    // The shell starts nothing new for an existing program (no process handle).
    void setNoProcessHandle(bool none) { noProcessHandle_ = none; }
    // Forces every start to fail with this Windows error (nullopt: normal).
    void setStartFailure(std::optional<std::uint32_t> error) { startFailure_ = error; }
    const std::vector<ShellStart>& starts() const { return starts_; }
    // Error boxes the shell showed for starts without SEE_MASK_FLAG_NO_UI.
    int errorBoxes() const { return errorBoxes_; }
    const std::vector<DeleteTreeCall>& deleteTreeCalls() const { return deleteTreeCalls_; }
    void setSpecialFolder(int csidl, std::optional<std::string> path);
    void setSmallIcon(const std::string& path, int index);
    // How many started processes are still running on the simulated clock.
    int runningProcesses() const;

private:
    // The Windows error of starting `file`, 0 when it can start.
    std::uint32_t startError(const std::string& file, const std::string& folder);
    std::shared_ptr<std::uint64_t> startProcess(const std::string& file);

    std::shared_ptr<FileSystem> fs_;
    Clock& clock_;
    SimVolumes& volumes_;
    std::vector<ShellStart> starts_;
    std::vector<DeleteTreeCall> deleteTreeCalls_;
    std::map<std::string, std::uint32_t> lifetimes_;  // by host path
    std::uint32_t defaultLifetime_ = 0;
    bool noProcessHandle_ = false;
    std::optional<std::uint32_t> startFailure_;
    int errorBoxes_ = 0;
    std::map<int, std::optional<std::string>> specialFolders_;
    std::map<std::string, int, TextLess> icons_;
    std::vector<std::shared_ptr<std::uint64_t>> processes_;  // each one's end time
};

}  // namespace sim
