// Files and folders, reached by Windows paths ("C:\Virelle\VRL.INI").
// Every operation that can fail reports the Windows error code of its last
// failure through lastError(), read right after the failing call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace platform {

// CreateFileA access, sharing and creation values.
namespace access {
constexpr std::uint32_t kRead = 0x80000000;   // GENERIC_READ
constexpr std::uint32_t kWrite = 0x40000000;  // GENERIC_WRITE
}  // namespace access
namespace share {
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kRead = 1;    // FILE_SHARE_READ
constexpr std::uint32_t kWrite = 2;   // FILE_SHARE_WRITE
constexpr std::uint32_t kDelete = 4;  // FILE_SHARE_DELETE
}  // namespace share
namespace disposition {
constexpr std::uint32_t kCreateNew = 1;
constexpr std::uint32_t kCreateAlways = 2;
constexpr std::uint32_t kOpenExisting = 3;
constexpr std::uint32_t kOpenAlways = 4;
}  // namespace disposition

// An open file handle. Destroying it closes the handle.
class OpenFile {
public:
    virtual ~OpenFile() = default;

    // Reads up to `length` bytes at `offset`; `*got` receives the count read
    // (short at end of file). False on an I/O error.
    virtual bool readAt(std::uint64_t offset, void* buffer, std::size_t length,
                        std::size_t* got) = 0;
    // Writes all `length` bytes at `offset`, extending the file as needed.
    // False when not every byte was written (error, full disk).
    virtual bool writeAt(std::uint64_t offset, const void* buffer, std::size_t length) = 0;
    virtual std::optional<std::uint64_t> size() = 0;
    // Sets the end of file (shortens or extends with zeros).
    virtual bool truncate(std::uint64_t size) = 0;
    // Byte-range lock that fails at once instead of waiting (LockFileEx
    // with LOCKFILE_FAIL_IMMEDIATELY); shared or exclusive.
    virtual bool lockRange(std::uint64_t offset, std::uint64_t length, bool exclusive) = 0;
    virtual bool unlockRange(std::uint64_t offset, std::uint64_t length) = 0;
    // Pushes written data to the disk (FlushFileBuffers).
    virtual bool flush() = 0;
};

// The directory entry of a path, as FindFirstFileA reports it.
struct FindData {
    std::string name;  // the entry's own name, in the case stored on disk
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
};

// GetShortPathNameA's outcome: its return value (0 on failure, the needed
// size including the NUL when the buffer was too small, otherwise the
// number of characters copied) and the text it copied.
struct ShortPathResult {
    std::uint32_t returned = 0;
    std::string text;
};

class Files {
public:
    virtual ~Files() = default;

    // CreateFileA. Null on failure; lastError() says why.
    virtual std::unique_ptr<OpenFile> open(const std::string& path, std::uint32_t access,
                                           std::uint32_t share, std::uint32_t disposition,
                                           std::uint32_t attributes = attr::kNormal) = 0;

    // GetFileAttributesA; nullopt for a path that does not exist.
    virtual std::optional<std::uint32_t> attributes(const std::string& path) = 0;
    virtual bool setAttributes(const std::string& path, std::uint32_t attributes) = 0;

    // CreateDirectoryA: one level; the parent must exist.
    virtual bool createFolder(const std::string& path) = 0;
    // RemoveDirectoryA: the folder must be empty.
    virtual bool removeFolder(const std::string& path) = 0;

    // CopyFileA.
    virtual bool copyFile(const std::string& from, const std::string& to,
                          bool failIfExists) = 0;
    // DeleteFileA; fails while another holder keeps the file open without
    // delete sharing.
    virtual bool deleteFile(const std::string& path) = 0;
    // MoveFileA: never replaces an existing target.
    virtual bool moveFile(const std::string& from, const std::string& to) = 0;
    // MoveFileExA with MOVEFILE_REPLACE_EXISTING.
    virtual bool replaceFile(const std::string& from, const std::string& to) = 0;

    // FindFirstFileA on the path itself (no wildcards used by the program).
    virtual std::optional<FindData> find(const std::string& path) = 0;
    // The names in a folder (not "." and ".."), in no particular order.
    virtual std::optional<std::vector<std::string>> list(const std::string& folder) = 0;

    // The last-write time of a file, in local time.
    virtual std::optional<LocalTime> lastWriteTime(const std::string& path) = 0;

    // GetShortPathNameA into a buffer of `bufferChars` characters.
    virtual ShortPathResult shortPath(const std::string& path, std::uint32_t bufferChars) = 0;

    // GetFullPathNameA against the current folder.
    virtual std::string fullPath(const std::string& path) = 0;
    virtual std::string currentFolder() = 0;
    virtual bool setCurrentFolder(const std::string& path) = 0;

    // Free bytes available on the volume that holds `path`, when known.
    virtual std::optional<std::uint64_t> freeSpace(const std::string& path) = 0;

    // The Windows error code of the last failed call of this facility.
    virtual std::uint32_t lastError() const = 0;
};

}  // namespace platform
