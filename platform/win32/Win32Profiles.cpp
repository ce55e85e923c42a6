// Private-profile files through the kernel's profile functions.
#include <vector>

#include "platform/win32/Win32Facilities.h"
#include "platform/win32/WindowsSupport.h"

namespace platform::win32 {

namespace {

constexpr DWORD kValueBuffer = 2048;
// Handed to Windows as the default, so an absent key is told apart from
// any value, and the caller's fallback is returned whole (Windows would
// cut its trailing blanks and its length).
constexpr const char* kAbsent = "\x01vrl-absent\x02";

// The NUL-separated names a list call fills in; the buffer grows until
// they fit (the call answers size - 2 when they did not).
template <typename Call>
std::vector<std::string> nameList(Call call) {
    std::vector<char> buffer(4096);
    for (;;) {
        const DWORD n = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n + 2 < buffer.size() || buffer.size() >= (1u << 24)) {
            std::vector<std::string> names;
            for (DWORD i = 0; i < n;) {
                const std::string name(&buffer[i]);
                if (!name.empty()) names.push_back(name);
                i += static_cast<DWORD>(name.size()) + 1;
            }
            return names;
        }
        buffer.resize(buffer.size() * 4);
    }
}

class Win32Profiles : public Profiles {
public:
    std::string read(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& fallback) override {
        char value[kValueBuffer] = {0};
        GetPrivateProfileStringA(section.c_str(), key.c_str(), kAbsent, value, kValueBuffer,
                                 path.c_str());
        return std::string(value) == kAbsent ? fallback : std::string(value);
    }

    std::vector<std::string> keys(const std::string& path, const std::string& section) override {
        return nameList([&](char* buffer, DWORD size) {
            return GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer, size,
                                            path.c_str());
        });
    }

    std::vector<std::string> sections(const std::string& path) override {
        return nameList([&](char* buffer, DWORD size) {
            return GetPrivateProfileSectionNamesA(buffer, size, path.c_str());
        });
    }

    bool write(const std::string& path, const std::string& section, const std::string& key,
               const std::string& value) override {
        return written(path, WritePrivateProfileStringA(section.c_str(), key.c_str(),
                                                        value.c_str(), path.c_str()));
    }
    bool eraseSection(const std::string& path, const std::string& section) override {
        return written(path,
                       WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, path.c_str()));
    }
    bool eraseKey(const std::string& path, const std::string& section,
                  const std::string& key) override {
        return written(path, WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr,
                                                        path.c_str()));
    }

private:
    // Windows 9x keeps profile writes in a cache; an all-null write sends
    // them to the file at once (NT writes through anyway).
    static bool written(const std::string& path, BOOL ok) {
        if (ok) WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
        return ok != FALSE;
    }
};

}  // namespace

std::unique_ptr<Profiles> makeProfiles() { return std::make_unique<Win32Profiles>(); }

}  // namespace platform::win32
