// Text helpers of the simulated machine: names compare as Windows compares
// file, key and section names (ASCII and Latin-1 letters without case).
#pragma once

#include <string>

namespace sim {

char foldChar(char c);
std::string foldCase(const std::string& text);
bool sameText(const std::string& a, const std::string& b);
bool startsWithText(const std::string& text, const std::string& prefix);

// Orders names without regard to case, for maps keyed by Windows names.
struct TextLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

}  // namespace sim
