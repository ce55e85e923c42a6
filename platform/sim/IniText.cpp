#include "platform/sim/IniText.h"

#include "platform/sim/SimText.h"

namespace sim {

namespace {

constexpr std::size_t npos = std::string::npos;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string trim(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// A NUL byte ends a name or value, as it ends the C string Windows returns.
std::string uptoNul(const std::string& text) { return text.substr(0, text.find('\0')); }

}  // namespace

IniText::IniText(const std::string& text) {
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines_.push_back(parse(line));
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines_.push_back(parse(line));
}

IniText::Line IniText::parse(const std::string& raw) {
    Line line;
    line.raw = raw;
    const std::string body = trim(raw);
    if (body.empty()) return line;
    if (body[0] == ';') {
        line.kind = Kind::Comment;
        return line;
    }
    if (body[0] == '[') {
        const std::size_t close = body.find(']');
        if (close != npos) {
            line.kind = Kind::Section;
            line.name = uptoNul(trim(body.substr(1, close - 1)));
            return line;
        }
        // A header without "]" is read as a key line, as Windows does.
    }
    line.kind = Kind::Key;
    const std::size_t equals = body.find('=');
    if (equals == npos) {
        line.name = uptoNul(body);
    } else {
        line.name = uptoNul(trim(body.substr(0, equals)));
        line.value = uptoNul(trim(body.substr(equals + 1)));
    }
    return line;
}

std::size_t IniText::findSection(const std::string& section) const {
    const std::string wanted = trim(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Section && sameText(lines_[i].name, wanted)) return i;
    }
    return npos;
}

std::size_t IniText::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Kind::Section) ++i;
    return i;
}

std::size_t IniText::findKey(const std::string& section, const std::string& key) const {
    const std::size_t header = findSection(section);
    if (header == npos) return npos;
    const std::string wanted = trim(key);
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind == Kind::Key && sameText(lines_[i].name, wanted)) return i;
    }
    return npos;
}

std::optional<std::string> IniText::value(const std::string& section,
                                          const std::string& key) const {
    const std::size_t at = findKey(section, key);
    if (at == npos || !lines_[at].value) return std::nullopt;
    std::string v = *lines_[at].value;
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) {
        v = v.substr(1, v.size() - 2);
    }
    return v;
}

std::vector<std::string> IniText::keys(const std::string& section) const {
    std::vector<std::string> names;
    const std::size_t header = findSection(section);
    if (header == npos) return names;
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind == Kind::Key && !lines_[i].name.empty()) names.push_back(lines_[i].name);
    }
    return names;
}

std::vector<std::string> IniText::sections() const {
    std::vector<std::string> names;
    for (const auto& line : lines_) {
        if (line.kind == Kind::Section) names.push_back(line.name);
    }
    return names;
}

void IniText::set(const std::string& section, const std::string& key, const std::string& value) {
    const std::string sectionName = trim(section);
    const std::string keyName = trim(key);
    const std::size_t at = findKey(sectionName, keyName);
    if (at != npos) {
        // The stored key keeps its spelling; only the value changes.
        lines_[at] = parse(lines_[at].name + "=" + value);
        return;
    }
    std::size_t header = findSection(sectionName);
    if (header == npos) {
        lines_.push_back(parse("[" + sectionName + "]"));
        lines_.push_back(parse(keyName + "=" + value));
        return;
    }
    // After the section's last non-blank line, so blank lines that part
    // sections stay where they are.
    std::size_t insertAt = sectionEnd(header);
    while (insertAt > header + 1 && lines_[insertAt - 1].kind == Kind::Blank) --insertAt;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  parse(keyName + "=" + value));
}

bool IniText::eraseSection(const std::string& section) {
    const std::size_t header = findSection(section);
    if (header == npos) return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(sectionEnd(header)));
    return true;
}

bool IniText::eraseKey(const std::string& section, const std::string& key) {
    const std::size_t at = findKey(section, key);
    if (at == npos) return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(at));
    return true;
}

std::string IniText::text() const {
    std::string out;
    for (const auto& line : lines_) out += line.raw + "\r\n";
    return out;
}

}  // namespace sim
