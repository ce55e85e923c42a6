// Faults the sweep found in the product, each pinned by the smallest run
// that showed it.
#include <gtest/gtest.h>

#include "common/DataLock.h"
#include "common/ProcessStart.h"
#include "common/Variant.h"
#include "platform/FaultInjection.h"
#include "platform/sim/SimMachine.h"

namespace {

// At shut-down the practice folder may not answer for a moment (a network
// drive, a failing disk): the lock file then stays, but the handle must
// still go, or the packing program is kept out for as long as this process
// lives.
TEST(MendedFaults, ReleasingTheLockClosesTheHandleEvenWhenTheFolderDoesNotAnswer) {
    sim::Machine machine;
    machine.system().setModuleFileName("C:\\Virelle\\VRL_DPD134.EXE");
    machine.writeFile("C:\\Virelle\\VRL.INI", "[Virelle]\r\nWD=C:\r\n");
    sim::ScopedPlatform plain(machine);
    ResetRuntime();
    ASSERT_TRUE(InitializeRuntime());
    ASSERT_TRUE(OpenDataLock());
    ASSERT_TRUE(DataLockHeld());

    platform::FaultInjectingPlatform faulty(machine.platform());
    faulty.faults().add({"Files.attributes", 1, 0, true});
    {
        sim::ScopedPlatform installed(faulty.platform());
        ReleaseDataLock();
    }

    EXPECT_FALSE(DataLockHeld());
    EXPECT_NE(machine.holdOpen("C:\\Virelle\\VRL.LCK", platform::access::kRead | platform::access::kWrite,
                               platform::share::kNone),
              nullptr)
        << "the packing program gets the lock file to itself";
    CloseDataLock();
    ResetRuntime();
}

}  // namespace
