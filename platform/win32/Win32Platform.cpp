#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Facilities.h"

namespace platform::win32 {

namespace {

struct Facilities {
    std::unique_ptr<Files> files = makeFiles();
    std::unique_ptr<Profiles> profiles = makeProfiles();
    std::unique_ptr<Registry> registry = makeRegistry();
    std::unique_ptr<Volumes> volumes = makeVolumes();
    std::unique_ptr<Network> network = makeNetwork();
    std::unique_ptr<Shell> shell = makeShell();
    std::unique_ptr<System> system = makeSystem();
    Platform platform{profiles.get(), registry.get(), files.get(), volumes.get(),
                      network.get(),  shell.get(),    system.get()};
};

}  // namespace

Platform& Win32Platform() {
    static Facilities facilities;
    return facilities.platform;
}

void InstallWin32Platform() { Install(&Win32Platform()); }

}  // namespace platform::win32
