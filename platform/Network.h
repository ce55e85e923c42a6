// Network connections of drive letters (the mpr WNet functions). Every call
// returns the Windows error code, 0 on success.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

namespace net {
constexpr std::uint32_t kScopeGlobalNet = 2;   // RESOURCE_GLOBALNET
constexpr std::uint32_t kTypeDisk = 1;         // RESOURCETYPE_DISK
constexpr std::uint32_t kUsageConnectable = 1; // RESOURCEUSAGE_CONNECTABLE
constexpr std::uint32_t kUpdateProfile = 1;    // CONNECT_UPDATE_PROFILE
constexpr std::uint32_t kInteractive = 8;      // CONNECT_INTERACTIVE
}  // namespace net

// NETRESOURCEA; empty texts are passed as empty strings, never as null.
struct NetResource {
    std::uint32_t scope = 0;
    std::uint32_t type = 0;
    std::uint32_t displayType = 0;
    std::uint32_t usage = 0;
    std::string localName;
    std::string remoteName;
    std::string comment;
    std::string provider;
};

class Network {
public:
    virtual ~Network() = default;
    // WNetGetConnectionA with a 261-character buffer.
    virtual std::uint32_t getConnection(const std::string& localName, std::string* remoteName) = 0;
    // WNetAddConnection2A.
    virtual std::uint32_t addConnection(const NetResource& resource, const std::string& password,
                                        const std::string& userName, std::uint32_t flags) = 0;
    // WNetCancelConnection2A.
    virtual std::uint32_t cancelConnection(const std::string& name, std::uint32_t flags,
                                           bool force) = 0;
};

}  // namespace platform
