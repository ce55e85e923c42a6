// Text helpers for ANSI (code page 1252) texts.
#pragma once

#include <string>

// Upper and lower case as the system folds file names and labels: the
// letters a-z and the letters of code page 1252 (à-þ, š, œ, ž, ÿ and their
// capitals). ß and every other byte stay as they are.
std::string AnsiUpperCase(const std::string& text);
std::string AnsiLowerCase(const std::string& text);

// True when nothing but characters of code 32 or less is in the text.
bool IsBlank(const std::string& text);
