// The simulated machine's drive letters: types, labels, the DOS device
// names behind them (stacked, with the "\??\" prefix, as NT keeps them) and
// the Windows 9x drive-substitution service. A substituted letter reaches
// its folder through the simulated file system.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Volumes.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimSystem.h"

namespace sim {

struct SubstitutionCall9x {
    char action;  // 'q' query, 'c' create, 't' terminate
    int drive;
    std::string folder;
};

class SimVolumes : public platform::Volumes {
public:
    SimVolumes(std::shared_ptr<FileSystem> disks, SimSystem& system)
        : fs_(std::move(disks)), system_(system) {}

    std::uint32_t logicalDrives() override { return fs_->letterMask(); }
    std::uint32_t driveType(const std::string& root) override;
    std::optional<std::string> volumeLabel(const std::string& root) override;
    std::optional<std::string> queryDosDevice(const std::string& device) override;
    bool defineDosDevice(std::uint32_t flags, const std::string& device,
                         const std::string& target) override;
    std::string querySubstitution9x(int drive) override;
    void createSubstitution9x(int drive, const std::string& shortFolder) override;
    void terminateSubstitution9x(int drive) override;

    // --- For tests -----------------------------------------------------
    // Times a label was read from a drive without its medium while
    // critical-error boxes were on: each would have shown a system dialog.
    int criticalErrorBoxes() const { return criticalErrorBoxes_; }
    // Wine's VxD gate answers every call with "success" and does nothing.
    void setSubstitutionService9xWorks(bool works) { service9xWorks_ = works; }
    const std::vector<SubstitutionCall9x>& substitutionCalls9x() const { return calls9x_; }

private:
    std::shared_ptr<FileSystem> fs_;
    SimSystem& system_;
    int criticalErrorBoxes_ = 0;
    bool service9xWorks_ = true;
    std::vector<SubstitutionCall9x> calls9x_;
};

}  // namespace sim
