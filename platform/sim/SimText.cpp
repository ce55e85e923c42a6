#include "platform/sim/SimText.h"

namespace sim {

char foldChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
    // Latin-1 capitals of the ANSI code page, except the multiplication sign.
    if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 32);
    return c;
}

std::string foldCase(const std::string& text) {
    std::string out(text);
    for (char& c : out) c = foldChar(c);
    return out;
}

bool sameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldChar(a[i]) != foldChar(b[i])) return false;
    }
    return true;
}

bool startsWithText(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && sameText(text.substr(0, prefix.size()), prefix);
}

bool TextLess::operator()(const std::string& a, const std::string& b) const {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(foldChar(a[i]));
        const auto y = static_cast<unsigned char>(foldChar(b[i]));
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

}  // namespace sim
