// The facilities of FaultInjectingPlatform: one decorator per facility,
// each passing calls on to the wrapped platform unless the injector fails
// them. Only FaultInjection.cpp uses this header.
#pragma once

#include <memory>

#include "platform/FaultInjection.h"

namespace platform {

struct FaultInjectingPlatform::Facilities {
    Facilities(Platform& inner, FaultInjector& injector);
    ~Facilities();
    Platform platform();

    std::unique_ptr<Files> files;
    std::unique_ptr<Profiles> profiles;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<Volumes> volumes;
    std::unique_ptr<Network> network;
    std::unique_ptr<Shell> shell;
    std::unique_ptr<System> system;
};

}  // namespace platform
