// Helpers of the practice database start-up that tests reach directly.
#pragma once

#include <string>

// The short (8.3) form of an existing path. When the system has none, the
// event "GetShortPathName" is recorded and the result is empty. The pair is
// recorded in the machine settings file, section GetShortPathName.
std::string ShortPathOf(const std::string& path);
