// Version resources as GetFileVersionInfoA returns them: a VS_VERSIONINFO
// block whose value is the VS_FIXEDFILEINFO record. The simulated machine
// builds such blocks for its files and reads the fixed record back out of
// any bytes, as VerQueryValueA("\") does.
#pragma once

#include <optional>
#include <string>

#include "platform/System.h"

namespace sim {

std::string makeVersionBlob(const platform::FixedFileVersion& version);

// The fixed file version of a block; nullopt when the block holds none.
std::optional<platform::FixedFileVersion> fixedVersionOf(const std::string& block);

}  // namespace sim
