// The program from its entry to its end on the simulated machine: a normal
// run, every way the start-up can end it before the window exists, and the
// refused operating system.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/Dates.h"
#include "common/StartupLog.h"
#include "installer/uSDR134.h"
#include "installer_machine.h"
#include "startup/Main_DataModules.h"
#include "toolkit/Application.h"

namespace {

using toolkit::app;
using toolkit::sim::Driver;

// The messages of the start-up log, without their times.
std::vector<std::string> LoggedMessages(sim::Machine& machine) {
    std::vector<std::string> messages;
    const std::string log = machine.readFile("C:\\Virelle\\Startup.LOG").value_or("");
    std::size_t start = 0;
    while (start < log.size()) {
        const std::size_t end = log.find("\r\n", start);
        const std::string line = log.substr(start, end - start);
        messages.push_back(line.substr(line.rfind(", ") + 2));
        start = end + 2;
    }
    return messages;
}

bool WasShown(InstallerMachine& m, const std::string& formName) {
    for (const auto& view : m.screen.ShownForms())
        if (view.name == formName) return true;
    return false;
}

TEST(ProgramEntry, NormalRunShowsTheWindowWritesTheFilesAndEnds) {
    InstallerMachine m;

    EXPECT_EQ(RunInstaller(), 0);

    EXPECT_EQ(m.screen.ApplicationTitle(), " Statement of Dental Remuneration 134");
    ASSERT_TRUE(WasShown(m, "Form1"));
    for (const auto& view : m.screen.ShownForms()) {
        if (view.name != "Form1") continue;
        EXPECT_EQ(view.caption, " Statement of Dental Remuneration 134");
        EXPECT_EQ(view.clientWidth, 505);
        EXPECT_EQ(view.clientHeight, 33);
    }
    for (std::size_t i = 0; i < FeeTableFiles.size(); ++i)
        EXPECT_EQ(m.machine.readFile(InstallerMachine::DataFile(FeeTableFiles[i])), CarriedBytes(i))
            << FeeTableFiles[i];
    EXPECT_TRUE(m.screen.MessageBoxes().empty());
    // Forms and then the data module are gone, and with it the lock.
    EXPECT_EQ(app().MainForm(), nullptr);
    EXPECT_EQ(FRM_Main_DataModules(), nullptr);
    EXPECT_FALSE(DataLockHeld());
    EXPECT_FALSE(m.machine.exists("C:\\Virelle\\VRL.LCK"));
}

TEST(ProgramEntry, MainProgramLogsTheCheckpointsInTheFramesOrder) {
    InstallerMachine m("C:\\Virelle\\VRL.EXE");
    m.machine.writeFile("C:\\Virelle\\VRL.EXE", "MZ");
    m.machine.writeFile("C:\\Virelle\\VRL.INI",
                        "[Virelle]\r\nWD=C:\r\nDate=" + DisplayDate(Today()) + "\r\n");

    EXPECT_EQ(RunInstaller(), 0);

    const std::vector<std::string> logged = LoggedMessages(m.machine);
    // Later phases add checkpoints of their own; those of the frame and of
    // the phases here stand in this order among them.
    const std::vector<std::string> frame = {
        "START", "0.01", "0.02", "0.21", "9.1",    "9.2",    "9.3",  "9.4",   "9.5",
        "9.6",   "9.7",  "9.8",  "9.9",  "9.1",    "9.11",   "9.12", "9.13",  "9.14",
        "9.141", "9.1411", "9.1414", "9.15", "9.16", "9.25", "9.27", "9.289", "9.29",
        "9.3",   "9.998", "9.999"};
    std::size_t next = 0;
    for (const std::string& message : logged)
        if (next < frame.size() && message == frame[next]) ++next;
    EXPECT_EQ(next, frame.size()) << "missing from the log: " << frame[std::min(next, frame.size() - 1)];
    ASSERT_FALSE(logged.empty());
    EXPECT_EQ(logged.back(), "9.999");
}

TEST(ProgramEntry, EveryStopOfTheStartUpEndsBeforeTheWindowWithExitCodeZero) {
    struct Case {
        const char* name;
        std::function<void(InstallerMachine&)> setUp;
        const char* message;  // empty: no box
    };
    const Case cases[] = {
        {"data drive dialog cancelled",
         [](InstallerMachine& m) {
             m.machine.writeFile("C:\\Virelle\\VRL.INI", "[Virelle]\r\n");
             m.screen.ExpectModal("Virelle - Select Data Drive", [](Driver& d) { d.Escape(); });
         },
         ""},
        {"practice folder missing",
         [](InstallerMachine& m) {
             m.machine.addDrive('D', platform::drive::kFixed, "DATA");
             m.machine.writeFile("C:\\Virelle\\VRL.INI", "[Virelle]\r\nWD=D:\r\n");
         },
         "The directory \"D:\\Virelle\\\" can not be accessed.\r\rIf this is a network drive, "
         "please ensure that the network is working."},
        {"packing program holds the lock",
         [](InstallerMachine& m) { m.machine.writeFile("C:\\Virelle\\VRL.LCK", ""); },
         "The program is currently packing."},
        {"machine settings cannot be written",
         [](InstallerMachine& m) {
             m.machine.writeFile("C:\\Virelle\\VRL.INI",
                                 "[Virelle]\r\nWD=C:\r\n[Databases]\r\nMain=C:\r\nBranch=C:\r\n");
             m.machine.refuseWrites("C:\\Virelle\\VRL.INI");
             m.screen.ExpectModal("Select Database", [](Driver& d) { d.Enter(); });
         },
         "Unable to initialize program:\r\rUnable to write to C:\\Virelle\\VRL.INI"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InstallerMachine m;
        c.setUp(m);
        std::unique_ptr<platform::OpenFile> packer;
        if (m.machine.exists("C:\\Virelle\\VRL.LCK"))
            packer = m.machine.holdOpen("C:\\Virelle\\VRL.LCK",
                                        platform::access::kRead | platform::access::kWrite,
                                        platform::share::kNone);
        if (*c.message != '\0') m.screen.AnswerMessageBox(toolkit::id::kOk);

        EXPECT_EQ(RunInstaller(), 0);

        std::vector<std::string> texts;
        for (const auto& box : m.screen.MessageBoxes()) texts.push_back(box.text);
        EXPECT_EQ(texts, *c.message == '\0' ? std::vector<std::string>{}
                                             : std::vector<std::string>{c.message});
        EXPECT_FALSE(WasShown(m, "Form1"));
        EXPECT_TRUE(m.DataFolder().empty()) << "no file written";
        EXPECT_EQ(FRM_Main_DataModules(), nullptr) << "the data module was destroyed";
        EXPECT_FALSE(DataLockHeld());
    }
}

TEST(ProgramEntry, RefusedDriveSettingIsReportedAndTheDialogStaysOpen) {
    InstallerMachine m;
    m.machine.writeFile("C:\\Virelle\\VRL.INI", "[Virelle]\r\n");
    m.machine.refuseWrites("C:\\Virelle\\VRL.INI");
    m.screen.AnswerMessageBox(toolkit::id::kOk);
    bool stayedOpen = false;
    m.screen.ExpectModal("Virelle - Select Data Drive", [&](Driver& d) {
        d.Enter();
        stayedOpen = d.form().ModalResult() == toolkit::modal::kNone;
        d.Escape();
    });

    EXPECT_EQ(RunInstaller(), 0);

    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(m.screen.MessageBoxes().size(), 1u);
    const auto& box = m.screen.MessageBoxes()[0];
    EXPECT_EQ(box.caption, "Virelle");
    EXPECT_EQ(box.text, "Unable to write to C:\\Virelle\\VRL.INI");
    EXPECT_EQ(box.flags & 0xF0, toolkit::mb::kIconError);
    const std::string events = m.machine.readFile("C:\\Virelle\\EVENTS.XML").value_or("");
    EXPECT_NE(events.find("<TEXT>Unable to write to C:\\Virelle\\VRL.INI</TEXT>"), std::string::npos);
    EXPECT_FALSE(WasShown(m, "Form1"));
}

TEST(ProgramEntry, RefusedSystemEndsBeforeTheStartUp) {
    InstallerMachine m;
    m.machine.system().setVersion(platform::OsVersion{6, 2, 9200, platform::os::kWinNT, ""});
    m.screen.AnswerMessageBox(toolkit::id::kOk);

    EXPECT_EQ(RunInstaller(), 0);

    ASSERT_EQ(m.screen.MessageBoxes().size(), 1u);
    EXPECT_EQ(m.screen.MessageBoxes()[0].caption, "Unsupported operating system");
    EXPECT_TRUE(m.screen.ShownForms().empty());
    EXPECT_TRUE(m.DataFolder().empty());
}

}  // namespace
