// Whole runs of the program on a practice whose files hold what other
// programs, editors and damaged disks leave: settings files with binary
// bytes, overlong lines, duplicates and odd line ends; drive settings that
// name no usable folder; user names with apostrophes, blanks and accented
// letters; event logs at the cap and of garbage; practice tables whose
// fields have other types or are missing. Each must end in a defined way:
// the practice installed, or a stop with the message the rules give, never
// a crash, a wait for nobody, or a damaged file.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "common/Cipher.h"
#include "engine/FieldTypes.h"
#include "engine/TableFile.h"
#include "installer/uSDR134.h"
#include "platform/sim/IniText.h"
#include "sweep_practice.h"

namespace {

using sweep::RunResult;

// A literal with its NUL bytes.
template <std::size_t N>
std::string Bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

bool WindowShown(const RunResult& run) {
    return std::find(run.shownForms.begin(), run.shownForms.end(), "Form1") != run.shownForms.end();
}

std::vector<std::string> BoxTexts(const RunResult& run) {
    std::vector<std::string> texts;
    for (const auto& box : run.boxes) texts.push_back(box.text);
    return texts;
}

std::string FileIn(const RunResult& run, const std::string& path) {
    const auto found = run.files.find(path);
    return found == run.files.end() ? std::string("<absent>") : found->second;
}

std::optional<std::string> Setting(const RunResult& run, const std::string& path,
                                   const std::string& section, const std::string& key) {
    return sim::IniText(FileIn(run, path)).value(section, key);
}

// The practice installed: the window came, all six tables were written,
// nothing was shown.
void ExpectInstalled(const RunResult& run) {
    EXPECT_TRUE(WindowShown(run));
    EXPECT_EQ(BoxTexts(run), std::vector<std::string>{});
    for (const auto& [name, bytes] : sweep::CarriedTables())
        EXPECT_TRUE(FileIn(run, std::string(sweep::kPractice) + "Data\\" + name) == bytes)
            << name << " is not the carried file";
}

// A stop before the window with exactly this box (or none).
void ExpectStop(const RunResult& run, const std::vector<std::string>& boxes) {
    EXPECT_FALSE(WindowShown(run));
    EXPECT_EQ(BoxTexts(run), boxes);
    for (const char* name : FeeTableFiles)
        EXPECT_EQ(FileIn(run, std::string(sweep::kPractice) + "Data\\" + name), "<absent>") << name;
}

void WriteMachineSettings(sim::Machine& machine, const std::string& text) {
    machine.writeFile(sweep::kMachineIni, text);
}

std::string DirectoryMessage(const std::string& folder) {
    return "The directory \"" + folder +
           "\" can not be accessed.\r\rIf this is a network drive, please ensure that the network "
           "is working.";
}

struct BadInput {
    const char* name;
    std::function<void(sim::Machine&)> setUp;
    std::function<void(const RunResult&)> expect;
    bool withoutShortPaths = false;  // the start-up then records an event
    bool dialogExpected = false;
};

void RunCases(const std::vector<BadInput>& cases) {
    for (const BadInput& c : cases) {
        SCOPED_TRACE(c.name);
        sweep::RunPlan plan;
        plan.setUp = c.setUp;
        plan.withoutShortPaths = c.withoutShortPaths;
        const RunResult run = sweep::RunPractice(plan);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_FALSE(run.lockHeld);
        if (!c.dialogExpected) {
            EXPECT_EQ(run.unscriptedModals, std::vector<std::string>{});
        }
        c.expect(run);
    }
}

TEST(BadInput, SettingsFilesOfAnyShapeAreReadAsWindowsReadsThem) {
    const std::string overlong(3000, 'x');
    RunCases({
        {"machine settings with binary and NUL bytes",
         [](sim::Machine& m) {
             WriteMachineSettings(m, Bytes("\x01\x02\xff\r\n[Virelle]\r\nWD=C:\r\nJunk=\x7f\x00\x80z\r\n"
                                           "\x00\x00\xfe[garbage\r\n"));
         },
         [](const RunResult& run) {
             ExpectInstalled(run);
             EXPECT_EQ(Setting(run, sweep::kMachineIni, "Virelle", "WD"), "C:");
         }},
        {"practice settings with NUL bytes in values",
         [](sim::Machine& m) {
             m.writeFile(sweep::kPracticeIni,
                         Bytes("[Virelle]\r\nCountry=E\x00S\r\n[Transmission]\r\nFormat=E\r\n"
                               "[Computers]\r\nPC\x00=1\r\n"));
         },
         [](const RunResult& run) {
             ExpectInstalled(run);
             EXPECT_EQ(Setting(run, sweep::kPracticeIni, "Transmission", "Format"), "X");
             EXPECT_TRUE(sim::IniText(FileIn(run, sweep::kPracticeIni)).keys("Computers").empty());
         }},
        {"a value over 2047 characters is read as its first 2047",
         [overlong](sim::Machine& m) {
             m.writeFile(sweep::kPracticeIni,
                         "[Virelle]\r\nCountry=E\r\n[Transmission]\r\nFormat=E\r\nSite=" + overlong + "\r\n");
         },
         [overlong](const RunResult& run) {
             ExpectInstalled(run);
             EXPECT_EQ(Setting(run, sweep::kPracticeIni, "RACAL", "Site"), overlong.substr(0, 2047));
         }},
        {"a line over 2047 characters before the drive setting",
         [overlong](sim::Machine& m) {
             WriteMachineSettings(m, "[Virelle]\r\nNote=" + overlong + overlong + "\r\nWD=C:\r\n");
         },
         [](const RunResult& run) { ExpectInstalled(run); }},
        {"duplicate sections: the first wins",
         [](sim::Machine& m) { WriteMachineSettings(m, "[Virelle]\r\nWD=C:\r\n[VIRELLE]\r\nWD=Q:\r\n"); },
         [](const RunResult& run) { ExpectInstalled(run); }},
        {"duplicate keys: the first wins",
         [](sim::Machine& m) { WriteMachineSettings(m, "[Virelle]\r\nWD=C:\r\nwd=Q:\r\n"); },
         [](const RunResult& run) { ExpectInstalled(run); }},
        {"duplicate keys pointing elsewhere first stop at the folder test",
         [](sim::Machine& m) { WriteMachineSettings(m, "[Virelle]\r\nWD=Q:\r\nWD=C:\r\n"); },
         [](const RunResult& run) {
             ExpectStop(run, {"The drive \"Q:\" can not be accessed."});
         }},
        {"no final line break: later writes start a line of their own",
         [](sim::Machine& m) { WriteMachineSettings(m, "[Virelle]\r\nWD=C:"); },
         [](const RunResult& run) {
             ExpectInstalled(run);
             EXPECT_EQ(Setting(run, sweep::kMachineIni, "Virelle", "WD"), "C:");
             EXPECT_TRUE(Setting(run, sweep::kMachineIni, "GetShortPathName", "LongName").has_value());
         }},
        {"CR-only line ends",
         [](sim::Machine& m) {
             WriteMachineSettings(m, "[Virelle]\rWD=C:\rTray=1\r");
             m.writeFile(sweep::kPracticeIni, "[Virelle]\rCountry=E\r[Computers]\rPC1=1\rPC2=1");
         },
         [](const RunResult& run) {
             ExpectInstalled(run);
             EXPECT_TRUE(sim::IniText(FileIn(run, sweep::kPracticeIni)).keys("Computers").empty());
             EXPECT_EQ(Setting(run, sweep::kPracticeIni, "Virelle", "Country"), "E");
         }},
    });
}

TEST(BadInput, DriveSettingsThatNameNoPracticeStopWithTheirMessage) {
    const std::string longPath = "C:\\" + std::string(296, 'p');
    RunCases({
        {"an empty drive setting asks for the drive; Escape stops silently",
         [](sim::Machine& m) { WriteMachineSettings(m, "[Virelle]\r\nWD=\r\n"); },
         [](const RunResult& run) {
             ExpectStop(run, {});
             EXPECT_EQ(run.unscriptedModals, std::vector<std::string>{"Virelle - Select Data Drive"});
             EXPECT_EQ(Setting(run, sweep::kMachineIni, "Virelle", "WD"), "");
         },
         false, true},
        {"a lone backslash leaves no drive, which has no root",
         [](sim::Machine& m) { WriteMachineSettings(m, "[Virelle]\r\nWD=\\\r\n"); },
         [](const RunResult& run) { ExpectStop(run, {"The drive \"\" can not be accessed."}); }},
        {"a doubled backslash after the drive",
         [](sim::Machine& m) { WriteMachineSettings(m, "[Virelle]\r\nWD=C:\\\\\r\n"); },
         [](const RunResult& run) { ExpectInstalled(run); }},
        {"two colons",
         [](sim::Machine& m) { WriteMachineSettings(m, "[Virelle]\r\nWD=::\r\n"); },
         [](const RunResult& run) { ExpectStop(run, {"The drive \"::\" can not be accessed."}); }},
        {"a server without a share",
         [](sim::Machine& m) { WriteMachineSettings(m, "[Virelle]\r\nWD=\\\\server\r\n"); },
         [](const RunResult& run) { ExpectStop(run, {"The drive \"\\\\SERVER\" can not be accessed."}); }},
        {"a 300-character path",
         [longPath](sim::Machine& m) { WriteMachineSettings(m, "[Virelle]\r\nWD=" + longPath + "\r\n"); },
         [longPath](const RunResult& run) { ExpectStop(run, {DirectoryMessage(longPath + "\\Virelle\\")}); }},
    });
}

TEST(BadInput, UserNamesWithApostrophesBlanksAndAccentsGetTheirPrivateFolder) {
    struct User {
        const char* name;
        std::string user;
        std::string folder;  // under C:\Virelle\Private\, for the long name record
    };
    const User users[] = {
        {"apostrophes", "o'brien", "obrien"},
        {"blanks", "Dr Jane Smith", "Dr Jane Smith"},
        {"accented letters", "Jos\xE9 M\xFCller", "Jos\xE9 M\xFCller"},
    };
    for (const User& u : users) {
        SCOPED_TRACE(u.name);
        for (const bool withoutShortPaths : {false, true}) {
            sweep::RunPlan plan;
            plan.withoutShortPaths = withoutShortPaths;
            const std::string user = u.user;
            plan.setUp = [user](sim::Machine& m) { m.system().setUserName(user); };
            const RunResult run = sweep::RunPractice(plan);
            EXPECT_EQ(run.exitCode, 0);
            EXPECT_FALSE(run.lockHeld);
            ExpectInstalled(run);
            EXPECT_EQ(Setting(run, sweep::kMachineIni, "GetShortPathName", "LongName"),
                      "C:\\Virelle\\Private\\" + u.folder + "\\VRL_DPD134\\");
            if (withoutShortPaths) {
                // The event names the user as the system gives the name.
                EXPECT_NE(FileIn(run, sweep::kEventLog).find("<USERNAME>" + u.user + "</USERNAME>"),
                          std::string::npos);
            }
            // The private folder goes again at the end.
            for (const auto& [path, bytes] : run.files)
                EXPECT_EQ(path.find("\\Private\\" + u.folder), std::string::npos) << path;
        }
    }
}

// An event log of `size` bytes: lines of text, the closing line last.
std::string EventLogOfSize(std::size_t size) {
    const std::string head = "<?xml version=\"1.0\"?>\r\n<EVENTS>\r\n";
    const std::string tail = "</EVENTS>\r\n";
    const std::string line = "<X>filler</X>\r\n";
    std::string body;
    while (head.size() + body.size() + line.size() + tail.size() <= size) body += line;
    // The rest as blanks in a line of its own.
    const std::size_t rest = size - head.size() - body.size() - tail.size();
    if (rest >= 2) body += std::string(rest - 2, ' ') + "\r\n";
    else body.replace(0, 0, std::string(rest, ' '));
    return head + body + tail;
}

TEST(BadInput, EventLogsAtTheCapAndOfGarbage) {
    const std::string below = EventLogOfSize(16383);
    const std::string atCap = EventLogOfSize(16384);
    const std::string garbage = Bytes("\x01\x02 junk\r\n<EVENTS\r\n\xff\xfe\x00tail");
    const auto withLog = [](const std::string& bytes) {
        return [bytes](sim::Machine& m) { m.writeFile(sweep::kEventLog, bytes); };
    };
    RunCases({
        {"16383 bytes: one more event",
         withLog(below),
         [below](const RunResult& run) {
             ExpectInstalled(run);
             const std::string log = FileIn(run, sweep::kEventLog);
             EXPECT_EQ(log.compare(0, below.size() - 11, below, 0, below.size() - 11), 0);
             EXPECT_NE(log.find("<TEXT>GetShortPathName</TEXT>\r\n</ERR>\r\n</EVENTS>\r\n"), std::string::npos);
         },
         true},
        {"16384 bytes: left as it is",
         withLog(atCap),
         [atCap](const RunResult& run) {
             ExpectInstalled(run);
             EXPECT_TRUE(FileIn(run, sweep::kEventLog) == atCap);
         },
         true},
        {"garbage: its last line gives way to the event",
         withLog(garbage),
         [](const RunResult& run) {
             ExpectInstalled(run);
             const std::string log = FileIn(run, sweep::kEventLog);
             EXPECT_EQ(log.rfind("\x01\x02 junk\r\n<EVENTS\r\n<ERR>\r\n", 0), 0u) << log;
             EXPECT_EQ(log.find("tail"), std::string::npos);
             EXPECT_EQ(log.compare(log.size() - 11, 11, "</EVENTS>\r\n"), 0);
         },
         true},
    });
}

engine::TableLayout Protected(std::vector<engine::FieldDef> fields) {
    engine::TableLayout layout;
    layout.fields = std::move(fields);
    layout.keyFields = 1;
    layout.password = DatabasePassword();
    return layout;
}

std::vector<std::string> ControlRows(const RunResult& run) { return run.tables.at(sweep::kControl); }

const std::vector<std::string> kPreparedControlRows = {"Invoice|1200", "Patient|87"};

TEST(BadInput, PracticeTablesWithFieldsOfAnotherTypeOrMissing) {
    using engine::FieldDef;
    using engine::FieldType;
    using engine::Value;
    RunCases({
        {"CONTROL.DB whose Name is a number: no claim row can go in",
         [](sim::Machine&) {
             engine::CreateTable(sweep::kControl,
                                 Protected({FieldDef::Of("Name", FieldType::Long),
                                            FieldDef::Of("Number", FieldType::Long)}),
                                 {{Value::Integer(1), Value::Integer(1200)}});
         },
         [](const RunResult& run) {
             ExpectInstalled(run);
             EXPECT_EQ(ControlRows(run), std::vector<std::string>{"1|1200"});
         }},
        {"USER.DB whose Form holds text",
         [](sim::Machine&) {
             engine::CreateTable(sweep::kUsers,
                                 Protected({FieldDef::Of("Id", FieldType::Long), FieldDef::Alpha("Form", 10)}),
                                 {{Value::Integer(1), Value::Text("twelve")}});
         },
         [](const RunResult& run) {
             ExpectInstalled(run);
             EXPECT_EQ(ControlRows(run), kPreparedControlRows) << "no claim row from a form that is no number";
         }},
        {"USER.DB whose Form holds digits as text",
         [](sim::Machine&) {
             engine::CreateTable(sweep::kUsers,
                                 Protected({FieldDef::Of("Id", FieldType::Long), FieldDef::Alpha("Form", 10)}),
                                 {{Value::Integer(1), Value::Text("12")}, {Value::Integer(2), Value::Text("3")}});
         },
         [](const RunResult& run) {
             ExpectInstalled(run);
             EXPECT_EQ(ControlRows(run), (std::vector<std::string>{"Claim|12", "Invoice|1200", "Patient|87"}));
         }},
        {"USER.DB without Form",
         [](sim::Machine&) {
             engine::CreateTable(sweep::kUsers,
                                 Protected({FieldDef::Of("Id", FieldType::Long), FieldDef::Alpha("UserName", 10)}),
                                 {{Value::Integer(1), Value::Text("jsmith")}});
         },
         [](const RunResult& run) {
             ExpectInstalled(run);
             EXPECT_EQ(ControlRows(run), kPreparedControlRows);
         }},
    });
}

}  // namespace
