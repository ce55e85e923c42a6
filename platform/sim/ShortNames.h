// Short (8.3) names as the simulated file system gives them: a name that
// already fits the 8.3 form is its own short name; any other gets the
// first six letters of its name in capitals, "~" and a number, and the
// first three letters of its extension. Numbers go to the long names of a
// folder in name order, so the result is the same on every run.
#pragma once

#include <string>
#include <vector>

namespace sim {

bool fitsShortForm(const std::string& name);

// The short name of `name` among the names of its folder (which include it).
std::string shortNameFor(const std::string& name, const std::vector<std::string>& folderNames);

}  // namespace sim
