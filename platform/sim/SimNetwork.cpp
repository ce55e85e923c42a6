#include "platform/sim/SimNetwork.h"

#include <cctype>

namespace sim {

namespace {

constexpr std::uint32_t kProviderType = 0x20000;  // WNNC_NET_LANMAN
const char* const kProviderName = "Microsoft Windows Network";

// The letter of a local name "F:"; 0 when it is not one.
char localLetter(const std::string& name) {
    if (name.size() != 2 || name[1] != ':' || !std::isalpha(static_cast<unsigned char>(name[0]))) {
        return 0;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
}

std::string profileKey(char letter) { return std::string("Network\\") + letter; }

}  // namespace

void SimNetwork::setGetConnectionResult(const std::string& localName,
                                        std::optional<std::uint32_t> code) {
    if (code) {
        getResults_[localName] = *code;
    } else {
        getResults_.erase(localName);
    }
}

std::uint32_t SimNetwork::getConnection(const std::string& localName, std::string* remoteName) {
    auto forced = getResults_.find(localName);
    if (forced != getResults_.end()) return forced->second;
    if (!present_) return platform::error::kNoNetwork;
    const char letter = localLetter(localName);
    if (letter == 0 || fs_->dosDevice(letter).empty()) return platform::error::kBadDevice;
    Volume* volume = fs_->volumeOfLetter(letter);
    const auto& targets = fs_->dosDevice(letter);
    if (volume == nullptr || volume->remoteName.empty() || targets.back() != volume->device) {
        return platform::error::kNotConnected;
    }
    *remoteName = volume->remoteName;
    return 0;
}

std::uint32_t SimNetwork::addConnection(const platform::NetResource& resource,
                                        const std::string& password,
                                        const std::string& userName, std::uint32_t flags) {
    addCalls_.push_back(AddConnectionCall{resource, password, userName, flags});
    if (addResult_) return *addResult_;
    if (!present_) return platform::error::kNoNetwork;
    Volume* shareVolume = fs_->share(resource.remoteName);
    if (shareVolume == nullptr) return platform::error::kBadNetName;
    if (resource.localName.empty()) return 0;
    const char letter = localLetter(resource.localName);
    if (letter == 0) return platform::error::kBadDevice;
    if (!fs_->dosDevice(letter).empty()) return platform::error::kAlreadyAssigned;
    fs_->connectLetter(letter, *shareVolume);
    if (flags & platform::net::kUpdateProfile) {
        using platform::RegistryRoot;
        registry_.setString(RegistryRoot::CurrentUser, profileKey(letter), "RemotePath",
                            shareVolume->remoteName);
        registry_.setString(RegistryRoot::CurrentUser, profileKey(letter), "UserName", userName);
        registry_.setString(RegistryRoot::CurrentUser, profileKey(letter), "ProviderName",
                            kProviderName);
        registry_.setNumber(RegistryRoot::CurrentUser, profileKey(letter), "ConnectionType", 1);
        registry_.setNumber(RegistryRoot::CurrentUser, profileKey(letter), "ProviderType",
                            kProviderType);
    }
    return 0;
}

std::uint32_t SimNetwork::cancelConnection(const std::string& name, std::uint32_t flags,
                                           bool force) {
    cancelCalls_.push_back(CancelConnectionCall{name, flags, force});
    if (cancelResult_) return *cancelResult_;
    if (!present_) return platform::error::kNoNetwork;
    // The name is a local letter or a remote name; a remote name cancels
    // every letter connected to it.
    std::vector<char> letters;
    const char own = localLetter(name);
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (own != 0 && letter != own) continue;
        const auto& targets = fs_->dosDevice(letter);
        Volume* volume = targets.empty() ? nullptr : fs_->volumeOfLetter(letter);
        if (volume == nullptr || volume->remoteName.empty() || targets.back() != volume->device) {
            continue;
        }
        if (own != 0 || sameText(volume->remoteName, name)) letters.push_back(letter);
    }
    if (letters.empty()) return platform::error::kNotConnected;
    for (char letter : letters) {
        fs_->removeLetter(letter);
        if (flags & platform::net::kUpdateProfile) {
            registry_.deleteKey(platform::RegistryRoot::CurrentUser, profileKey(letter));
        }
    }
    return 0;
}

}  // namespace sim
