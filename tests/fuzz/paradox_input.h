// The framing of the Paradox fuzzer's inputs, shared with the tool that
// makes its seeds: one flags byte, the length of the .DB part as two bytes
// (low byte first), the .DB bytes, and the rest as the .PX (none when
// empty). A length beyond the input takes what there is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace paradox_input {

constexpr std::uint8_t kPassword = 0x01;  // the session knows kPasswordText
constexpr std::uint8_t kAppend = 0x02;    // a blank record is appended
constexpr std::uint8_t kSession = 0x04;   // read again through session and table objects

// The password the enciphered seeds are made with.
constexpr char kPasswordText[] = "fuzzpass";

struct Input {
    std::uint8_t flags = 0;
    std::string table;
    std::string index;
};

inline Input Parse(const std::uint8_t* data, std::size_t size) {
    Input input;
    if (size == 0) return input;
    input.flags = data[0];
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (rest.size() < 2) {
        input.table = rest;
        return input;
    }
    const std::size_t length = static_cast<std::uint8_t>(rest[0]) | static_cast<std::size_t>(static_cast<std::uint8_t>(rest[1])) << 8;
    const std::string body = rest.substr(2);
    input.table = body.substr(0, length);
    if (length < body.size()) input.index = body.substr(length);
    return input;
}

inline std::string Frame(std::uint8_t flags, const std::string& table, const std::string& index) {
    std::string bytes(1, static_cast<char>(flags));
    bytes += static_cast<char>(table.size() & 0xFF);
    bytes += static_cast<char>((table.size() >> 8) & 0xFF);
    return bytes + table + index;
}

}  // namespace paradox_input
