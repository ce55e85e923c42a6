// The fault-injecting platform over the simulated machine.
#include <gtest/gtest.h>

#include "platform/FaultInjection.h"
#include "platform/sim/SimMachine.h"

namespace {

using platform::Fault;
using platform::FaultKind;

// Writes three settings; how many of the writes succeeded.
int settingsWritten(platform::Platform& p) {
    int written = 0;
    for (const char* key : {"A", "B", "C"}) {
        written += p.profiles->write("C:\\VRL.INI", "S", key, "1");
    }
    return written;
}

TEST(FaultInjection, CountingModeCountsAndFailsNothing) {
    sim::Machine m;
    platform::FaultInjectingPlatform faulty(m.platform());
    EXPECT_EQ(settingsWritten(faulty.platform()), 3);
    EXPECT_EQ(faulty.faults().calls("Profiles.write"), 3u);
    EXPECT_EQ(faulty.faults().calls("*"), 3u);
    EXPECT_EQ(faulty.faults().faultsInjected(), 0u);
    EXPECT_EQ(faulty.faults().log().front(), "Profiles.write");
}

TEST(FaultInjection, PlannedFaultsFailTheirCalls) {
    struct Case {
        const char* name;
        Fault fault;
        int written;  // of the three writes
        std::size_t injected;
    };
    const Case cases[] = {
        {"second write", {"Profiles.write", 2}, 2, 1},
        {"from the second write on", {"Profiles.write", 2, 0, true}, 1, 2},
        {"any first call", {"*", 1}, 2, 1},
        {"an operation not called", {"Profiles.eraseSection", 1}, 3, 0},
        {"a call past the last", {"Profiles.write", 4}, 3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Machine m;
        platform::FaultInjectingPlatform faulty(m.platform());
        faulty.faults().add(c.fault);
        EXPECT_EQ(settingsWritten(faulty.platform()), c.written);
        EXPECT_EQ(faulty.faults().faultsInjected(), c.injected);
    }
}

TEST(FaultInjection, AFailedFileCallReportsItsErrorUntilTheNextCall) {
    sim::Machine m;
    m.writeFile("C:\\a.txt", "a");
    platform::FaultInjectingPlatform faulty(m.platform());
    faulty.faults().add({"Files.copyFile", 1, platform::error::kDiskFull});
    auto& files = *faulty.platform().files;
    EXPECT_FALSE(files.copyFile("C:\\a.txt", "C:\\b.txt", false));
    EXPECT_EQ(files.lastError(), platform::error::kDiskFull);
    EXPECT_FALSE(m.exists("C:\\b.txt"));
    EXPECT_FALSE(files.deleteFile("C:\\none.txt"));  // fails in the machine itself
    EXPECT_EQ(files.lastError(), platform::error::kFileNotFound);
}

TEST(FaultInjection, APartialWriteLeavesHalfTheBytes) {
    sim::Machine m;
    platform::FaultInjectingPlatform faulty(m.platform());
    faulty.faults().add({"OpenFile.writeAt", 1, 0, false, FaultKind::PartialWrite});
    auto file = faulty.platform().files->open("C:\\t.db", platform::access::kWrite, 0,
                                              platform::disposition::kCreateAlways);
    ASSERT_TRUE(file);
    EXPECT_FALSE(file->writeAt(0, "12345678", 8));
    EXPECT_EQ(faulty.platform().files->lastError(), platform::error::kDiskFull);
    file.reset();
    EXPECT_EQ(m.readFile("C:\\t.db"), "1234");
}

TEST(FaultInjection, SweepingEveryCallFailsEachOnce) {
    // The loop a robustness test runs: fail call 1, 2, 3, ... until a run
    // meets no fault.
    sim::Machine counting;
    platform::FaultInjectingPlatform probe(counting.platform());
    settingsWritten(probe.platform());
    const std::size_t calls = probe.faults().calls("*");

    std::size_t runs = 0;
    for (std::size_t nth = 1;; ++nth) {
        sim::Machine m;
        platform::FaultInjectingPlatform faulty(m.platform());
        faulty.faults().add({"*", nth});
        EXPECT_GE(settingsWritten(faulty.platform()), 2);
        if (faulty.faults().faultsInjected() == 0) break;
        ++runs;
    }
    EXPECT_EQ(runs, calls);
}

TEST(FaultInjection, WrappedKeysAndProcessesAreFailedToo) {
    sim::Machine m;
    m.writeFile("C:\\app.exe", "MZ");
    platform::FaultInjectingPlatform faulty(m.platform());
    faulty.faults().add({"RegistryKey.writeString", 1});
    faulty.faults().add({"Process.wait", 1});
    auto key = faulty.platform().registry->open(platform::RegistryRoot::LocalMachine, "Software\\X",
                                               platform::regaccess::kAllAccess, true);
    ASSERT_TRUE(key);
    EXPECT_FALSE(key->writeString("V", "1"));
    EXPECT_TRUE(key->writeString("V", "2"));
    auto started = faulty.platform().shell->executeEx(0, "C:\\app.exe", "", 1, 0);
    ASSERT_TRUE(started.ok && started.process);
    EXPECT_EQ(started.process->wait(100), platform::wait::kFailed);
    EXPECT_EQ(started.process->wait(100), platform::wait::kObject0);
}

}  // namespace
