// The simulated machine's network connections (WNet): letters connected to
// the machine's shares, results a test can force, and a record of every
// add and cancel call.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Network.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimRegistry.h"

namespace sim {

struct AddConnectionCall {
    platform::NetResource resource;
    std::string password;
    std::string userName;
    std::uint32_t flags;
};

struct CancelConnectionCall {
    std::string name;
    std::uint32_t flags;
    bool force;
};

class SimNetwork : public platform::Network {
public:
    SimNetwork(std::shared_ptr<FileSystem> disks, SimRegistry& registry)
        : fs_(std::move(disks)), registry_(registry) {}

    std::uint32_t getConnection(const std::string& localName, std::string* remoteName) override;
    std::uint32_t addConnection(const platform::NetResource& resource, const std::string& password,
                                const std::string& userName, std::uint32_t flags) override;
    std::uint32_t cancelConnection(const std::string& name, std::uint32_t flags,
                                   bool force) override;

    // --- For tests -----------------------------------------------------
    // No network at all: every call answers ERROR_NO_NETWORK.
    void setPresent(bool present) { present_ = present; }
    // Forces the result of the calls for one local name (nullopt: normal).
    void setGetConnectionResult(const std::string& localName, std::optional<std::uint32_t> code);
    void setAddConnectionResult(std::optional<std::uint32_t> code) { addResult_ = code; }
    void setCancelConnectionResult(std::optional<std::uint32_t> code) { cancelResult_ = code; }
    const std::vector<AddConnectionCall>& addCalls() const { return addCalls_; }
    const std::vector<CancelConnectionCall>& cancelCalls() const { return cancelCalls_; }

private:
    std::shared_ptr<FileSystem> fs_;
    SimRegistry& registry_;
    bool present_ = true;
    std::map<std::string, std::uint32_t, TextLess> getResults_;
    std::optional<std::uint32_t> addResult_;
    std::optional<std::uint32_t> cancelResult_;
    std::vector<AddConnectionCall> addCalls_;
    std::vector<CancelConnectionCall> cancelCalls_;
};

}  // namespace sim
