#include "common/IniFile.h"

#include <cstdint>

#include "common/Text.h"
#include "platform/Platform.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return AnsiUpperCase(a) == AnsiUpperCase(b);
}

}  // namespace

EIniFileError::EIniFileError(const std::string& path) : Exception("Unable to write to " + path) {}

std::optional<int> ParseIniInteger(const std::string& raw) {
    std::size_t first = 0, last = raw.size();
    while (first < last && static_cast<unsigned char>(raw[first]) <= 32) ++first;
    while (last > first && static_cast<unsigned char>(raw[last - 1]) <= 32) --last;
    const std::string text = raw.substr(first, last - first);
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        if (text.size() > 10) return std::nullopt;
        std::uint32_t value = 0;
        for (std::size_t i = 2; i < text.size(); ++i) {
            const int digit = HexValue(text[i]);
            if (digit < 0) return std::nullopt;
            value = value << 4 | static_cast<std::uint32_t>(digit);
        }
        return static_cast<int>(static_cast<std::int32_t>(value));
    }
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    if (pos == text.size()) return std::nullopt;
    std::int64_t value = 0;
    for (; pos < text.size(); ++pos) {
        if (text[pos] < '0' || text[pos] > '9') return std::nullopt;
        value = value * 10 + (text[pos] - '0');
        if (value > std::int64_t(INT32_MAX) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
    return static_cast<int>(value);
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& fallback) const {
    return platform::profiles().read(path_, section, key, fallback);
}

int IniFile::ReadInteger(const std::string& section, const std::string& key, int fallback) const {
    return ParseIniInteger(ReadString(section, key, "")).value_or(fallback);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

Date IniFile::ReadDate(const std::string& section, const std::string& key,
                       const Date& fallback) const {
    return ParseDisplayDate(ReadString(section, key, "")).value_or(fallback);
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
    if (!platform::profiles().write(path_, section, key, value)) throw EIniFileError(path_);
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::WriteDate(const std::string& section, const std::string& key, const Date& value) {
    WriteString(section, key, DisplayDate(value));
}

bool IniFile::SectionExists(const std::string& section) const {
    return !ReadSection(section).empty();
}

bool IniFile::ValueExists(const std::string& section, const std::string& key) const {
    for (const std::string& name : ReadSection(section)) {
        if (EqualsIgnoringCase(name, key)) return true;
    }
    return false;
}

std::vector<std::string> IniFile::ReadSection(const std::string& section) const {
    return platform::profiles().keys(path_, section);
}

void IniFile::EraseSection(const std::string& section) {
    if (!platform::profiles().eraseSection(path_, section)) throw EIniFileError(path_);
}

void IniFile::DeleteKey(const std::string& section, const std::string& key) {
    if (!platform::profiles().eraseKey(path_, section, key)) throw EIniFileError(path_);
}
