#include "platform/sim/ShortNames.h"

#include <algorithm>
#include <cctype>

#include "platform/sim/SimText.h"

namespace sim {

namespace {

bool isShortChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x80) return true;
    if (std::isalnum(u)) return true;
    static const std::string kAllowed = "!#$%&'()-@^_`{}~";
    return kAllowed.find(c) != std::string::npos;
}

std::string upper(const std::string& text) {
    std::string out;
    for (char c : text) out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// The letters a short name can keep: capitals, invalid ones as "_",
// blanks and dots dropped.
std::string cleaned(const std::string& part) {
    std::string out;
    for (char c : part) {
        if (c == ' ' || c == '.') continue;
        out += isShortChar(c) ? c : '_';
    }
    return upper(out);
}

void splitExtension(const std::string& name, std::string* base, std::string* ext) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) {
        *base = name;
        ext->clear();
    } else {
        *base = name.substr(0, dot);
        *ext = name.substr(dot + 1);
    }
}

// What decides a long name's rivals: the six letters and the extension
// its short name keeps.
std::string stem(const std::string& name) {
    std::string base, ext;
    splitExtension(name, &base, &ext);
    std::string b = cleaned(base).substr(0, 6);
    const std::string e = cleaned(ext).substr(0, 3);
    if (b.empty()) b = "_";
    return b + "|" + e;
}

}  // namespace

bool fitsShortForm(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    std::string base, ext;
    const std::size_t dot = name.find('.');
    if (dot != name.rfind('.')) return false;
    splitExtension(name, &base, &ext);
    if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
    if (dot != std::string::npos && dot == name.size() - 1) return false;
    return std::all_of(base.begin(), base.end(), isShortChar) &&
           std::all_of(ext.begin(), ext.end(), isShortChar);
}

std::string shortNameFor(const std::string& name, const std::vector<std::string>& folderNames) {
    if (fitsShortForm(name)) return name;

    // The long names that share this name's stem compete for its numbers;
    // names that already fit 8.3 keep theirs and block those numbers.
    const std::string own = stem(name);
    std::vector<std::string> rivals;
    std::vector<std::string> taken;
    for (const auto& other : folderNames) {
        if (fitsShortForm(other)) {
            taken.push_back(upper(other));
        } else if (stem(other) == own) {
            rivals.push_back(other);
        }
    }
    if (std::find_if(rivals.begin(), rivals.end(),
                     [&](const std::string& r) { return r == name; }) == rivals.end()) {
        rivals.push_back(name);
    }
    std::sort(rivals.begin(), rivals.end(), TextLess());

    const std::string base = own.substr(0, own.find('|'));
    const std::string ext = own.substr(own.find('|') + 1);
    std::size_t rank = 0;
    int number = 0;
    std::string candidate;
    while (rank < rivals.size()) {
        ++number;
        const std::string suffix = "~" + std::to_string(number);
        candidate = base.substr(0, 8 - suffix.size()) + suffix + (ext.empty() ? "" : "." + ext);
        if (std::find(taken.begin(), taken.end(), candidate) != taken.end()) continue;
        if (rivals[rank] == name) break;
        ++rank;
    }
    return candidate;
}

}  // namespace sim
