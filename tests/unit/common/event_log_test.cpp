#include <gtest/gtest.h>

#include "common/EventLog.h"
#include "common/ProcessStart.h"
#include "common/Variant.h"
#include "unit/common/CommonTestSupport.h"

namespace {

using commontest::FileLines;
using commontest::SimWorld;
using commontest::TimeAt;
using Lines = std::vector<std::string>;

const char kEvents[] = "C:\\Virelle\\EVENTS.XML";
const char kModule[] = "C:\\Virelle\\VRL_DPD134.exe";

// The program running on 14/03/2012 at 14:05:09, as user "Reception", its
// executable carrying version 1.0.0.23.
struct EventWorld : SimWorld {
    EventWorld() {
        machine.clock().setLocalTime(TimeAt(14, 3, 2012, 14, 5, 9));
        machine.system().setLocaleInfo(platform::locale::kUserDefault,
                                       platform::locale::kTimeFormat, "HH:mm:ss");
        machine.writeFile(kModule, "MZ");
        machine.system().setFileVersion(kModule, 1, 0, 0, 23);
        EXPECT_TRUE(InitializeRuntime());
    }
};

Lines Record(const std::string& eventClass, const std::string& text) {
    return {"<ERR>",
            "<DATE>14/03/2012</DATE>",
            "<TIME>14:05:09</TIME>",
            "<USERNAME>Reception</USERNAME>",
            "<APPLICATION>VRL_DPD134</APPLICATION>",
            "<VERSION>1.0.0.23</VERSION>",
            "<PROCESS>0.0.0.0</PROCESS>",
            "<CLASS>" + eventClass + "</CLASS>",
            "<TEXT>" + text + "</TEXT>",
            "</ERR>"};
}

Lines Joined(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Lines kHead = {"<?xml version=\"1.0\"?>", "<EVENTS>"};
const Lines kTail = {"</EVENTS>"};

// A well-formed log of exactly `size` bytes.
std::string LogOfSize(std::size_t size) {
    const std::string head = "<?xml version=\"1.0\"?>\r\n<EVENTS>\r\n";
    const std::string tail = "</EVENTS>\r\n";
    return head + std::string(size - head.size() - tail.size() - 2, 'x') + "\r\n" + tail;
}

TEST(LogEvent, FirstEventMakesAThirteenLineFile) {
    EventWorld world;
    LogEvent("Information", "GetShortPathName");
    EXPECT_EQ(FileLines(world.machine, kEvents),
              Joined({kHead, Record("Information", "GetShortPathName"), kTail}));
}

TEST(LogEvent, EachFurtherEventAddsTenLinesBeforeTheClosingLine) {
    EventWorld world;
    LogEvent("Information", "first");
    LogEvent("Error", "second");
    EXPECT_EQ(FileLines(world.machine, kEvents),
              Joined({kHead, Record("Information", "first"), Record("Error", "second"), kTail}));
}

TEST(LogEvent, StartsAnEmptyFileLikeAMissingOne) {
    EventWorld world;
    world.machine.writeFile(kEvents, "");
    LogEvent("Information", "x");
    EXPECT_EQ(FileLines(world.machine, kEvents), Joined({kHead, Record("Information", "x"), kTail}));
}

TEST(LogEvent, StopsRecordingOnceTheFileReachesTheCap) {
    struct Case {
        std::size_t size;
        bool recorded;
    };
    const Case cases[] = {{16383, true}, {16384, false}, {40000, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        EventWorld world;
        const std::string before = LogOfSize(c.size);
        ASSERT_EQ(before.size(), c.size);
        world.machine.writeFile(kEvents, before);
        LogEvent("Information", "x");
        const auto after = world.machine.readFile(kEvents);
        ASSERT_TRUE(after);
        if (c.recorded) {
            EXPECT_GT(after->size(), 16384u);  // one more record passes the cap
            EXPECT_EQ(FileLines(world.machine, kEvents).value_or(Lines()).size(), 4u + 10u);
        } else {
            EXPECT_EQ(*after, before);
        }
    }
}

TEST(LogEvent, WritesValuesVerbatim) {
    EventWorld world;
    LogEvent("A&B", "<x> & \"y\"\r\nsecond line");
    const auto lines = FileLines(world.machine, kEvents);
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 14u);
    EXPECT_EQ(lines->at(9), "<CLASS>A&B</CLASS>");
    EXPECT_EQ(lines->at(10), "<TEXT><x> & \"y\"");
    EXPECT_EQ(lines->at(11), "second line</TEXT>");
}

TEST(LogEvent, ReplacesWhateverLastLineAFileHas) {
    struct Case {
        const char* name;
        std::string content;
        Lines kept;  // what stays before the new record
    };
    const Case cases[] = {
        {"last line not the closing one", "<?xml version=\"1.0\"?>\n<EVENTS>\n<ERR>\n", kHead},
        {"not XML at all", "plain words\rmore words", {"plain words"}},
        {"binary bytes", std::string("\x00\xFF\x1A\r\n\x80\x01", 7), {std::string("\x00\xFF\x1A", 3)}},
        {"only a line end", "\r\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EventWorld world;
        world.machine.writeFile(kEvents, c.content);
        LogEvent("Information", "x");
        EXPECT_EQ(FileLines(world.machine, kEvents), Joined({c.kept, Record("Information", "x"), kTail}));
    }
}

TEST(LogEvent, AFullDiskLeavesTheExistingLogWhole) {
    EventWorld world;
    LogEvent("Information", "kept");
    const auto before = world.machine.readFile(kEvents);
    world.machine.fillDiskAfter('C', 100);  // less than the rewritten log
    LogEvent("Information", "lost");
    EXPECT_EQ(world.machine.readFile(kEvents), before);
    EXPECT_FALSE(world.machine.exists("C:\\Virelle\\EVENTS.XML.new"));
}

TEST(LogEvent, LosesTheEventQuietlyWhenTheFileCannotBeReachedOrWritten) {
    enum class Fault { HeldByAnotherProgram, ReadOnlyFolder, NoInstallFolder };
    struct Case {
        const char* name;
        Fault fault;
    };
    const Case cases[] = {
        {"held by another program", Fault::HeldByAnotherProgram},
        {"read-only folder", Fault::ReadOnlyFolder},
        {"no install folder", Fault::NoInstallFolder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EventWorld world;
        const std::string before = LogOfSize(200);
        std::unique_ptr<platform::OpenFile> holder;
        if (c.fault == Fault::NoInstallFolder) {
            InstallRoot = "C:\\Missing\\";
        } else {
            world.machine.writeFile(kEvents, before);
        }
        if (c.fault == Fault::HeldByAnotherProgram) {
            holder = world.machine.holdOpen(kEvents, platform::access::kRead, platform::share::kNone);
            ASSERT_TRUE(holder);
        }
        if (c.fault == Fault::ReadOnlyFolder) world.machine.refuseWrites("C:\\Virelle");

        LogEvent("Information", "x");
        holder.reset();
        if (c.fault == Fault::NoInstallFolder) {
            EXPECT_FALSE(world.machine.exists("C:\\Missing"));
        } else {
            EXPECT_EQ(world.machine.readFile(kEvents), before);
        }
    }
}

TEST(LogEvent, RecordsNothingUnderADebugger) {
    EventWorld world;
    DeveloperMachine = true;  // would show a box otherwise
    world.machine.system().setDebuggerPresent(true);
    LogEvent("Information", "x");
    EXPECT_FALSE(world.machine.exists(kEvents));
    EXPECT_TRUE(world.screen.MessageBoxes().empty());
}

TEST(LogEvent, ShowsTheEventFirstOnADeveloperMachineOnly) {
    for (const bool developer : {false, true}) {
        SCOPED_TRACE(developer);
        EventWorld world;
        DeveloperMachine = developer;
        if (developer) world.screen.AnswerMessageBox(toolkit::id::kOk);
        LogEvent("Information", "GetShortPathName");

        ASSERT_EQ(world.screen.MessageBoxes().size(), developer ? 1u : 0u);
        if (developer) {
            const auto& box = world.screen.MessageBoxes().at(0);
            EXPECT_EQ(box.text, "Information\r\rGetShortPathName");
            EXPECT_EQ(box.flags & 0xFF, toolkit::mb::kIconInformation);
        }
        EXPECT_EQ(FileLines(world.machine, kEvents).value_or(Lines()).size(), 13u);
    }
}

}  // namespace
