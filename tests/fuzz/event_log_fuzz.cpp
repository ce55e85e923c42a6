// The event log update on an existing EVENTS.XML of any content: never a
// crash, and a recorded event leaves a file that ends with the closing line.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "common/EventLog.h"
#include "common/ProcessStart.h"
#include "platform/sim/SimMachine.h"
#include "toolkit/sim/SimBackend.h"

namespace {

struct World {
    sim::Machine machine;
    sim::ScopedPlatform installed{machine};
    toolkit::sim::SimBackend screen;
    World() {
        ResetRuntime();
        machine.makeFolder("C:\\Virelle");
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static World* world = new World();
    const std::string path = "C:\\Virelle\\EVENTS.XML";
    const std::string before(reinterpret_cast<const char*>(data), size);
    world->machine.writeFile(path, before);

    LogEvent("Information", "GetShortPathName");

    const std::string after = world->machine.readFile(path).value_or("");
    const bool full = size >= 16384;
    const bool closed = after.size() >= 11 && after.compare(after.size() - 11, 11, "</EVENTS>\r\n") == 0;
    if (full ? after != before : !closed) {
        std::fprintf(stderr, "event log after the update (%zu bytes):\n%s\n", after.size(),
                     after.c_str());
        std::abort();
    }
    return 0;
}
