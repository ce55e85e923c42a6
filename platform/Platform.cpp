#include "platform/Platform.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {
Platform* g_installed = nullptr;
}  // namespace

Platform& Current() {
    if (g_installed == nullptr) {
        std::fputs("platform::Current() called before a platform was installed\n", stderr);
        std::abort();
    }
    return *g_installed;
}

Platform* Install(Platform* platform) {
    Platform* previous = g_installed;
    g_installed = platform;
    return previous;
}

std::optional<std::uint32_t> RegistryValue::number() const {
    if (data.size() != 4) return std::nullopt;
    const auto* b = reinterpret_cast<const unsigned char*>(data.data());
    return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
           std::uint32_t(b[3]) << 24;
}

}  // namespace platform
