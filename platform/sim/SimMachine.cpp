#include "platform/sim/SimMachine.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace sim {

Machine::Machine()
    : disks_(std::make_shared<FileSystem>(clock_)),
      files_(disks_),
      profiles_(files_),
      system_(disks_, clock_),
      volumes_(disks_, system_),
      network_(disks_, registry_),
      shell_(disks_, clock_, volumes_) {
    platform_.profiles = &profiles_;
    platform_.registry = &registry_;
    platform_.files = &files_;
    platform_.volumes = &volumes_;
    platform_.network = &network_;
    platform_.shell = &shell_;
    platform_.system = &system_;
    addDrive('C');
    makeFolder(system_.windowsFolder());
}

Volume& Machine::addDrive(char letter, std::uint32_t type, const std::string& label) {
    return disks_->addVolume(letter, type, label);
}

void Machine::addLetterWithoutRoot(char letter) {
    disks_->addLetterWithoutRoot(letter, platform::drive::kNoRootDir);
}

Volume& Machine::addEmptyDrive(char letter, std::uint32_t type) {
    Volume& volume = disks_->addVolume(letter, type, "");
    volume.ready = false;
    return volume;
}

Volume& Machine::addShare(const std::string& remoteName, const std::string& label) {
    Volume& volume = disks_->addShare(remoteName);
    volume.label = label;
    return volume;
}

Volume& Machine::mapNetworkDrive(char letter, const std::string& remoteName,
                                 const std::string& label) {
    Volume& volume = addShare(remoteName, label);
    disks_->connectLetter(letter, volume);
    return volume;
}

std::string Machine::hostPath(const std::string& path) { return disks_->resolve(path).host; }

void Machine::makeFolder(const std::string& path) {
    const std::string full = disks_->fullPath(path);
    // The root is "C:\" or "\\server\share"; folders are made below it.
    std::size_t at = 3;
    if (full.rfind("\\\\", 0) == 0) {
        const std::size_t server = full.find('\\', 2);
        at = server == std::string::npos ? full.size() : full.find('\\', server + 1);
        if (at == std::string::npos) at = full.size();
    }
    while (at <= full.size()) {
        std::size_t next = full.find('\\', at + 1);
        if (next == std::string::npos) next = full.size();
        const Resolved r = disks_->resolve(full.substr(0, next));
        if (r.error != 0 || (r.exists && !r.folder)) {
            throw std::runtime_error("cannot make folder " + path);
        }
        if (!r.exists) fs::create_directory(r.host);
        if (next == full.size()) break;
        at = next;
    }
}

void Machine::writeFile(const std::string& path, const std::string& bytes) {
    const std::string full = disks_->fullPath(path);
    const std::size_t slash = full.rfind('\\');
    if (slash != std::string::npos && slash > 2) makeFolder(full.substr(0, slash));
    const Resolved r = disks_->resolve(full);
    if (r.error != 0 || (r.exists && r.folder)) {
        throw std::runtime_error("cannot write " + path);
    }
    std::ofstream out(r.host, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    disks_->touch(r.host);
}

std::optional<std::string> Machine::readFile(const std::string& path) {
    const Resolved r = disks_->resolve(path);
    if (!r.exists || r.folder) return std::nullopt;
    std::ifstream in(r.host, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool Machine::exists(const std::string& path) { return disks_->resolve(path).exists; }

bool Machine::isFolder(const std::string& path) {
    const Resolved r = disks_->resolve(path);
    return r.exists && r.folder;
}

std::unique_ptr<platform::OpenFile> Machine::holdOpen(const std::string& path,
                                                      std::uint32_t access, std::uint32_t share) {
    return files_.open(path, access, share, platform::disposition::kOpenExisting,
                       platform::attr::kNormal);
}

void Machine::refuseWrites(const std::string& path, std::uint32_t error) {
    disks_->refuseWrites(hostPath(path), error);
}

void Machine::allowWrites(const std::string& path) { disks_->allowWrites(hostPath(path)); }

void Machine::fillDiskAfter(char letter, std::uint64_t bytes) {
    if (Volume* volume = disks_->volumeOfLetter(letter)) volume->freeBytes = bytes;
}

}  // namespace sim
