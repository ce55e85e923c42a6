// The text of a private-profile (INI) file, read and edited as the Windows
// profile functions treat it: names compare without case and without the
// blanks around them, the first of duplicate sections and keys wins, lines
// starting with ";" are comments, a line without "=" is a key without a
// value, one pair of matching quotes around a value is dropped on reading,
// and any bytes at all parse to something.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sim {

class IniText {
public:
    explicit IniText(const std::string& text);

    // The value of the key; nullopt when the key is absent (or has no "=").
    std::optional<std::string> value(const std::string& section, const std::string& key) const;
    std::vector<std::string> keys(const std::string& section) const;
    std::vector<std::string> sections() const;

    void set(const std::string& section, const std::string& key, const std::string& value);
    // False when there was nothing to remove.
    bool eraseSection(const std::string& section);
    bool eraseKey(const std::string& section, const std::string& key);

    // The whole file, each line ended by CR LF.
    std::string text() const;

private:
    enum class Kind { Blank, Comment, Section, Key };
    struct Line {
        Kind kind = Kind::Blank;
        std::string raw;
        std::string name;
        std::optional<std::string> value;
    };
    static Line parse(const std::string& raw);
    // Index of the first section header of that name; npos when none.
    std::size_t findSection(const std::string& section) const;
    // One past the last line of the section starting at `header`.
    std::size_t sectionEnd(std::size_t header) const;
    std::size_t findKey(const std::string& section, const std::string& key) const;

    std::vector<Line> lines_;
};

}  // namespace sim
