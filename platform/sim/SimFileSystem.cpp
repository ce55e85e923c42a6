#include "platform/sim/SimFileSystem.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/Files.h"
#include "platform/sim/ShortNames.h"

namespace fs = std::filesystem;

namespace sim {

namespace {

constexpr std::uint32_t kDeleteAccess = 0x10000;
constexpr int kMaxSubstitutionDepth = 8;

char upperLetter(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool wantsRead(std::uint32_t access) {
    return (access & (platform::access::kRead | 0x1u | 0x10000000u)) != 0;
}
bool wantsWrite(std::uint32_t access) {
    return (access & (platform::access::kWrite | 0x2u | 0x4u | 0x10000000u)) != 0;
}
bool wantsDelete(std::uint32_t access) { return (access & (kDeleteAccess | 0x10000000u)) != 0; }

bool validName(const std::string& name) {
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 || std::string("<>:\"|?*").find(c) != std::string::npos) return false;
    }
    return true;
}

std::vector<std::string> splitNames(const std::string& text) {
    std::vector<std::string> names;
    std::string part;
    for (char c : text) {
        if (c == '\\') {
            if (!part.empty()) names.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) names.push_back(part);
    return names;
}

std::vector<std::string> folderNames(const std::string& hostFolder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(hostFolder, ec)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

bool overlaps(std::uint64_t a, std::uint64_t alen, std::uint64_t b, std::uint64_t blen) {
    if (alen == 0 || blen == 0) return false;
    return a < b + blen && b < a + alen;
}

}  // namespace

std::optional<FileId> fileIdOf(const std::string& host) {
    struct stat st {};
    if (::stat(host.c_str(), &st) != 0) return std::nullopt;
    return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

FileSystem::FileSystem(Clock& clock) : clock_(clock) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vrl-sim-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) {
        throw std::runtime_error("cannot create the simulated machine's folder " + pattern);
    }
    hostRoot_ = buffer.data();
}

FileSystem::~FileSystem() {
    std::error_code ec;
    fs::remove_all(hostRoot_, ec);
}

// --- Letters, volumes and DOS device names --------------------------------

Volume& FileSystem::addVolume(char letter, std::uint32_t type, const std::string& label) {
    letter = upperLetter(letter);
    const int number = nextVolume_++;
    auto volume = std::make_unique<Volume>();
    const char* kind = type == platform::drive::kCdRom       ? "\\Device\\CdRom"
                       : type == platform::drive::kRemovable ? "\\Device\\Floppy"
                                                             : "\\Device\\HarddiskVolume";
    volume->device = kind + std::to_string(number);
    volume->type = type;
    volume->label = label;
    volume->hostRoot = hostRoot_ + "/volume" + std::to_string(number) + "-" + letter;
    fs::create_directories(volume->hostRoot);
    Volume& ref = *volume;
    dosDevices_[letter] = {ref.device};
    volumes_[ref.device] = std::move(volume);
    return ref;
}

void FileSystem::addLetterWithoutRoot(char letter, std::uint32_t type) {
    letter = upperLetter(letter);
    auto volume = std::make_unique<Volume>();
    volume->device = "\\Device\\HarddiskVolume" + std::to_string(nextVolume_++);
    volume->type = type;
    dosDevices_[letter] = {volume->device};
    volumes_[volume->device] = std::move(volume);
}

Volume& FileSystem::addShare(const std::string& remoteName) {
    if (Volume* existing = share(remoteName)) return *existing;
    const int number = nextVolume_++;
    auto volume = std::make_unique<Volume>();
    volume->device = "\\Device\\LanmanRedirector" + remoteName.substr(1);
    volume->type = platform::drive::kRemote;
    volume->remoteName = remoteName;
    volume->hostRoot = hostRoot_ + "/share" + std::to_string(number);
    fs::create_directories(volume->hostRoot);
    Volume& ref = *volume;
    shares_[remoteName] = &ref;
    volumes_[ref.device] = std::move(volume);
    return ref;
}

Volume* FileSystem::share(const std::string& remoteName) {
    std::string name = remoteName;
    while (name.size() > 2 && name.back() == '\\') name.pop_back();
    auto it = shares_.find(name);
    return it == shares_.end() ? nullptr : it->second;
}

void FileSystem::connectLetter(char letter, Volume& shareVolume) {
    dosDevices_[upperLetter(letter)] = {shareVolume.device};
}

void FileSystem::removeLetter(char letter) { dosDevices_.erase(upperLetter(letter)); }

std::vector<std::string>& FileSystem::dosDevice(char letter) {
    return dosDevices_[upperLetter(letter)];
}

std::uint32_t FileSystem::letterMask() const {
    std::uint32_t mask = 0;
    for (const auto& [letter, targets] : dosDevices_) {
        if (!targets.empty() && letter >= 'A' && letter <= 'Z') mask |= 1u << (letter - 'A');
    }
    return mask;
}

Volume* FileSystem::volumeOfLetter(char letter) {
    Split where;
    where.letter = upperLetter(letter);
    return resolveRoot(where, 0).volume;
}

// --- Paths ------------------------------------------------------------------

std::string FileSystem::fullPath(const std::string& path) const {
    std::string p = path;
    std::replace(p.begin(), p.end(), '/', '\\');
    if (p.empty()) return "";

    std::string root;
    std::string rest;
    std::vector<std::string> base;
    auto rootOfCurrent = [&]() {
        if (currentFolder_.rfind("\\\\", 0) == 0) {
            const auto names = splitNames(currentFolder_);
            return names.size() >= 2 ? "\\\\" + names[0] + "\\" + names[1] : currentFolder_;
        }
        return currentFolder_.substr(0, 2);
    };
    auto namesOfCurrent = [&]() {
        auto names = splitNames(currentFolder_.substr(rootOfCurrent().size()));
        return names;
    };

    if (p.rfind("\\\\", 0) == 0) {
        const auto names = splitNames(p);
        if (names.size() < 2) return p;  // no share named: left as it is
        root = "\\\\" + names[0] + "\\" + names[1];
        for (std::size_t i = 2; i < names.size(); ++i) rest += "\\" + names[i];
    } else if (p.size() >= 2 && p[1] == ':') {
        root = p.substr(0, 2);
        rest = p.substr(2);
        if (rest.empty() || rest[0] != '\\') {
            if (sameText(rootOfCurrent(), root)) base = namesOfCurrent();
        }
    } else if (p[0] == '\\') {
        root = rootOfCurrent();
        rest = p;
    } else {
        root = rootOfCurrent();
        base = namesOfCurrent();
        rest = p;
    }

    for (const auto& name : splitNames(rest)) {
        if (name == ".") continue;
        if (name == "..") {
            if (!base.empty()) base.pop_back();
            continue;
        }
        base.push_back(name);
    }
    std::string out = root;
    for (const auto& name : base) out += "\\" + name;
    const bool trailing = p.back() == '\\';
    if (base.empty() ? root.size() == 2 || trailing : trailing) out += "\\";
    return out;
}

bool FileSystem::split(const std::string& full, Split* out) const {
    if (full.rfind("\\\\", 0) == 0) {
        const auto names = splitNames(full);
        if (names.size() < 2) return false;
        out->share = "\\\\" + names[0] + "\\" + names[1];
        out->names.assign(names.begin() + 2, names.end());
        return true;
    }
    if (full.size() < 2 || full[1] != ':' || !std::isalpha(static_cast<unsigned char>(full[0]))) {
        return false;
    }
    out->letter = upperLetter(full[0]);
    out->names = splitNames(full.substr(2));
    return true;
}

std::optional<std::string> FileSystem::findName(const std::string& hostFolder,
                                                const std::string& name) {
    const auto names = folderNames(hostFolder);
    for (const auto& stored : names) {
        if (sameText(stored, name)) return stored;
    }
    if (name.find('~') == std::string::npos) return std::nullopt;
    for (const auto& stored : names) {
        if (sameText(shortNameFor(stored, names), name)) return stored;
    }
    return std::nullopt;
}

Resolved FileSystem::resolveRoot(const Split& where, int depth) {
    Resolved r;
    Volume* volume = nullptr;
    if (where.letter == 0) {
        volume = share(where.share);
        if (volume == nullptr) {
            r.error = platform::error::kBadNetName;
            return r;
        }
    } else {
        auto it = dosDevices_.find(where.letter);
        if (it == dosDevices_.end() || it->second.empty()) {
            r.error = platform::error::kPathNotFound;
            return r;
        }
        const std::string& target = it->second.back();
        if (target.rfind("\\??\\", 0) == 0) {
            // A substitution: the letter stands for a folder elsewhere.
            if (depth >= kMaxSubstitutionDepth) {
                r.error = platform::error::kPathNotFound;
                return r;
            }
            Resolved folder = resolveDepth(target.substr(4), depth + 1);
            if (!folder.exists || !folder.folder) {
                Resolved missing;
                missing.error = platform::error::kPathNotFound;
                return missing;
            }
            folder.names.clear();
            return folder;
        }
        auto vol = volumes_.find(target);
        if (vol == volumes_.end()) {
            r.error = platform::error::kPathNotFound;
            return r;
        }
        volume = vol->second.get();
    }
    r.volume = volume;
    if (volume->hostRoot.empty()) {
        r.error = platform::error::kPathNotFound;
        return r;
    }
    if (!volume->ready) {
        r.error = platform::error::kNotReady;
        return r;
    }
    r.host = volume->hostRoot;
    r.exists = true;
    r.folder = true;
    return r;
}

Resolved FileSystem::resolve(const std::string& path) { return resolveDepth(path, 0); }

Resolved FileSystem::resolveDepth(const std::string& path, int depth) {
    const std::string full = fullPath(path);
    Split where;
    if (!split(full, &where)) {
        Resolved bad;
        bad.error = full.rfind("\\\\", 0) == 0 ? platform::error::kBadNetName
                                               : platform::error::kInvalidName;
        return bad;
    }
    Resolved r = resolveRoot(where, depth);
    r.root = where.letter != 0 ? full.substr(0, 2) : where.share;
    r.names.clear();
    if (r.error != 0) return r;

    for (std::size_t i = 0; i < where.names.size(); ++i) {
        const std::string& name = where.names[i];
        const bool last = i + 1 == where.names.size();
        if (!validName(name)) {
            r.error = platform::error::kInvalidName;
            r.exists = false;
            return r;
        }
        if (!r.folder) {
            r.error = platform::error::kPathNotFound;
            r.exists = false;
            return r;
        }
        const auto stored = findName(r.host, name);
        if (!stored) {
            r.host += "/" + name;
            r.names.push_back(name);
            r.exists = false;
            r.folder = false;
            if (!last) r.error = platform::error::kPathNotFound;
            return r;
        }
        r.host += "/" + *stored;
        r.names.push_back(*stored);
        std::error_code ec;
        r.folder = fs::is_directory(r.host, ec);
    }
    return r;
}

std::optional<std::string> FileSystem::longPath(const std::string& path) {
    const Resolved r = resolve(path);
    if (!r.exists) return std::nullopt;
    std::string out = r.root;
    for (const auto& name : r.names) out += "\\" + name;
    if (r.names.empty()) out += "\\";
    return out;
}

std::optional<std::string> FileSystem::shortPath(const std::string& path, std::uint32_t* error) {
    const Resolved r = resolve(path);
    if (!r.exists) {
        *error = r.volume == nullptr && r.error == platform::error::kPathNotFound
                     ? platform::error::kPathNotFound
                     : platform::error::kFileNotFound;
        return std::nullopt;
    }
    // Walk the stored names again, each folder giving its own numbering.
    Split where;
    split(fullPath(path), &where);
    Resolved walk = resolveRoot(where, 0);
    std::string out = r.root;
    for (const auto& name : r.names) {
        out += "\\" + shortNameFor(name, folderNames(walk.host));
        walk.host += "/" + name;
    }
    if (r.names.empty() || path.back() == '\\' || path.back() == '/') out += "\\";
    return out;
}

// --- Records beside the files -----------------------------------------------

std::uint32_t FileSystem::attributes(const Resolved& entry) const {
    auto it = records_.find(entry.host);
    std::uint32_t stored = it == records_.end() ? 0 : it->second.attributes;
    if (entry.folder) {
        stored &= ~(platform::attr::kNormal | platform::attr::kArchive);
        return stored | platform::attr::kDirectory;
    }
    if (it == records_.end()) return platform::attr::kArchive;
    return stored == 0 ? platform::attr::kNormal : stored;
}

void FileSystem::setAttributes(const std::string& host, std::uint32_t attributes) {
    constexpr std::uint32_t kKept = platform::attr::kReadOnly | platform::attr::kHidden |
                                    platform::attr::kSystem | platform::attr::kArchive;
    std::uint32_t value = attributes & kKept;
    if (value == 0) value = platform::attr::kNormal;
    auto& record = records_[host];
    if (record.lastWrite.year == 1601) record.lastWrite = clock_.now();
    record.attributes = value;
}

platform::LocalTime FileSystem::lastWrite(const std::string& host) const {
    auto it = records_.find(host);
    return it == records_.end() ? clock_.now() : it->second.lastWrite;
}

void FileSystem::touch(const std::string& host) {
    auto [it, fresh] = records_.try_emplace(host);
    if (fresh) it->second.attributes = platform::attr::kArchive;
    it->second.lastWrite = clock_.now();
}

void FileSystem::renameRecords(const std::string& from, const std::string& to) {
    std::map<std::string, Record> moved;
    for (auto it = records_.begin(); it != records_.end();) {
        const std::string& key = it->first;
        if (key == from || key.rfind(from + "/", 0) == 0) {
            moved[to + key.substr(from.size())] = it->second;
            it = records_.erase(it);
        } else {
            ++it;
        }
    }
    for (auto& [key, record] : moved) records_[key] = record;
}

void FileSystem::forgetRecords(const std::string& host) {
    for (auto it = records_.begin(); it != records_.end();) {
        if (it->first == host || it->first.rfind(host + "/", 0) == 0) {
            it = records_.erase(it);
        } else {
            ++it;
        }
    }
}

void FileSystem::refuseWrites(const std::string& host, std::uint32_t error) {
    refusals_[host] = error;
}

void FileSystem::allowWrites(const std::string& host) { refusals_.erase(host); }

std::uint32_t FileSystem::writeRefusal(const std::string& host) const {
    for (const auto& [prefix, error] : refusals_) {
        if (host == prefix || host.rfind(prefix + "/", 0) == 0) return error;
    }
    return 0;
}

// --- Open handles -----------------------------------------------------------

std::uint32_t FileSystem::sharingConflict(const FileId& id, std::uint32_t access,
                                          std::uint32_t share) const {
    for (const OpenRecord* other : open_) {
        if (!(other->id == id)) continue;
        const bool clash =
            (wantsRead(access) && !(other->share & platform::share::kRead)) ||
            (wantsWrite(access) && !(other->share & platform::share::kWrite)) ||
            (wantsDelete(access) && !(other->share & platform::share::kDelete)) ||
            (wantsRead(other->access) && !(share & platform::share::kRead)) ||
            (wantsWrite(other->access) && !(share & platform::share::kWrite)) ||
            (wantsDelete(other->access) && !(share & platform::share::kDelete));
        if (clash) return platform::error::kSharingViolation;
    }
    return 0;
}

bool FileSystem::deletable(const FileId& id) const {
    return std::none_of(open_.begin(), open_.end(), [&](const OpenRecord* other) {
        return other->id == id && !(other->share & platform::share::kDelete);
    });
}

bool FileSystem::isOpen(const FileId& id) const {
    return std::any_of(open_.begin(), open_.end(),
                       [&](const OpenRecord* other) { return other->id == id; });
}

bool FileSystem::openBelow(const std::string& host, bool needDeleteSharing) const {
    return std::any_of(open_.begin(), open_.end(), [&](const OpenRecord* other) {
        const bool below = other->host == host || other->host.rfind(host + "/", 0) == 0;
        return below && (!needDeleteSharing || !(other->share & platform::share::kDelete));
    });
}

void FileSystem::addOpen(OpenRecord* record) { open_.push_back(record); }

void FileSystem::removeOpen(OpenRecord* record) {
    open_.erase(std::remove(open_.begin(), open_.end(), record), open_.end());
    locks_.erase(std::remove_if(locks_.begin(), locks_.end(),
                                [&](const RangeLock& l) { return l.owner == record; }),
                 locks_.end());
    auto pending = pendingDeletes_.find(record->id);
    if (pending != pendingDeletes_.end() && !isOpen(record->id)) {
        std::error_code ec;
        fs::remove(pending->second, ec);
        forgetRecords(pending->second);
        pendingDeletes_.erase(pending);
    }
}

void FileSystem::markDeletePending(const FileId& id, const std::string& host) {
    pendingDeletes_[id] = host;
}

bool FileSystem::deletePending(const FileId& id) const { return pendingDeletes_.count(id) != 0; }

std::uint32_t FileSystem::lock(const OpenRecord* owner, std::uint64_t offset,
                               std::uint64_t length, bool exclusive) {
    for (const RangeLock& held : locks_) {
        if (!(held.owner->id == owner->id)) continue;
        if (!overlaps(offset, length, held.offset, held.length)) continue;
        // A shared lock may lie over the handle's own exclusive lock;
        // everything else that overlaps is refused.
        if (exclusive || (held.exclusive && held.owner != owner)) {
            return platform::error::kLockViolation;
        }
    }
    locks_.push_back(RangeLock{owner, offset, length, exclusive});
    return 0;
}

std::uint32_t FileSystem::unlock(const OpenRecord* owner, std::uint64_t offset,
                                 std::uint64_t length) {
    for (auto it = locks_.begin(); it != locks_.end(); ++it) {
        if (it->owner == owner && it->offset == offset && it->length == length) {
            locks_.erase(it);
            return 0;
        }
    }
    return platform::error::kNotLocked;
}

std::uint32_t FileSystem::rangeConflict(const OpenRecord* who, std::uint64_t offset,
                                        std::uint64_t length, bool write) const {
    for (const RangeLock& held : locks_) {
        if (!(held.owner->id == who->id)) continue;
        if (!overlaps(offset, length, held.offset, held.length)) continue;
        // Exclusive locks keep other handles out; shared locks keep every
        // writer out, their owner included.
        if (held.exclusive ? held.owner != who : write) return platform::error::kLockViolation;
    }
    return 0;
}

// --- Disk space -------------------------------------------------------------

bool FileSystem::reserve(Volume* volume, std::uint64_t bytes) {
    if (volume == nullptr || !volume->freeBytes) return true;
    if (*volume->freeBytes < bytes) return false;
    *volume->freeBytes -= bytes;
    return true;
}

void FileSystem::release(Volume* volume, std::uint64_t bytes) {
    if (volume != nullptr && volume->freeBytes) *volume->freeBytes += bytes;
}

}  // namespace sim
