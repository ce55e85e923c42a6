// A settings (INI) file, read and written through the platform's
// private-profile functions. Every write goes to the file at once; a write
// the platform refuses raises EIniFileError.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/Dates.h"
#include "platform/Exception.h"

// "Unable to write to <path>".
class EIniFileError : public Exception {
public:
    explicit EIniFileError(const std::string& path);
};

class IniFile {
public:
    explicit IniFile(std::string path) : path_(std::move(path)) {}

    const std::string& FileName() const { return path_; }

    // The value, or `fallback` only when the key is absent.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    // Decimal, or hexadecimal after "0x"; anything else (including an
    // empty value or a number beyond 32 bits) reads as `fallback`.
    int ReadInteger(const std::string& section, const std::string& key, int fallback) const;
    // An integer flag, non-zero meaning true.
    bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;
    // A DD/MM/YYYY date; an empty or invalid one reads as `fallback`.
    Date ReadDate(const std::string& section, const std::string& key, const Date& fallback) const;

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    // "1" or "0".
    void WriteBool(const std::string& section, const std::string& key, bool value);
    void WriteDate(const std::string& section, const std::string& key, const Date& value);

    // A section exists when it holds at least one key.
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    // The key names of a section, in file order.
    std::vector<std::string> ReadSection(const std::string& section) const;

    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& key);

private:
    std::string path_;
};

// Reads an INI integer, blanks around it allowed: optional sign and decimal
// digits within 32 bits, or "0x" and up to eight hexadecimal digits (taken
// as a 32-bit pattern). Nullopt otherwise.
std::optional<int> ParseIniInteger(const std::string& text);
