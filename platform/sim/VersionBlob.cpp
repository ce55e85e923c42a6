#include "platform/sim/VersionBlob.h"

#include <cstdint>

namespace sim {

namespace {

constexpr std::uint32_t kSignature = 0xFEEF04BD;
constexpr std::size_t kFixedSize = 52;  // sizeof(VS_FIXEDFILEINFO)

void put16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void put32(std::string& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

std::uint32_t get32(const std::string& in, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(in[at + i]);
    return v;
}

std::uint16_t get16(const std::string& in, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(in[at]) |
                                      static_cast<unsigned char>(in[at + 1]) << 8);
}

}  // namespace

std::string makeVersionBlob(const platform::FixedFileVersion& version) {
    std::string out;
    put16(out, 0);  // wLength, patched below
    put16(out, kFixedSize);
    put16(out, 0);  // binary value
    for (char c : std::string("VS_VERSION_INFO")) put16(out, static_cast<std::uint16_t>(c));
    put16(out, 0);
    while (out.size() % 4 != 0) out += '\0';
    put32(out, kSignature);
    put32(out, 0x00010000);  // structure version 1.0
    put32(out, version.fileVersionMS);
    put32(out, version.fileVersionLS);
    put32(out, version.fileVersionMS);  // product version: the same
    put32(out, version.fileVersionLS);
    put32(out, 0x3F);  // flags mask
    put32(out, 0);     // flags
    put32(out, 0x40004);  // VOS_NT_WINDOWS32
    put32(out, 1);        // VFT_APP
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    out[0] = static_cast<char>(out.size() & 0xFF);
    out[1] = static_cast<char>(out.size() >> 8);
    return out;
}

std::optional<platform::FixedFileVersion> fixedVersionOf(const std::string& block) {
    // The root value follows the key "VS_VERSION_INFO" at a 32-bit boundary.
    constexpr std::size_t kValueAt = 40;
    if (block.size() < kValueAt + kFixedSize) return std::nullopt;
    if (get16(block, 0) > block.size() || get16(block, 2) < kFixedSize) return std::nullopt;
    if (get32(block, kValueAt) != kSignature) return std::nullopt;
    platform::FixedFileVersion version;
    version.fileVersionMS = get32(block, kValueAt + 8);
    version.fileVersionLS = get32(block, kValueAt + 12);
    return version;
}

}  // namespace sim
