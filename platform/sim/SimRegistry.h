// The simulated machine's registry: two in-memory hives (HKCU, HKLM) of
// keys whose names and value names compare without case, with access that
// a test can refuse per key (and so for everything below it).
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/sim/SimText.h"

namespace sim {

enum class Refusal {
    None,
    Writes,  // opening for writing, creating and setting values fail with 5
    All,     // every open fails with 5
};

struct RegistryNode {
    std::map<std::string, std::shared_ptr<RegistryNode>, TextLess> children;
    std::vector<std::pair<std::string, platform::RegistryValue>> values;  // in creation order
    Refusal refusal = Refusal::None;

    platform::RegistryValue* find(const std::string& name);
};

class SimRegistry : public platform::Registry {
public:
    SimRegistry();

    std::unique_ptr<platform::RegistryKey> open(platform::RegistryRoot root,
                                                const std::string& path, std::uint32_t access,
                                                bool create) override;
    std::uint32_t lastError() const override { return *lastError_; }

    // --- For tests -----------------------------------------------------
    void setValue(platform::RegistryRoot root, const std::string& path, const std::string& name,
                  const platform::RegistryValue& value);
    void setString(platform::RegistryRoot root, const std::string& path, const std::string& name,
                   const std::string& text);
    void setNumber(platform::RegistryRoot root, const std::string& path, const std::string& name,
                   std::uint32_t number);
    std::optional<platform::RegistryValue> value(platform::RegistryRoot root,
                                                 const std::string& path,
                                                 const std::string& name) const;
    bool keyExists(platform::RegistryRoot root, const std::string& path) const;
    // The value names of a key, in creation order.
    std::vector<std::string> valueNames(platform::RegistryRoot root, const std::string& path) const;
    void deleteKey(platform::RegistryRoot root, const std::string& path);
    void refuse(platform::RegistryRoot root, const std::string& path, Refusal refusal);

private:
    RegistryNode* node(platform::RegistryRoot root, const std::string& path) const;
    RegistryNode& createNode(platform::RegistryRoot root, const std::string& path);

    std::shared_ptr<RegistryNode> currentUser_;
    std::shared_ptr<RegistryNode> localMachine_;
    std::shared_ptr<std::uint32_t> lastError_;
};

}  // namespace sim
