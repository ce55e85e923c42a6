// What a checkpoint costs in file work, counted on the simulated machine:
// two file opens per line for the main program and nothing more; no file
// work at all for any other program.
#include <gtest/gtest.h>

#include <string>

#include "common/StartupLog.h"
#include "platform/FaultInjection.h"
#include "CommonTestSupport.h"

namespace {

// Calls of the file facility proper (opens, attributes, folders, ...), not
// those made on handles already open.
std::size_t FileFacilityCalls(const platform::FaultInjector& counted) {
    std::size_t calls = 0;
    for (const std::string& call : counted.log())
        if (call.rfind("Files.", 0) == 0) ++calls;
    return calls;
}

std::size_t HandleCalls(const platform::FaultInjector& counted) {
    std::size_t calls = 0;
    for (const std::string& call : counted.log())
        if (call.rfind("OpenFile.", 0) == 0) ++calls;
    return calls;
}

TEST(CheckpointFileWork, MainProgramOpensTwoFilesPerCheckpointNonMainProgramNone) {
    struct Case {
        const char* program;
        std::size_t opensPerCheckpoint;
    };
    const Case cases[] = {
        {"C:\\Virelle\\VRL.EXE", 2},
        {"C:\\Corvane\\CRV.EXE", 2},
        {"C:\\Virelle\\VRL_DPD134.exe", 0},
        {"C:\\Virelle\\vrl.exe", 0},
    };
    constexpr int kCheckpoints = 25;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        commontest::SimWorld world(c.program);
        platform::FaultInjectingPlatform counting(world.machine.platform());
        sim::ScopedPlatform installed(counting.platform());
        Checkpoint(0);
        const std::size_t filesBefore = FileFacilityCalls(counting.faults());
        const std::size_t opensBefore = counting.faults().calls("Files.open");
        const std::size_t handlesBefore = HandleCalls(counting.faults());

        for (int i = 1; i <= kCheckpoints; ++i) Checkpoint(9 + i / 100.0L);

        const std::size_t opens = counting.faults().calls("Files.open") - opensBefore;
        EXPECT_EQ(opens, c.opensPerCheckpoint * kCheckpoints);
        EXPECT_EQ(FileFacilityCalls(counting.faults()) - filesBefore, opens)
            << "a checkpoint does nothing with files but open them";
        if (c.opensPerCheckpoint == 0) {
            EXPECT_EQ(HandleCalls(counting.faults()), handlesBefore);
        }
    }
}

}  // namespace
