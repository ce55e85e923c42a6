// The Windows registry: keys opened under a root with an access mask, and
// their values. Destroying a key closes it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

enum class RegistryRoot { CurrentUser, LocalMachine };

namespace regaccess {
constexpr std::uint32_t kRead = 0x20019;       // KEY_READ
constexpr std::uint32_t kAllAccess = 0xF003F;  // KEY_ALL_ACCESS
}  // namespace regaccess

namespace regtype {
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kString = 1;         // REG_SZ
constexpr std::uint32_t kExpandString = 2;   // REG_EXPAND_SZ
constexpr std::uint32_t kBinary = 3;         // REG_BINARY
constexpr std::uint32_t kDword = 4;          // REG_DWORD
}  // namespace regtype

struct RegistryValue {
    std::uint32_t type = regtype::kNone;
    std::string data;  // the raw bytes; for strings without the final NUL
    // The value as a 32-bit integer when it is a REG_DWORD (or 4 bytes).
    std::optional<std::uint32_t> number() const;
};

class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    virtual bool valueExists(const std::string& name) = 0;
    // RegQueryValueExA; nullopt when the value is missing or unreadable.
    virtual std::optional<RegistryValue> read(const std::string& name) = 0;
    // RegSetValueExA with REG_SZ.
    virtual bool writeString(const std::string& name, const std::string& text) = 0;
    // RegSetValueExA with REG_DWORD.
    virtual bool writeNumber(const std::string& name, std::uint32_t number) = 0;
    virtual bool deleteValue(const std::string& name) = 0;
};

class Registry {
public:
    virtual ~Registry() = default;
    // RegCreateKeyExA when `create`, else RegOpenKeyExA. `path` is relative
    // to the root and may begin with a backslash. Null on failure.
    virtual std::unique_ptr<RegistryKey> open(RegistryRoot root, const std::string& path,
                                              std::uint32_t access, bool create) = 0;
    virtual std::uint32_t lastError() const = 0;
};

}  // namespace platform
