// Network connections of drive letters through mpr.
#include <vector>

#include "platform/win32/Win32Facilities.h"
#include "platform/win32/WindowsSupport.h"

namespace platform::win32 {

namespace {

constexpr DWORD kRemoteBuffer = 261;

// A writable NUL-terminated copy, for the char* fields of NETRESOURCEA.
std::vector<char> text(const std::string& s) {
    std::vector<char> out(s.begin(), s.end());
    out.push_back('\0');
    return out;
}

class Win32Network : public Network {
public:
    std::uint32_t getConnection(const std::string& localName, std::string* remoteName) override {
        char remote[kRemoteBuffer] = {0};
        DWORD length = kRemoteBuffer;
        const DWORD result = WNetGetConnectionA(localName.c_str(), remote, &length);
        if (result == NO_ERROR) *remoteName = remote;
        return result;
    }

    std::uint32_t addConnection(const NetResource& resource, const std::string& password,
                                const std::string& userName, std::uint32_t flags) override {
        auto local = text(resource.localName);
        auto remote = text(resource.remoteName);
        auto comment = text(resource.comment);
        auto provider = text(resource.provider);
        NETRESOURCEA r{};
        r.dwScope = resource.scope;
        r.dwType = resource.type;
        r.dwDisplayType = resource.displayType;
        r.dwUsage = resource.usage;
        r.lpLocalName = local.data();
        r.lpRemoteName = remote.data();
        r.lpComment = comment.data();
        r.lpProvider = provider.data();
        return WNetAddConnection2A(&r, password.c_str(), userName.c_str(), flags);
    }

    std::uint32_t cancelConnection(const std::string& name, std::uint32_t flags,
                                   bool force) override {
        return WNetCancelConnection2A(name.c_str(), flags, force);
    }
};

}  // namespace

std::unique_ptr<Network> makeNetwork() { return std::make_unique<Win32Network>(); }

}  // namespace platform::win32
