#include "platform/sim/SimVolumes.h"

#include <cctype>

namespace sim {

namespace {

const std::string kNtPrefix = "\\??\\";

// The letter of "C:", "c:\", "C:\Windows"; 0 for anything else.
char letterOf(const std::string& text) {
    if (text.size() < 2 || text[1] != ':' || !std::isalpha(static_cast<unsigned char>(text[0]))) {
        return 0;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
}

char letterOfDrive(int drive) {
    return drive >= 1 && drive <= 26 ? static_cast<char>('A' + drive - 1) : 0;
}

bool isSubstitution(const std::vector<std::string>& targets) {
    return !targets.empty() && targets.back().rfind(kNtPrefix, 0) == 0;
}

}  // namespace

std::uint32_t SimVolumes::driveType(const std::string& root) {
    if (root.rfind("\\\\", 0) == 0) {
        return fs_->resolve(root).exists ? platform::drive::kRemote : platform::drive::kNoRootDir;
    }
    const char letter = root.empty() ? letterOf(fs_->currentFolder()) : letterOf(root);
    if (letter == 0) return platform::drive::kNoRootDir;
    if (fs_->dosDevice(letter).empty()) return platform::drive::kNoRootDir;
    Volume* volume = fs_->volumeOfLetter(letter);
    return volume == nullptr ? platform::drive::kNoRootDir : volume->type;
}

std::optional<std::string> SimVolumes::volumeLabel(const std::string& root) {
    const char letter = letterOf(root);
    Volume* volume = nullptr;
    if (letter != 0) {
        volume = fs_->volumeOfLetter(letter);
    } else if (root.rfind("\\\\", 0) == 0) {
        volume = fs_->share(fs_->fullPath(root));
    }
    if (volume == nullptr || volume->hostRoot.empty()) return std::nullopt;
    if (!volume->ready) {
        if (!(system_.errorMode() & platform::errormode::kFailCriticalErrors)) {
            ++criticalErrorBoxes_;
        }
        return std::nullopt;
    }
    return volume->label;
}

std::optional<std::string> SimVolumes::queryDosDevice(const std::string& device) {
    const char letter = letterOf(device);
    if (letter == 0 || device.size() != 2) return std::nullopt;
    const auto& targets = fs_->dosDevice(letter);
    if (targets.empty()) return std::nullopt;
    return targets.back();
}

bool SimVolumes::defineDosDevice(std::uint32_t flags, const std::string& device,
                                 const std::string& target) {
    const char letter = letterOf(device);
    if (letter == 0 || device.size() != 2) return false;
    auto& targets = fs_->dosDevice(letter);
    const bool raw = (flags & platform::dosdevice::kRawTargetPath) != 0;
    const std::string ntTarget = raw || target.empty() ? target : kNtPrefix + target;

    if (!(flags & platform::dosdevice::kRemoveDefinition)) {
        // NT stacks a new definition over the old one (Wine refuses it).
        targets.push_back(ntTarget);
        return true;
    }
    if (targets.empty()) return false;
    if (ntTarget.empty()) {
        targets.pop_back();
    } else {
        // The newest definition that matches, fully or by prefix.
        const bool exact = (flags & platform::dosdevice::kExactMatchOnRemove) != 0;
        bool removed = false;
        for (auto it = targets.rbegin(); it != targets.rend(); ++it) {
            const bool match = exact ? sameText(*it, ntTarget) : startsWithText(*it, ntTarget);
            if (match) {
                targets.erase(std::next(it).base());
                removed = true;
                break;
            }
        }
        if (!removed) return false;
    }
    if (targets.empty()) fs_->removeLetter(letter);
    return true;
}

std::string SimVolumes::querySubstitution9x(int drive) {
    calls9x_.push_back(SubstitutionCall9x{'q', drive, ""});
    const char letter = letterOfDrive(drive);
    if (!service9xWorks_ || letter == 0) return "";
    const auto& targets = fs_->dosDevice(letter);
    if (!isSubstitution(targets)) return "";
    const std::string folder = targets.back().substr(kNtPrefix.size());
    return fs_->longPath(folder).value_or(folder);
}

void SimVolumes::createSubstitution9x(int drive, const std::string& shortFolder) {
    calls9x_.push_back(SubstitutionCall9x{'c', drive, shortFolder});
    const char letter = letterOfDrive(drive);
    if (!service9xWorks_ || letter == 0) return;
    const Resolved folder = fs_->resolve(shortFolder);
    if (!folder.exists || !folder.folder) return;
    // DOS substitutes only a letter that is free or already a substitution.
    auto& targets = fs_->dosDevice(letter);
    if (!targets.empty() && !isSubstitution(targets)) return;
    targets = {kNtPrefix + shortFolder};
}

void SimVolumes::terminateSubstitution9x(int drive) {
    calls9x_.push_back(SubstitutionCall9x{'t', drive, ""});
    const char letter = letterOfDrive(drive);
    if (!service9xWorks_ || letter == 0) return;
    if (isSubstitution(fs_->dosDevice(letter))) fs_->removeLetter(letter);
}

}  // namespace sim
