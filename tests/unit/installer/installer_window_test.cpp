// The installer window: its form, the extraction on the simulated clock,
// files already present, and writes that fail without leaving a partial
// file under a table's name.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "installer/uSDR134.h"
#include "installer_machine.h"
#include "platform/FaultInjection.h"
#include "platform/sim/SimClock.h"
#include "toolkit/Application.h"

namespace {

using toolkit::app;

const std::vector<std::string> kAllFiles(FeeTableFiles.begin(), FeeTableFiles.end());

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

// Form1 of the program, on the practice C:\Virelle\, run to its end.
TForm1& RunForm1() {
    DataRoot = "C:\\Virelle\\";
    app().SetTitle(kApplicationTitle);
    auto* form = app().CreateForm<TForm1>();
    app().Run();
    return *form;
}

std::vector<std::string> ExtractingCaptions(std::size_t count) {
    std::vector<std::string> captions;
    for (std::size_t i = 0; i < count; ++i)
        captions.push_back(std::string("Extracting ") + FeeTableFiles[i] + "...");
    return captions;
}

TEST(InstallerWindow, IsBuiltFromItsDescriptionAndSizedToTheLabel) {
    InstallerMachine m;
    app().SetTitle(kApplicationTitle);
    auto* form = app().CreateForm<TForm1>();
    const toolkit::sim::FormView view = toolkit::sim::ViewOf(*form);

    EXPECT_EQ(app().MainForm(), form);
    EXPECT_EQ(view.name, "Form1");
    EXPECT_EQ(view.caption, " Statement of Dental Remuneration 134");
    EXPECT_EQ(view.clientWidth, 505);
    EXPECT_EQ(view.clientHeight, 33);
    EXPECT_EQ(view.borderStyle, toolkit::BorderStyle::Dialog);
    EXPECT_FALSE(view.borderIcons.systemMenu);
    EXPECT_FALSE(view.borderIcons.minimize);
    EXPECT_FALSE(view.borderIcons.maximize);
    EXPECT_EQ(view.position, toolkit::Position::ScreenCenter);
    EXPECT_EQ(view.color, toolkit::color::kBtnFace);
    EXPECT_EQ(view.font.name, "MS Sans Serif");
    EXPECT_EQ(view.font.height, -11);
    EXPECT_EQ(view.font.color, toolkit::color::kWindowText);

    ASSERT_EQ(view.controls.size(), 1u);
    const toolkit::sim::ControlView& label = view.controls[0];
    EXPECT_EQ(label.name, "Label1");
    EXPECT_EQ(std::vector<int>({label.left, label.top, label.width, label.height}),
              std::vector<int>({4, 4, 493, 21}));
    EXPECT_FALSE(label.autoSize);
    EXPECT_TRUE(label.transparent);
    EXPECT_TRUE(label.wordWrap);
    EXPECT_EQ(label.caption, "");

    ASSERT_EQ(form->Timers().size(), 1u);
    EXPECT_EQ(form->Timer1->Name(), "Timer1");
    EXPECT_FALSE(form->Timer1->Enabled());
    EXPECT_EQ(form->Timer1->Interval(), 1000u);
}

TEST(InstallerWindow, WritesEachFileASecondAfterShowingAndClosesASecondLater) {
    InstallerMachine m;
    const std::int64_t shownAt = sim::toMilliseconds(m.machine.clock().now());
    const std::uint32_t ticksAtShow = m.machine.clock().ticks();

    RunForm1();

    std::vector<std::string> captions = ExtractingCaptions(6);
    captions.push_back("");
    EXPECT_EQ(m.LabelCaptions(), captions);
    EXPECT_EQ(m.DataFolder(), Sorted(kAllFiles)) << "mixed-case names, no temporary files";
    for (std::size_t i = 0; i < FeeTableFiles.size(); ++i) {
        SCOPED_TRACE(FeeTableFiles[i]);
        const std::string target = InstallerMachine::DataFile(FeeTableFiles[i]);
        EXPECT_EQ(m.machine.readFile(target), CarriedBytes(i));
        const auto written = m.machine.files().lastWriteTime(target);
        ASSERT_TRUE(written.has_value());
        EXPECT_EQ(sim::toMilliseconds(*written) - shownAt, 1000);
    }
    // The timer's second, then the pause after the label was cleared.
    EXPECT_EQ(m.machine.system().sleeps(), (std::vector<std::uint32_t>{1000, 1000}));
    EXPECT_EQ(m.machine.clock().ticks() - ticksAtShow, 2000u);
    EXPECT_TRUE(app().Terminated());
    EXPECT_TRUE(m.screen.Screen().empty());
    EXPECT_TRUE(m.screen.MessageBoxes().empty());
}

TEST(InstallerWindow, PresentFilesAreLeftAsTheyAre) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> present;  // name on disk, bytes
        std::vector<std::string> written;
    };
    const Case cases[] = {
        {"all present", {{"Dpd_c_34.DB", "a"}, {"Dpd_c_34.PX", "b"}, {"Dpd_f_34.DB", "c"},
                         {"Dpd_f_34.PX", "d"}, {"Dpd_f_34.XG0", "e"}, {"Dpd_f_34.YG0", "f"}},
         {}},
        {"one in capitals, one of another size",
         {{"DPD_F_34.DB", "old fee table"}, {"Dpd_c_34.PX", std::string(100000, 'x')}},
         {"Dpd_c_34.DB", "Dpd_f_34.PX", "Dpd_f_34.XG0", "Dpd_f_34.YG0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InstallerMachine m;
        std::vector<std::string> expectedFolder = c.written;
        for (const auto& [name, bytes] : c.present) {
            m.machine.writeFile(InstallerMachine::DataFile(name), bytes);
            expectedFolder.push_back(name);
        }

        RunForm1();

        EXPECT_EQ(m.DataFolder(), Sorted(expectedFolder));
        for (const auto& [name, bytes] : c.present)
            EXPECT_EQ(m.machine.readFile(InstallerMachine::DataFile(name)), bytes) << name;
        for (const std::string& name : c.written) {
            const auto order = std::find(kAllFiles.begin(), kAllFiles.end(), name) - kAllFiles.begin();
            EXPECT_EQ(m.machine.readFile(InstallerMachine::DataFile(name)), CarriedBytes(order))
                << name;
        }
        std::vector<std::string> captions = ExtractingCaptions(6);
        captions.push_back("");
        EXPECT_EQ(m.LabelCaptions(), captions) << "each file is named, present or not";
        EXPECT_TRUE(m.screen.MessageBoxes().empty());
    }
}

TEST(InstallerWindow, FailedWriteIsReportedLeavesNoPartialFileAndClosesTheWindow) {
    struct Case {
        const char* name;
        std::function<void(InstallerMachine&)> fault;
        std::size_t failing;  // order of the file that fails
        const char* reason;
    };
    const Case cases[] = {
        {"folder not writable",
         [](InstallerMachine& m) { m.machine.refuseWrites("C:\\Virelle\\Data"); }, 0,
         "Access is denied."},
        {"disk full at the third file",
         [](InstallerMachine& m) {
             m.machine.fillDiskAfter('C', CarriedBytes(0).size() + CarriedBytes(1).size() + 10);
         },
         2, "There is not enough space on the disk."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InstallerMachine m;
        app().OnException = ReportUnhandledError;
        c.fault(m);
        m.screen.AnswerMessageBox(toolkit::id::kOk);

        RunForm1();

        const std::string failing = FeeTableFiles[c.failing];
        const std::string target = InstallerMachine::DataFile(failing);
        ASSERT_EQ(m.screen.MessageBoxes().size(), 1u);
        const auto& box = m.screen.MessageBoxes()[0];
        EXPECT_EQ(box.caption, "Virelle");
        EXPECT_EQ(box.text, "Unable to write to " + target + "\r\r" + c.reason);
        EXPECT_EQ(box.flags & 0xF0, toolkit::mb::kIconError);
        // Owned by the application and brought to the front, over the window.
        EXPECT_EQ(box.owner, toolkit::sim::SimBackend::kApplicationWindow);
        EXPECT_NE(box.flags & toolkit::mb::kSetForeground, 0u);
        EXPECT_NE(box.flags & toolkit::mb::kTaskModal, 0u);
        EXPECT_EQ(m.screen.ForegroundRequests().size(), 1u);

        // Only the files before the failing one; nothing under its name, no
        // temporary file left beside it, none of the later ones tried.
        EXPECT_EQ(m.DataFolder(), Sorted({kAllFiles.begin(), kAllFiles.begin() + c.failing}));
        EXPECT_EQ(m.LabelCaptions(), ExtractingCaptions(c.failing + 1));
        EXPECT_EQ(m.machine.system().sleeps(), std::vector<std::uint32_t>{1000}) << "no pause";
        EXPECT_TRUE(app().Terminated());

        const std::string events = m.machine.readFile("C:\\Virelle\\EVENTS.XML").value_or("");
        if (c.failing == 0) {
            EXPECT_NE(events.find("<CLASS>Error</CLASS>"), std::string::npos);
            EXPECT_NE(events.find("<TEXT>Unable to write to " + target), std::string::npos);
        }
    }
}

TEST(InstallerWindow, HalfWrittenFileNeverTakesTheTableName) {
    InstallerMachine m;
    platform::FaultInjectingPlatform faulty(m.machine.platform());
    faulty.faults().add({"OpenFile.writeAt", 1, platform::error::kWriteFault, false,
                         platform::FaultKind::PartialWrite});
    sim::ScopedPlatform withFaults(faulty.platform());
    app().OnException = ReportUnhandledError;
    m.screen.AnswerMessageBox(toolkit::id::kOk);

    RunForm1();

    ASSERT_EQ(faulty.faults().faultsInjected(), 1u);
    EXPECT_TRUE(m.DataFolder().empty());
    ASSERT_EQ(m.screen.MessageBoxes().size(), 1u);
    EXPECT_EQ(m.screen.MessageBoxes()[0].text.rfind("Unable to write to C:\\Virelle\\Data\\Dpd_c_34.DB", 0),
              0u);

    // The next start writes all six whole.
    app().Reset();
    RunForm1();
    EXPECT_EQ(m.DataFolder(), Sorted(kAllFiles));
    EXPECT_EQ(m.machine.readFile(InstallerMachine::DataFile("Dpd_c_34.DB")), CarriedBytes(0));
}

}  // namespace
