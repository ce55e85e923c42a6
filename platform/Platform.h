// The process-wide bundle of platform facilities. The program entry installs
// the Win32 platform; a test installs a simulated one. Everything reaches the
// operating system through Current().
#pragma once

#include "platform/Files.h"
#include "platform/Network.h"
#include "platform/Profiles.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/System.h"
#include "platform/Volumes.h"

namespace platform {

struct Platform {
    Profiles* profiles = nullptr;
    Registry* registry = nullptr;
    Files* files = nullptr;
    Volumes* volumes = nullptr;
    Network* network = nullptr;
    Shell* shell = nullptr;
    System* system = nullptr;
};

// The installed platform. Using it before one is installed is a programming
// error and aborts.
Platform& Current();

// Installs `platform` (not owned) and returns the one it replaces.
Platform* Install(Platform* platform);

// Shorthands for the facilities of the installed platform.
inline Profiles& profiles() { return *Current().profiles; }
inline Registry& registry() { return *Current().registry; }
inline Files& files() { return *Current().files; }
inline Volumes& volumes() { return *Current().volumes; }
inline Network& network() { return *Current().network; }
inline Shell& shell() { return *Current().shell; }
inline System& system() { return *Current().system; }

}  // namespace platform
