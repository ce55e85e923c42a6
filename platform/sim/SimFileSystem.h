// The simulated machine's disks: drive letters and network shares mapped
// to folders of a temporary host directory, Windows paths resolved to host
// paths without regard to case, the DOS device names behind the letters,
// the attributes Windows keeps beside each file, and the table of open
// handles that enforces sharing modes and byte-range locks.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimText.h"

namespace sim {

// One volume: a local disk, a share, or the empty target of a letter
// without a root.
struct Volume {
    std::string device;  // the NT device name QueryDosDeviceA reports
    std::uint32_t type = platform::drive::kFixed;
    std::string label;
    std::string hostRoot;  // empty when the letter has no root
    std::string remoteName;  // "\\SERVER\SHARE" for a share
    bool ready = true;       // false: a drive without its medium
    std::optional<std::uint64_t> freeBytes;  // nullopt: never fills
};

// Where a Windows path leads on the host.
struct Resolved {
    std::uint32_t error = 0;  // kPathNotFound: a folder on the way is missing
    std::string host;         // the host path (to be created when !exists)
    std::string root;         // the Windows root as given ("C:", "\\srv\share")
    std::vector<std::string> names;  // the names below it, as stored on disk
    bool exists = false;
    bool folder = false;
    Volume* volume = nullptr;
};

// A file's identity on the host, stable across renames.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator<(const FileId& o) const {
        return device != o.device ? device < o.device : inode < o.inode;
    }
    bool operator==(const FileId& o) const { return device == o.device && inode == o.inode; }
};

// One open handle as the sharing checks see it.
struct OpenRecord {
    FileId id;
    std::uint32_t access = 0;
    std::uint32_t share = 0;
    std::string host;
};

struct RangeLock {
    const OpenRecord* owner = nullptr;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    bool exclusive = false;
};

class FileSystem {
public:
    explicit FileSystem(Clock& clock);
    ~FileSystem();
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;

    const std::string& hostRoot() const { return hostRoot_; }
    Clock& clock() { return clock_; }

    // The error of the last failed file call, like a thread's GetLastError.
    std::uint32_t lastError() const { return lastError_; }
    void setLastError(std::uint32_t error) { lastError_ = error; }

    // --- Letters, volumes and DOS device names -------------------------
    Volume& addVolume(char letter, std::uint32_t type, const std::string& label);
    void addLetterWithoutRoot(char letter, std::uint32_t type);
    Volume& addShare(const std::string& remoteName);
    Volume* share(const std::string& remoteName);
    // Points the letter at a share, as a mapped network drive.
    void connectLetter(char letter, Volume& shareVolume);
    void removeLetter(char letter);
    // The volume a letter reaches, after substitutions; null when none.
    Volume* volumeOfLetter(char letter);
    // The device names of a letter, oldest first (empty: not defined).
    std::vector<std::string>& dosDevice(char letter);
    std::uint32_t letterMask() const;

    // --- Paths ---------------------------------------------------------
    std::string fullPath(const std::string& path) const;
    Resolved resolve(const std::string& path);
    // The long form of a path, each name in the case stored on disk.
    std::optional<std::string> longPath(const std::string& path);
    std::optional<std::string> shortPath(const std::string& path, std::uint32_t* error);
    const std::string& currentFolder() const { return currentFolder_; }
    void setCurrentFolder(const std::string& fullPath) { currentFolder_ = fullPath; }

    // --- What Windows keeps beside each file ---------------------------
    std::uint32_t attributes(const Resolved& entry) const;
    void setAttributes(const std::string& host, std::uint32_t attributes);
    platform::LocalTime lastWrite(const std::string& host) const;
    void touch(const std::string& host);
    // Moves or forgets the records of a path and everything below it.
    void renameRecords(const std::string& from, const std::string& to);
    void forgetRecords(const std::string& host);

    // --- Refused writes --------------------------------------------------
    // Opens for writing, creations, deletions and renames at or below the
    // host path fail with `error`.
    void refuseWrites(const std::string& host, std::uint32_t error);
    void allowWrites(const std::string& host);
    std::uint32_t writeRefusal(const std::string& host) const;

    // --- Open handles ------------------------------------------------------
    // 0 when an open with this access and sharing may join the others.
    std::uint32_t sharingConflict(const FileId& id, std::uint32_t access,
                                  std::uint32_t share) const;
    // True when every open handle of the file lets it be deleted.
    bool deletable(const FileId& id) const;
    bool isOpen(const FileId& id) const;
    bool openBelow(const std::string& host, bool needDeleteSharing) const;
    void addOpen(OpenRecord* record);
    // Removes the handle and its locks; runs a pending delete at the last one.
    void removeOpen(OpenRecord* record);
    void markDeletePending(const FileId& id, const std::string& host);
    bool deletePending(const FileId& id) const;

    std::uint32_t lock(const OpenRecord* owner, std::uint64_t offset, std::uint64_t length,
                       bool exclusive);
    std::uint32_t unlock(const OpenRecord* owner, std::uint64_t offset, std::uint64_t length);
    // 0 when the handle may read or write the range.
    std::uint32_t rangeConflict(const OpenRecord* who, std::uint64_t offset,
                                std::uint64_t length, bool write) const;

    // --- Disk space ------------------------------------------------------
    // Takes `bytes` of the volume's free space; false when it is short.
    bool reserve(Volume* volume, std::uint64_t bytes);
    void release(Volume* volume, std::uint64_t bytes);

private:
    struct Split {
        char letter = 0;
        std::string share;  // "\\server\share" for a UNC path
        std::vector<std::string> names;
    };
    bool split(const std::string& fullPath, Split* out) const;
    // Finds a name in a host folder, by long or short name.
    std::optional<std::string> findName(const std::string& hostFolder, const std::string& name);
    Resolved resolveRoot(const Split& where, int depth);
    Resolved resolveDepth(const std::string& path, int depth);

    Clock& clock_;
    std::string hostRoot_;
    std::uint32_t lastError_ = 0;
    int nextVolume_ = 1;
    std::map<char, std::vector<std::string>> dosDevices_;
    std::map<std::string, std::unique_ptr<Volume>, TextLess> volumes_;  // by device name
    std::map<std::string, Volume*, TextLess> shares_;                   // by remote name
    std::string currentFolder_ = "C:\\";

    struct Record {
        std::uint32_t attributes = 0;
        platform::LocalTime lastWrite;
    };
    std::map<std::string, Record> records_;
    std::map<std::string, std::uint32_t> refusals_;
    std::vector<OpenRecord*> open_;
    std::vector<RangeLock> locks_;
    std::map<FileId, std::string> pendingDeletes_;
};

// The host identity of an existing host path.
std::optional<FileId> fileIdOf(const std::string& host);

}  // namespace sim
