#include <gtest/gtest.h>

#include "common/ProcessStart.h"
#include "common/Version.h"
#include "unit/common/CommonTestSupport.h"

namespace {

using commontest::LogMessages;
using commontest::SimWorld;
using Lines = std::vector<std::string>;

TEST(ReadFileVersion, ReadsTheFileVersionAndTracesEachStep) {
    const std::string kPath = "C:\\Virelle\\PROG.EXE";
    const Lines kAllSteps = {"VersionNumber: " + kPath, "VersionNumber: GetFileVersionInfoSize",
                             "VersionNumber: GetFileVersionInfo", "VersionNumber: VerQueryValue",
                             "VersionNumber: Complete"};
    enum class Setup { Versioned, Missing, TextFile, BlockWithoutFixedInfo };
    struct Case {
        const char* name;
        Setup setup;
        const char* version;
        std::size_t steps;  // start-up log lines written
    };
    const Case cases[] = {
        {"version 2.5.0.117", Setup::Versioned, "2.5.0.117", 5},
        {"missing file", Setup::Missing, "-1.-1.-1.-1", 1},
        {"text file without a version", Setup::TextFile, "0.0.0.0", 2},
        {"damaged version block", Setup::BlockWithoutFixedInfo, "0.0.0.0", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimWorld world("C:\\Virelle\\VRL.EXE");
        ASSERT_TRUE(InitializeRuntime());
        auto& machine = world.machine;
        if (c.setup != Setup::Missing) machine.writeFile(kPath, "MZ or text");
        if (c.setup == Setup::Versioned) machine.system().setFileVersion(kPath, 2, 5, 0, 117);
        if (c.setup == Setup::BlockWithoutFixedInfo) {
            machine.system().setFileVersionBlock(kPath, std::string(92, '\x7F'));
        }

        EXPECT_EQ(FormatVersion(ReadFileVersion(kPath)), c.version);
        Lines messages = LogMessages(machine, "C:\\Virelle\\Startup.LOG");
        ASSERT_GE(messages.size(), 3u);
        messages.erase(messages.begin(), messages.begin() + 3);  // START, 0.01, 0.02
        EXPECT_EQ(messages, Lines(kAllSteps.begin(), kAllSteps.begin() + c.steps));
    }
}

TEST(ReadFileVersion, SplitsTheDoubleWordsIntoFourParts) {
    SimWorld world;
    world.machine.writeFile("C:\\A.EXE", "MZ");
    world.machine.system().setFileVersion("C:\\A.EXE", 65535, 1, 65534, 2);
    const FileVersion v = ReadFileVersion("C:\\A.EXE");
    EXPECT_EQ(v.Major, 65535);
    EXPECT_EQ(v.Minor, 1);
    EXPECT_EQ(v.Release, 65534);
    EXPECT_EQ(v.Build, 2);
}

TEST(ReadFileVersion, AFolderIsNoFile) {
    SimWorld world;
    world.machine.makeFolder("C:\\Virelle\\Bin");
    EXPECT_EQ(FormatVersion(ReadFileVersion("C:\\Virelle\\Bin")), "-1.-1.-1.-1");
}

TEST(ProcessStamp, IsZeroInThisProgram) {
    SimWorld world;
    EXPECT_EQ(FormatProcessStamp(), "0.0.0.0");
    EXPECT_EQ(FormatVersion(FileVersion{1, 0, 0, 23}), "1.0.0.23");
}

}  // namespace
