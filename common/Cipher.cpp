#include "common/Cipher.h"

namespace {

constexpr std::uint16_t kPasswordKey = 8413;

// The database password, enciphered with kPasswordKey. It is kept only in
// this form so that the plain text never stands in the executable. The
// password has no lower-case letters: a developer machine is known by the
// password in drive C:'s label, which is compared upper-cased.
constexpr unsigned char kStoredPassword[] = {0x7A, 0x35, 0xB8, 0xD8, 0x35};

}  // namespace

std::string DecipherText(const std::string& stored, std::uint16_t key) {
    std::string result(stored.size(), '\0');
    std::uint16_t running = key;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const auto byte = static_cast<unsigned char>(stored[i]);
        result[i] = static_cast<char>(byte ^ (running >> 8));
        running = static_cast<std::uint16_t>((running + byte) * 52845u + 11719u);
    }
    return result;
}

std::string DatabasePassword() {
    return DecipherText(
        std::string(reinterpret_cast<const char*>(kStoredPassword), sizeof kStoredPassword),
        kPasswordKey);
}
