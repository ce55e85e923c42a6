#include "common/Text.h"

namespace {

unsigned char UpperOf(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
    switch (c) {
        case 0x9A: return 0x8A;  // š
        case 0x9C: return 0x8C;  // œ
        case 0x9E: return 0x8E;  // ž
        case 0xFF: return 0x9F;  // ÿ
        default: return c;
    }
}

unsigned char LowerOf(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
    switch (c) {
        case 0x8A: return 0x9A;
        case 0x8C: return 0x9C;
        case 0x8E: return 0x9E;
        case 0x9F: return 0xFF;
        default: return c;
    }
}

template <class Fold>
std::string Folded(const std::string& text, Fold fold) {
    std::string result = text;
    for (char& c : result) c = static_cast<char>(fold(static_cast<unsigned char>(c)));
    return result;
}

}  // namespace

std::string AnsiUpperCase(const std::string& text) { return Folded(text, UpperOf); }
std::string AnsiLowerCase(const std::string& text) { return Folded(text, LowerOf); }

bool IsBlank(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) > 32) return false;
    }
    return true;
}
