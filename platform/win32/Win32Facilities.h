// The Win32 facilities, one made by each file of platform/win32/.
#pragma once

#include <memory>

#include "platform/Platform.h"

namespace platform::win32 {

std::unique_ptr<Files> makeFiles();
std::unique_ptr<Profiles> makeProfiles();
std::unique_ptr<Registry> makeRegistry();
std::unique_ptr<Volumes> makeVolumes();
std::unique_ptr<Network> makeNetwork();
std::unique_ptr<Shell> makeShell();
std::unique_ptr<System> makeSystem();

}  // namespace platform::win32
