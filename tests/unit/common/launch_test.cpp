#include <gtest/gtest.h>

#include "common/Launch.h"
#include "toolkit/Controls.h"
#include "unit/common/CommonTestSupport.h"

namespace {

using commontest::SimWorld;

struct MainWindow : toolkit::Form {
    MainWindow() : Form("MainWindow") {}
};

// Counts the waits on a process; from wait `terminateAt` on, the
// application is told to terminate (as when the user closes it meanwhile).
class CountingProcess : public platform::Process {
public:
    CountingProcess(std::unique_ptr<platform::Process> inner, int terminateAt = 0)
        : inner_(std::move(inner)), terminateAt_(terminateAt) {}
    std::uint32_t wait(std::uint32_t milliseconds) override {
        ++waits;
        lastTimeout = milliseconds;
        if (terminateAt_ != 0 && waits >= terminateAt_) toolkit::app().Terminate();
        return inner_->wait(milliseconds);
    }
    int waits = 0;
    std::uint32_t lastTimeout = 0;

private:
    std::unique_ptr<platform::Process> inner_;
    int terminateAt_;
};

TEST(RunProgram, PassesLongTextsWholeAndIgnoresFailures) {
    SimWorld world;
    const std::string longPath = "\\\\SERVER\\" + std::string(200, 'S') + "\\Virelle6\\VRL.EXE";
    const std::string longParameters = "/AUTO /" + std::string(100, '9');
    RunProgram(longPath, longParameters, "C:\\" + std::string(90, 'W'), platform::show::kMaximized);

    const auto& starts = world.machine.shell().starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_FALSE(starts[0].ex);
    EXPECT_EQ(starts[0].file, longPath);
    EXPECT_EQ(starts[0].parameters, longParameters);
    EXPECT_EQ(starts[0].folder, "C:\\" + std::string(90, 'W'));
    EXPECT_EQ(starts[0].showCommand, platform::show::kMaximized);
    EXPECT_EQ(starts[0].owner, 0u);  // no main form yet
    EXPECT_TRUE(world.screen.MessageBoxes().empty());
}

TEST(RunProgram, IsOwnedByTheMainFormOnceOneExists) {
    SimWorld world;
    auto* form = toolkit::app().CreateForm<MainWindow>();
    form->Show();
    world.machine.writeFile("C:\\Virelle\\SDR135.EXE", "MZ");
    RunProgram("C:\\Virelle\\SDR135.EXE", "", "", platform::show::kHide);
    ASSERT_EQ(world.machine.shell().starts().size(), 1u);
    EXPECT_EQ(world.machine.shell().starts()[0].owner, form->Handle());
    EXPECT_NE(form->Handle(), 0u);
}

TEST(ExecuteProgram, RaisesTheSystemTextForAMissingFileWithoutAShellBox) {
    SimWorld world;
    try {
        ExecuteProgram("C:\\Virelle\\Demo\\SETUP.EXE", "/AUTO /20120314");
        ADD_FAILURE() << "no error raised";
    } catch (const Exception& error) {
        EXPECT_NE(dynamic_cast<const EExecAppError*>(&error), nullptr);
        EXPECT_STREQ(error.what(), "The system cannot find the path specified");
    }
    const auto& start = world.machine.shell().starts().at(0);
    EXPECT_TRUE(start.ex);
    EXPECT_EQ(start.mask & kShellNoErrorUi, kShellNoErrorUi);
    EXPECT_EQ(start.owner, toolkit::sim::SimBackend::kApplicationWindow);
    EXPECT_EQ(start.showCommand, platform::show::kNormal);
    EXPECT_EQ(world.machine.shell().errorBoxes(), 0);
}

TEST(ExecuteProgram, NamesTheFileWhereTheSystemTextHasAPlaceForIt) {
    SimWorld world;
    world.machine.shell().setStartFailure(193);
    EXPECT_THROW(
        {
            try {
                ExecuteProgram("C:\\BAD.EXE", "");
            } catch (const EExecAppError& error) {
                EXPECT_STREQ(error.what(), "C:\\BAD.EXE is not a valid Win32 application");
                throw;
            }
        },
        EExecAppError);
}

TEST(WaitForProcess, ReturnsAfterTheThirdWaitForA250MillisecondProcess) {
    SimWorld world;
    world.machine.writeFile("C:\\Demo\\SETUP.EXE", "MZ");
    world.machine.shell().setProgramLifetime("C:\\Demo\\SETUP.EXE", 250);
    auto started = ExecuteProgram("C:\\Demo\\SETUP.EXE", "/AUTO");
    ASSERT_TRUE(started);
    CountingProcess process(std::move(started));
    const std::uint64_t before = world.machine.clock().elapsed();

    WaitForProcess(&process);
    EXPECT_EQ(process.waits, 3);
    EXPECT_EQ(process.lastTimeout, 100u);
    EXPECT_EQ(world.machine.clock().elapsed() - before, 250u);
    EXPECT_EQ(world.machine.shell().runningProcesses(), 0);
}

TEST(WaitForProcess, EndsAtOnceWithoutAProcess) {
    SimWorld world;
    world.machine.writeFile("C:\\Demo\\SETUP.EXE", "MZ");
    world.machine.shell().setNoProcessHandle(true);
    auto started = ExecuteProgram("C:\\Demo\\SETUP.EXE", "");
    EXPECT_EQ(started, nullptr);
    WaitForProcess(started.get());
    EXPECT_EQ(world.machine.clock().elapsed(), 0u);
}

TEST(WaitForProcess, EndsAtTheNextStepWhenTheApplicationTerminates) {
    SimWorld world;
    world.machine.writeFile("C:\\Demo\\SETUP.EXE", "MZ");
    world.machine.shell().setProgramLifetime("C:\\Demo\\SETUP.EXE", 60000);
    CountingProcess process(ExecuteProgram("C:\\Demo\\SETUP.EXE", ""), 2);

    WaitForProcess(&process);
    EXPECT_EQ(process.waits, 2);
    EXPECT_EQ(world.machine.shell().runningProcesses(), 1);  // left running
}

}  // namespace
