#include "platform/sim/SimShell.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace sim {

namespace {

constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
constexpr std::uint32_t kFlagNoUi = 0x400;  // SEE_MASK_FLAG_NO_UI
constexpr int kSuccessInstance = 42;        // any value above 32

// A process of the simulated machine: it ends when the simulated clock
// reaches its end time; waiting on it moves the clock.
class SimProcess : public platform::Process {
public:
    SimProcess(Clock& clock, std::shared_ptr<std::uint64_t> end)
        : clock_(clock), end_(std::move(end)) {}

    std::uint32_t wait(std::uint32_t milliseconds) override {
        const std::uint64_t now = clock_.elapsed();
        if (now >= *end_) return platform::wait::kObject0;
        const std::uint64_t remaining = *end_ - now;
        if (milliseconds == kInfinite || milliseconds >= remaining) {
            clock_.advance(remaining);
            return platform::wait::kObject0;
        }
        clock_.advance(milliseconds);
        return platform::wait::kTimeout;
    }

private:
    Clock& clock_;
    std::shared_ptr<std::uint64_t> end_;
};

}  // namespace

SimShell::SimShell(std::shared_ptr<FileSystem> disks, Clock& clock, SimVolumes& volumes)
    : fs_(std::move(disks)), clock_(clock), volumes_(volumes) {
    specialFolders_[platform::csidl::kProgramFiles] = std::string("C:\\Program Files");
}

std::uint32_t SimShell::startError(const std::string& file, const std::string& folder) {
    if (startFailure_) return *startFailure_;
    std::string path = file;
    const bool bare = file.find('\\') == std::string::npos && file.find(':') == std::string::npos;
    if (bare && !folder.empty()) path = folder + "\\" + file;
    const Resolved r = fs_->resolve(path);
    if (r.exists && !r.folder) return 0;
    return r.error == platform::error::kPathNotFound ? platform::error::kPathNotFound
                                                     : platform::error::kFileNotFound;
}

std::shared_ptr<std::uint64_t> SimShell::startProcess(const std::string& file) {
    const Resolved r = fs_->resolve(file);
    auto it = lifetimes_.find(r.host);
    const std::uint32_t lifetime = it == lifetimes_.end() ? defaultLifetime_ : it->second;
    auto end = std::make_shared<std::uint64_t>(clock_.elapsed() + lifetime);
    processes_.push_back(end);
    return end;
}

std::intptr_t SimShell::execute(platform::WindowId owner, const std::string& file,
                                const std::string& parameters, const std::string& folder,
                                int showCommand) {
    starts_.push_back(ShellStart{false, owner, file, parameters, folder, showCommand, 0});
    // ShellExecuteA answers SE_ERR_FNF (2) for a missing file, also when
    // a folder on its way is missing; other errors as their number.
    if (const std::uint32_t error = startError(file, folder)) {
        if (error == platform::error::kPathNotFound) return platform::error::kFileNotFound;
        return static_cast<std::intptr_t>(error <= 32 ? error : platform::error::kAccessDenied);
    }
    startProcess(file);
    return kSuccessInstance;
}

platform::ExecuteResult SimShell::executeEx(platform::WindowId owner, const std::string& file,
                                            const std::string& parameters, int showCommand,
                                            std::uint32_t extraMask) {
    starts_.push_back(ShellStart{true, owner, file, parameters, "", showCommand, extraMask});
    platform::ExecuteResult result;
    if (const std::uint32_t error = startError(file, "")) {
        if (!(extraMask & kFlagNoUi)) ++errorBoxes_;
        result.lastError = error;
        return result;
    }
    auto end = startProcess(file);
    result.ok = true;
    if (!noProcessHandle_) result.process = std::make_unique<SimProcess>(clock_, end);
    return result;
}

int SimShell::deleteTree(const std::string& path, std::uint16_t flags) {
    deleteTreeCalls_.push_back(DeleteTreeCall{path, flags});
    const Resolved r = fs_->resolve(path);
    if (!r.exists) return static_cast<int>(platform::error::kFileNotFound);
    if (r.names.empty()) return static_cast<int>(platform::error::kAccessDenied);  // a drive root
    if (auto refused = fs_->writeRefusal(r.host)) return static_cast<int>(refused);
    if (fs_->openBelow(r.host, true)) return static_cast<int>(platform::error::kSharingViolation);
    std::error_code ec;
    std::uint64_t bytes = 0;
    if (r.folder) {
        for (const auto& entry : fs::recursive_directory_iterator(r.host, ec)) {
            if (entry.is_regular_file(ec)) bytes += entry.file_size(ec);
        }
    } else {
        bytes = fs::file_size(r.host, ec);
    }
    fs::remove_all(r.host, ec);
    if (ec) return static_cast<int>(platform::error::kAccessDenied);
    fs_->release(r.volume, bytes);
    fs_->forgetRecords(r.host);
    return 0;
}

std::optional<std::string> SimShell::specialFolderPath(int csidl, bool create) {
    auto it = specialFolders_.find(csidl);
    if (it == specialFolders_.end() || !it->second) return std::nullopt;
    if (create) {
        // Every missing folder on the way is made.
        const std::string full = fs_->fullPath(*it->second);
        std::string partial;
        for (std::size_t i = 0; i <= full.size(); ++i) {
            if (i == full.size() || (full[i] == '\\' && i > 2)) {
                const Resolved r = fs_->resolve(partial);
                if (!r.exists && r.error == 0) fs::create_directory(r.host);
            }
            if (i < full.size()) partial += full[i];
        }
    }
    return *it->second;
}

std::optional<int> SimShell::smallIconIndex(const std::string& path) {
    auto icon = icons_.find(path);
    if (icon != icons_.end()) return icon->second;
    if (path == "*.*") return 0;
    // Drive roots get the shell's usual drive icons.
    if (path.size() == 3 && path[1] == ':' && path[2] == '\\') {
        switch (volumes_.driveType(path)) {
            case platform::drive::kRemovable: return 6;
            case platform::drive::kFixed: return 8;
            case platform::drive::kRemote: return 9;
            case platform::drive::kCdRom: return 11;
            case platform::drive::kRamDisk: return 12;
            default: return std::nullopt;
        }
    }
    const Resolved r = fs_->resolve(path);
    if (!r.exists) return std::nullopt;
    return r.folder ? 3 : 0;
}

void SimShell::setProgramLifetime(const std::string& path, std::uint32_t milliseconds) {
    lifetimes_[fs_->resolve(path).host] = milliseconds;
}

void SimShell::setSpecialFolder(int csidl, std::optional<std::string> path) {
    specialFolders_[csidl] = std::move(path);
}

void SimShell::setSmallIcon(const std::string& path, int index) { icons_[path] = index; }

int SimShell::runningProcesses() const {
    int running = 0;
    for (const auto& end : processes_) {
        if (*end > clock_.elapsed()) ++running;
    }
    return running;
}

}  // namespace sim
