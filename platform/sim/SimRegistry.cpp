#include "platform/sim/SimRegistry.h"

#include <algorithm>

#include "platform/Types.h"

namespace sim {

namespace {

constexpr std::uint32_t kQueryValue = 0x0001;  // KEY_QUERY_VALUE
constexpr std::uint32_t kSetValue = 0x0002;    // KEY_SET_VALUE
constexpr std::uint32_t kCreateSubKey = 0x0004;
constexpr std::uint32_t kMaximumAllowed = 0x02000000;

std::vector<std::string> keyNames(const std::string& path) {
    std::vector<std::string> names;
    std::string part;
    for (char c : path + "\\") {
        if (c == '\\') {
            if (!part.empty()) names.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    return names;
}

platform::RegistryValue stringValue(const std::string& text) {
    return platform::RegistryValue{platform::regtype::kString, text};
}

platform::RegistryValue numberValue(std::uint32_t n) {
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((n >> (8 * i)) & 0xFF);
    return platform::RegistryValue{platform::regtype::kDword, data};
}

class SimRegistryKey : public platform::RegistryKey {
public:
    SimRegistryKey(std::shared_ptr<RegistryNode> node, std::uint32_t access, bool writesRefused,
                   std::shared_ptr<std::uint32_t> lastError)
        : node_(std::move(node)),
          access_(access),
          writesRefused_(writesRefused),
          lastError_(std::move(lastError)) {}

    bool valueExists(const std::string& name) override { return readable() && node_->find(name); }

    std::optional<platform::RegistryValue> read(const std::string& name) override {
        if (!readable()) return std::nullopt;
        const auto* value = node_->find(name);
        if (value == nullptr) {
            *lastError_ = platform::error::kFileNotFound;
            return std::nullopt;
        }
        return *value;
    }

    bool writeString(const std::string& name, const std::string& text) override {
        return set(name, stringValue(text));
    }
    bool writeNumber(const std::string& name, std::uint32_t number) override {
        return set(name, numberValue(number));
    }

    bool deleteValue(const std::string& name) override {
        if (!writable()) return false;
        auto& values = node_->values;
        auto it = std::find_if(values.begin(), values.end(),
                               [&](const auto& v) { return sameText(v.first, name); });
        if (it == values.end()) {
            *lastError_ = platform::error::kFileNotFound;
            return false;
        }
        values.erase(it);
        return true;
    }

private:
    bool readable() {
        if (access_ & (kQueryValue | kMaximumAllowed)) return true;
        *lastError_ = platform::error::kAccessDenied;
        return false;
    }
    // MAXIMUM_ALLOWED opens succeed on a refused key, its writes do not.
    bool writable() {
        const bool allowed = !writesRefused_ && (access_ & (kSetValue | kMaximumAllowed));
        if (!allowed) *lastError_ = platform::error::kAccessDenied;
        return allowed;
    }
    bool set(const std::string& name, const platform::RegistryValue& value) {
        if (!writable()) return false;
        if (auto* existing = node_->find(name)) {
            *existing = value;
        } else {
            node_->values.emplace_back(name, value);
        }
        return true;
    }

    std::shared_ptr<RegistryNode> node_;
    std::uint32_t access_;
    bool writesRefused_;
    std::shared_ptr<std::uint32_t> lastError_;
};

}  // namespace

platform::RegistryValue* RegistryNode::find(const std::string& name) {
    for (auto& [stored, value] : values) {
        if (sameText(stored, name)) return &value;
    }
    return nullptr;
}

SimRegistry::SimRegistry()
    : currentUser_(std::make_shared<RegistryNode>()),
      localMachine_(std::make_shared<RegistryNode>()),
      lastError_(std::make_shared<std::uint32_t>(0)) {}

std::unique_ptr<platform::RegistryKey> SimRegistry::open(platform::RegistryRoot root,
                                                         const std::string& path,
                                                         std::uint32_t access, bool create) {
    const bool wantsWrite = (access & (kSetValue | kCreateSubKey)) != 0;
    std::shared_ptr<RegistryNode> at =
        root == platform::RegistryRoot::CurrentUser ? currentUser_ : localMachine_;
    Refusal refusal = at->refusal;
    for (const auto& name : keyNames(path)) {
        auto it = at->children.find(name);
        if (it == at->children.end()) {
            if (!create) {
                *lastError_ = platform::error::kFileNotFound;
                return nullptr;
            }
            if (refusal != Refusal::None) {
                *lastError_ = platform::error::kAccessDenied;
                return nullptr;
            }
            it = at->children.emplace(name, std::make_shared<RegistryNode>()).first;
        }
        at = it->second;
        if (at->refusal != Refusal::None) refusal = at->refusal;
    }
    if (refusal == Refusal::All || (refusal == Refusal::Writes && wantsWrite)) {
        *lastError_ = platform::error::kAccessDenied;
        return nullptr;
    }
    *lastError_ = 0;
    // A key below a refused one carries the refusal, as an inherited ACL.
    return std::make_unique<SimRegistryKey>(at, access, refusal == Refusal::Writes, lastError_);
}

RegistryNode* SimRegistry::node(platform::RegistryRoot root, const std::string& path) const {
    RegistryNode* at = root == platform::RegistryRoot::CurrentUser ? currentUser_.get()
                                                                   : localMachine_.get();
    for (const auto& name : keyNames(path)) {
        auto it = at->children.find(name);
        if (it == at->children.end()) return nullptr;
        at = it->second.get();
    }
    return at;
}

RegistryNode& SimRegistry::createNode(platform::RegistryRoot root, const std::string& path) {
    RegistryNode* at = root == platform::RegistryRoot::CurrentUser ? currentUser_.get()
                                                                   : localMachine_.get();
    for (const auto& name : keyNames(path)) {
        auto& child = at->children[name];
        if (!child) child = std::make_shared<RegistryNode>();
        at = child.get();
    }
    return *at;
}

void SimRegistry::setValue(platform::RegistryRoot root, const std::string& path,
                           const std::string& name, const platform::RegistryValue& value) {
    RegistryNode& at = createNode(root, path);
    if (auto* existing = at.find(name)) {
        *existing = value;
    } else {
        at.values.emplace_back(name, value);
    }
}

void SimRegistry::setString(platform::RegistryRoot root, const std::string& path,
                            const std::string& name, const std::string& text) {
    setValue(root, path, name, stringValue(text));
}

void SimRegistry::setNumber(platform::RegistryRoot root, const std::string& path,
                            const std::string& name, std::uint32_t number) {
    setValue(root, path, name, numberValue(number));
}

std::optional<platform::RegistryValue> SimRegistry::value(platform::RegistryRoot root,
                                                          const std::string& path,
                                                          const std::string& name) const {
    RegistryNode* at = node(root, path);
    if (at == nullptr) return std::nullopt;
    const auto* found = at->find(name);
    if (found == nullptr) return std::nullopt;
    return *found;
}

bool SimRegistry::keyExists(platform::RegistryRoot root, const std::string& path) const {
    return node(root, path) != nullptr;
}

std::vector<std::string> SimRegistry::valueNames(platform::RegistryRoot root,
                                                 const std::string& path) const {
    std::vector<std::string> names;
    if (RegistryNode* at = node(root, path)) {
        for (const auto& entry : at->values) names.push_back(entry.first);
    }
    return names;
}

void SimRegistry::deleteKey(platform::RegistryRoot root, const std::string& path) {
    auto names = keyNames(path);
    if (names.empty()) return;
    const std::string leaf = names.back();
    names.pop_back();
    std::string parent;
    for (const auto& name : names) parent += "\\" + name;
    if (RegistryNode* at = node(root, parent)) at->children.erase(leaf);
}

void SimRegistry::refuse(platform::RegistryRoot root, const std::string& path, Refusal refusal) {
    createNode(root, path).refusal = refusal;
}

}  // namespace sim
