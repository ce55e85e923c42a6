#include "platform/sim/SimFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace sim {

namespace {

constexpr std::uint64_t kPlentyOfSpace = 8ull << 30;

bool readsData(std::uint32_t access) { return (access & (platform::access::kRead | 1u)) != 0; }
bool writesData(std::uint32_t access) {
    return (access & (platform::access::kWrite | 2u | 4u)) != 0;
}

std::uint64_t hostSize(const std::string& host) {
    std::error_code ec;
    const auto size = fs::file_size(host, ec);
    return ec ? 0 : size;
}

// An open handle of the simulated machine, registered with the sharing
// table for its lifetime.
class SimOpenFile : public platform::OpenFile {
public:
    SimOpenFile(std::shared_ptr<FileSystem> disks, int fd, OpenRecord record, Volume* volume)
        : fs_(std::move(disks)), fd_(fd), record_(std::move(record)), volume_(volume) {
        fs_->addOpen(&record_);
    }
    ~SimOpenFile() override {
        ::close(fd_);
        fs_->removeOpen(&record_);
    }
    SimOpenFile(const SimOpenFile&) = delete;
    SimOpenFile& operator=(const SimOpenFile&) = delete;

    bool readAt(std::uint64_t offset, void* buffer, std::size_t length,
                std::size_t* got) override {
        *got = 0;
        if (!readsData(record_.access)) return fail(platform::error::kAccessDenied);
        if (auto e = fs_->rangeConflict(&record_, offset, length, false)) return fail(e);
        auto* out = static_cast<char*>(buffer);
        while (*got < length) {
            const ssize_t n = ::pread(fd_, out + *got, length - *got,
                                      static_cast<off_t>(offset + *got));
            if (n < 0) return fail(platform::error::kInvalidHandle);
            if (n == 0) break;
            *got += static_cast<std::size_t>(n);
        }
        return true;
    }

    bool writeAt(std::uint64_t offset, const void* buffer, std::size_t length) override {
        if (!writesData(record_.access)) return fail(platform::error::kAccessDenied);
        if (auto e = fs_->rangeConflict(&record_, offset, length, true)) return fail(e);
        const std::uint64_t before = currentSize();
        const std::uint64_t end = offset + length;
        // A full disk takes nothing of a write that does not fit.
        if (end > before && !fs_->reserve(volume_, end - before)) {
            return fail(platform::error::kDiskFull);
        }
        const auto* in = static_cast<const char*>(buffer);
        std::size_t done = 0;
        while (done < length) {
            const ssize_t n =
                ::pwrite(fd_, in + done, length - done, static_cast<off_t>(offset + done));
            if (n <= 0) return fail(platform::error::kWriteFault);
            done += static_cast<std::size_t>(n);
        }
        fs_->touch(record_.host);
        return true;
    }

    std::optional<std::uint64_t> size() override { return currentSize(); }

    bool truncate(std::uint64_t size) override {
        if (!writesData(record_.access)) return fail(platform::error::kAccessDenied);
        const std::uint64_t before = currentSize();
        if (size > before && !fs_->reserve(volume_, size - before)) {
            return fail(platform::error::kDiskFull);
        }
        if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) {
            return fail(platform::error::kWriteFault);
        }
        if (size < before) fs_->release(volume_, before - size);
        fs_->touch(record_.host);
        return true;
    }

    bool lockRange(std::uint64_t offset, std::uint64_t length, bool exclusive) override {
        if (auto e = fs_->lock(&record_, offset, length, exclusive)) return fail(e);
        return true;
    }

    bool unlockRange(std::uint64_t offset, std::uint64_t length) override {
        if (auto e = fs_->unlock(&record_, offset, length)) return fail(e);
        return true;
    }

    bool flush() override {
        if (!writesData(record_.access)) return fail(platform::error::kAccessDenied);
        return true;
    }

private:
    bool fail(std::uint32_t error) {
        fs_->setLastError(error);
        return false;
    }
    std::uint64_t currentSize() const {
        struct stat st {};
        return ::fstat(fd_, &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    }

    std::shared_ptr<FileSystem> fs_;
    int fd_;
    OpenRecord record_;
    Volume* volume_;
};

}  // namespace

std::uint32_t SimFiles::missingError(const Resolved& r) {
    return r.error != 0 ? r.error : platform::error::kFileNotFound;
}

std::unique_ptr<platform::OpenFile> SimFiles::open(const std::string& path, std::uint32_t access,
                                                   std::uint32_t share,
                                                   std::uint32_t disposition,
                                                   std::uint32_t attributes) {
    using namespace platform;
    const Resolved r = fs_->resolve(path);
    if (r.error != 0) {
        fail(r.error);
        return nullptr;
    }
    const bool writing = writesData(access);
    const bool truncating = disposition == disposition::kCreateAlways;
    if (disposition < disposition::kCreateNew || disposition > 5) {
        fail(error::kInvalidParameter);
        return nullptr;
    }

    std::uint32_t successError = 0;
    int fd = -1;
    if (r.exists) {
        if (r.folder) {
            fail(error::kAccessDenied);
            return nullptr;
        }
        const auto id = fileIdOf(r.host);
        if (!id || fs_->deletePending(*id)) {
            fail(error::kAccessDenied);
            return nullptr;
        }
        if (disposition == disposition::kCreateNew) {
            fail(error::kFileExists);
            return nullptr;
        }
        if ((writing || truncating || disposition == 5) &&
            (fs_->attributes(r) & attr::kReadOnly)) {
            fail(error::kAccessDenied);
            return nullptr;
        }
        if (writing || truncating) {
            if (auto refused = fs_->writeRefusal(r.host)) {
                fail(refused);
                return nullptr;
            }
        }
        if (auto conflict = fs_->sharingConflict(*id, access, share)) {
            fail(conflict);
            return nullptr;
        }
        fd = ::open(r.host.c_str(), writing || truncating ? O_RDWR : O_RDONLY);
        if (truncating || disposition == 5) {
            fs_->release(r.volume, hostSize(r.host));
            if (fd >= 0 && ::ftruncate(fd, 0) != 0) {
                ::close(fd);
                fd = -1;
            }
            fs_->touch(r.host);
        }
        if (truncating) fs_->setAttributes(r.host, attributes | attr::kArchive);
        if (disposition == disposition::kCreateAlways || disposition == disposition::kOpenAlways) {
            successError = error::kAlreadyExists;
        }
    } else {
        if (disposition == disposition::kOpenExisting || disposition == 5) {
            fail(error::kFileNotFound);
            return nullptr;
        }
        if (auto refused = fs_->writeRefusal(r.host)) {
            fail(refused);
            return nullptr;
        }
        fd = ::open(r.host.c_str(), O_RDWR | O_CREAT | O_EXCL, 0644);
        if (fd >= 0) {
            fs_->touch(r.host);
            fs_->setAttributes(r.host, (attributes & ~attr::kNormal) | attr::kArchive);
        }
    }
    if (fd < 0) {
        fail(error::kAccessDenied);
        return nullptr;
    }
    OpenRecord record;
    record.id = *fileIdOf(r.host);
    record.access = access;
    record.share = share;
    record.host = r.host;
    fs_->setLastError(successError);
    return std::make_unique<SimOpenFile>(fs_, fd, std::move(record), r.volume);
}

std::optional<std::uint32_t> SimFiles::attributes(const std::string& path) {
    const Resolved r = fs_->resolve(path);
    if (!r.exists) {
        fail(missingError(r));
        return std::nullopt;
    }
    return fs_->attributes(r);
}

bool SimFiles::setAttributes(const std::string& path, std::uint32_t attributes) {
    const Resolved r = fs_->resolve(path);
    if (!r.exists) return fail(missingError(r));
    if (auto refused = fs_->writeRefusal(r.host)) return fail(refused);
    fs_->setAttributes(r.host, attributes);
    return true;
}

bool SimFiles::createFolder(const std::string& path) {
    const Resolved r = fs_->resolve(path);
    if (r.error != 0) return fail(r.error);
    if (r.exists) return fail(platform::error::kAlreadyExists);
    if (auto refused = fs_->writeRefusal(r.host)) return fail(refused);
    std::error_code ec;
    if (!fs::create_directory(r.host, ec)) return fail(platform::error::kAccessDenied);
    return true;
}

bool SimFiles::removeFolder(const std::string& path) {
    using namespace platform;
    const Resolved r = fs_->resolve(path);
    if (!r.exists) return fail(missingError(r));
    if (!r.folder) return fail(error::kDirectoryName);
    if (r.names.empty()) return fail(error::kAccessDenied);  // a drive root
    std::error_code ec;
    if (!fs::is_empty(r.host, ec)) return fail(error::kDirNotEmpty);
    if (fs_->attributes(r) & attr::kReadOnly) return fail(error::kAccessDenied);
    if (auto refused = fs_->writeRefusal(r.host)) return fail(refused);
    // The process's current folder is in use.
    const Resolved current = fs_->resolve(fs_->currentFolder());
    if (current.exists && current.host == r.host) return fail(error::kSharingViolation);
    if (!fs::remove(r.host, ec)) return fail(error::kAccessDenied);
    fs_->forgetRecords(r.host);
    return true;
}

bool SimFiles::copyFile(const std::string& from, const std::string& to, bool failIfExists) {
    using namespace platform;
    const Resolved src = fs_->resolve(from);
    if (!src.exists) return fail(missingError(src));
    if (src.folder) return fail(error::kAccessDenied);
    const auto srcId = fileIdOf(src.host);
    if (auto conflict = fs_->sharingConflict(*srcId, access::kRead, share::kRead | share::kWrite)) {
        return fail(conflict);
    }
    const Resolved dst = fs_->resolve(to);
    if (dst.error != 0) return fail(dst.error);
    std::uint64_t replaced = 0;
    if (dst.exists) {
        if (failIfExists) return fail(error::kFileExists);
        if (dst.folder || (fs_->attributes(dst) & attr::kReadOnly)) {
            return fail(error::kAccessDenied);
        }
        const auto dstId = fileIdOf(dst.host);
        if (*dstId == *srcId) return fail(error::kSharingViolation);
        if (auto conflict = fs_->sharingConflict(*dstId, access::kWrite, share::kNone)) {
            return fail(conflict);
        }
        replaced = hostSize(dst.host);
    }
    if (auto refused = fs_->writeRefusal(dst.host)) return fail(refused);

    const std::uint64_t size = hostSize(src.host);
    fs_->release(dst.volume, replaced);
    if (!fs_->reserve(dst.volume, size)) {
        // Windows removes the destination a failed copy has begun.
        std::error_code ec;
        fs::remove(dst.host, ec);
        fs_->forgetRecords(dst.host);
        return fail(error::kDiskFull);
    }
    std::error_code ec;
    fs::copy_file(src.host, dst.host, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        fs_->release(dst.volume, size);
        return fail(error::kAccessDenied);
    }
    fs_->touch(dst.host);
    fs_->setAttributes(dst.host, fs_->attributes(src) | attr::kArchive);
    return true;
}

bool SimFiles::deleteFile(const std::string& path) {
    using namespace platform;
    const Resolved r = fs_->resolve(path);
    if (!r.exists) return fail(missingError(r));
    if (r.folder || (fs_->attributes(r) & attr::kReadOnly)) return fail(error::kAccessDenied);
    if (auto refused = fs_->writeRefusal(r.host)) return fail(refused);
    const auto id = fileIdOf(r.host);
    if (fs_->deletePending(*id)) return fail(error::kAccessDenied);
    if (fs_->isOpen(*id)) {
        if (!fs_->deletable(*id)) return fail(error::kSharingViolation);
        // Every holder allows deletion: the file goes when the last closes.
        fs_->markDeletePending(*id, r.host);
        return true;
    }
    const std::uint64_t size = hostSize(r.host);
    std::error_code ec;
    if (!fs::remove(r.host, ec)) return fail(error::kAccessDenied);
    fs_->release(r.volume, size);
    fs_->forgetRecords(r.host);
    return true;
}

bool SimFiles::rename(const Resolved& from, const Resolved& to) {
    using namespace platform;
    if (auto refused = fs_->writeRefusal(from.host)) return fail(refused);
    if (auto refused = fs_->writeRefusal(to.host)) return fail(refused);
    if (from.folder ? fs_->openBelow(from.host, false) : fs_->openBelow(from.host, true)) {
        return fail(from.folder ? error::kAccessDenied : error::kSharingViolation);
    }
    const std::uint64_t size = from.folder ? 0 : hostSize(from.host);
    if (from.volume != to.volume && !fs_->reserve(to.volume, size)) {
        return fail(error::kDiskFull);
    }
    std::error_code ec;
    fs::rename(from.host, to.host, ec);
    if (ec) return fail(error::kAccessDenied);
    if (from.volume != to.volume) fs_->release(from.volume, size);
    fs_->renameRecords(from.host, to.host);
    return true;
}

bool SimFiles::moveFile(const std::string& from, const std::string& to) {
    using namespace platform;
    const Resolved src = fs_->resolve(from);
    if (!src.exists) return fail(missingError(src));
    Resolved dst = fs_->resolve(to);
    if (dst.error != 0) return fail(dst.error);
    if (dst.exists) {
        // Only a change of letter case may keep the same entry.
        if (!(*fileIdOf(dst.host) == *fileIdOf(src.host))) return fail(error::kAlreadyExists);
        dst.host = dst.host.substr(0, dst.host.rfind('/') + 1) + fs_->fullPath(to).substr(
                       fs_->fullPath(to).rfind('\\') + 1);
    }
    return rename(src, dst);
}

bool SimFiles::replaceFile(const std::string& from, const std::string& to) {
    using namespace platform;
    const Resolved src = fs_->resolve(from);
    if (!src.exists) return fail(missingError(src));
    const Resolved dst = fs_->resolve(to);
    if (dst.error != 0) return fail(dst.error);
    if (dst.exists && !(*fileIdOf(dst.host) == *fileIdOf(src.host))) {
        if (dst.folder || src.folder) return fail(error::kAccessDenied);
        if (fs_->attributes(dst) & attr::kReadOnly) return fail(error::kAccessDenied);
        if (fs_->isOpen(*fileIdOf(dst.host))) return fail(error::kAccessDenied);
        if (fs_->openBelow(src.host, true)) return fail(error::kSharingViolation);
        if (auto refused = fs_->writeRefusal(dst.host)) return fail(refused);
        fs_->release(dst.volume, hostSize(dst.host));
        fs_->forgetRecords(dst.host);
    }
    return rename(src, dst);
}

std::optional<platform::FindData> SimFiles::find(const std::string& path) {
    const Resolved r = fs_->resolve(path);
    if (!r.exists || r.names.empty()) {
        fail(missingError(r));
        return std::nullopt;
    }
    platform::FindData data;
    data.name = r.names.back();
    data.attributes = fs_->attributes(r);
    data.size = r.folder ? 0 : hostSize(r.host);
    return data;
}

std::optional<std::vector<std::string>> SimFiles::list(const std::string& folder) {
    const Resolved r = fs_->resolve(folder);
    if (!r.exists || !r.folder) {
        fail(platform::error::kPathNotFound);
        return std::nullopt;
    }
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(r.host, ec)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

std::optional<platform::LocalTime> SimFiles::lastWriteTime(const std::string& path) {
    const Resolved r = fs_->resolve(path);
    if (!r.exists) {
        fail(missingError(r));
        return std::nullopt;
    }
    return fs_->lastWrite(r.host);
}

platform::ShortPathResult SimFiles::shortPath(const std::string& path,
                                              std::uint32_t bufferChars) {
    platform::ShortPathResult result;
    std::uint32_t error = 0;
    const auto text = fs_->shortPath(path, &error);
    if (!text) {
        fail(error);
        return result;
    }
    const auto length = static_cast<std::uint32_t>(text->size());
    if (length + 1 > bufferChars) {
        result.returned = length + 1;  // the size needed, NUL included
        return result;
    }
    result.returned = length;
    result.text = *text;
    return result;
}

std::string SimFiles::fullPath(const std::string& path) { return fs_->fullPath(path); }

std::string SimFiles::currentFolder() { return fs_->currentFolder(); }

bool SimFiles::setCurrentFolder(const std::string& path) {
    const Resolved r = fs_->resolve(path);
    if (!r.exists) return fail(missingError(r));
    if (!r.folder) return fail(platform::error::kDirectoryName);
    std::string full = fs_->fullPath(path);
    if (full.size() > 3 && full.back() == '\\') full.pop_back();
    fs_->setCurrentFolder(full);
    return true;
}

std::optional<std::uint64_t> SimFiles::freeSpace(const std::string& path) {
    const Resolved r = fs_->resolve(path);
    if (!r.exists || r.volume == nullptr) {
        fail(missingError(r));
        return std::nullopt;
    }
    return r.volume->freeBytes.value_or(kPlentyOfSpace);
}

}  // namespace sim
