// The simulated machine's Files facility: CreateFileA and the file calls
// with Windows' dispositions, sharing modes, read-only attribute, pending
// deletes, byte-range locks and full disks, over the simulated disks.
#pragma once

#include <memory>

#include "platform/Files.h"
#include "platform/sim/SimFileSystem.h"

namespace sim {

class SimFiles : public platform::Files {
public:
    explicit SimFiles(std::shared_ptr<FileSystem> disks) : fs_(std::move(disks)) {}

    std::unique_ptr<platform::OpenFile> open(const std::string& path, std::uint32_t access,
                                             std::uint32_t share, std::uint32_t disposition,
                                             std::uint32_t attributes = platform::attr::kNormal) override;
    std::optional<std::uint32_t> attributes(const std::string& path) override;
    bool setAttributes(const std::string& path, std::uint32_t attributes) override;
    bool createFolder(const std::string& path) override;
    bool removeFolder(const std::string& path) override;
    bool copyFile(const std::string& from, const std::string& to, bool failIfExists) override;
    bool deleteFile(const std::string& path) override;
    bool moveFile(const std::string& from, const std::string& to) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    std::optional<platform::FindData> find(const std::string& path) override;
    std::optional<std::vector<std::string>> list(const std::string& folder) override;
    std::optional<platform::LocalTime> lastWriteTime(const std::string& path) override;
    platform::ShortPathResult shortPath(const std::string& path, std::uint32_t bufferChars) override;
    std::string fullPath(const std::string& path) override;
    std::string currentFolder() override;
    bool setCurrentFolder(const std::string& path) override;
    std::optional<std::uint64_t> freeSpace(const std::string& path) override;
    std::uint32_t lastError() const override { return fs_->lastError(); }

private:
    bool fail(std::uint32_t error) {
        fs_->setLastError(error);
        return false;
    }
    // The error for a path that does not lead to an existing entry.
    static std::uint32_t missingError(const Resolved& r);
    bool rename(const Resolved& from, const Resolved& to);

    std::shared_ptr<FileSystem> fs_;
};

}  // namespace sim
