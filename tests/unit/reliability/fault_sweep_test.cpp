// The fault sweep: one whole run of the program on a prepared practice
// counts the platform calls that can fail; then, for each of those calls in
// turn, the run is repeated with exactly that call failing (and, for the
// calls that write, once more with the disk filling up at that call). Each
// run must end with exit code 0 and the data lock given back, leave every
// table readable (by the engine and by pxlib alike) and every carried table either absent or whole, leave each
// settings key at its old or its new value, and end the way the program's
// failure rules say for that call.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "toolkit/Application.h"
#include "common/Text.h"
#include "installer/uSDR134.h"
#include "platform/sim/IniText.h"
#include "sweep_practice.h"

namespace {

std::vector<std::string> SortedRows(std::vector<std::string> rows) {
    std::sort(rows.begin(), rows.end());
    return rows;
}

using sweep::RunResult;

// The calls the sweep fails, in groups of the same kind; the last group
// takes every call the others leave, so that each call of the clean run
// fails once. A failed read or query stands for a missing file, key or
// value: the program goes on with the defaults then, and may write them,
// so that group is held to every rule but the one about old or new values.
struct Group {
    const char* name;
    std::vector<std::string> operations;  // empty: every operation of no other group
    bool fillsDisk;  // also run with the disk filling up at each call
    bool readsDefaults = false;
};
const Group kGroups[] = {
    {"SettingsWrites", {"Profiles.write", "Profiles.eraseSection", "Profiles.eraseKey"}, true},
    {"Folders", {"Files.createFolder", "Files.removeFolder", "Files.setAttributes",
                 "Files.setCurrentFolder", "Shell.deleteTree"}, true},
    {"FileOpens", {"Files.open"}, true},
    {"FileWrites", {"OpenFile.writeAt", "OpenFile.truncate", "OpenFile.flush"}, true},
    {"FileReads", {"OpenFile.readAt", "OpenFile.size"}, false},
    {"Locks", {"OpenFile.lockRange", "OpenFile.unlockRange"}, false},
    {"CopiesAndMoves", {"Files.copyFile", "Files.moveFile", "Files.replaceFile", "Files.deleteFile"},
     true},
    {"Registry", {"Registry.open", "RegistryKey.writeString", "RegistryKey.writeNumber",
                  "RegistryKey.deleteValue", "RegistryKey.read"}, false},
    {"Launches", {"Shell.execute", "Shell.executeEx", "Process.wait"}, false},
    {"ReadsAndQueries", {}, false, true},
};

// Test names show the group's name, not its bytes.
void PrintTo(const Group& group, std::ostream* out) { *out << group.name; }

bool InGroup(const Group& group, const std::string& operation) {
    const auto has = [&](const Group& g) {
        return std::find(g.operations.begin(), g.operations.end(), operation) != g.operations.end();
    };
    if (!group.operations.empty()) return has(group);
    for (const Group& other : kGroups)
        if (&other != &group && !other.operations.empty() && has(other)) return false;
    return true;
}

// The two practices the sweep runs on: as prepared, and one whose short
// paths cannot be had, so that the start-up writes the event log.
struct Scenario {
    const char* name;
    bool withoutShortPaths;
};
const Scenario kScenarios[] = {{"practice", false}, {"practice without short paths", true}};

// One case: the nth call of an operation fails, or the disk fills there.
struct Case {
    const Scenario* scenario;
    const Group* group;
    std::string operation;
    std::size_t nth;         // among the calls of the operation, from 1
    std::size_t call;        // among all calls, from 1
    std::string detail;      // what the call works on
    bool fillDisk;
};

// --- what the counting run and the prepared practice tell -----------------

struct Baseline {
    RunResult clean;     // the run without faults
    RunResult prepared;  // the files and tables before any run
};

const Baseline& BaselineOf(const Scenario& scenario) {
    static std::map<const Scenario*, Baseline> baselines;
    auto found = baselines.find(&scenario);
    if (found != baselines.end()) return found->second;
    Baseline baseline;
    sweep::RunPlan plan;
    plan.withoutShortPaths = scenario.withoutShortPaths;
    baseline.clean = sweep::RunPractice(plan);
    baseline.prepared = sweep::PreparedPractice();
    return baselines.emplace(&scenario, std::move(baseline)).first->second;
}

std::vector<Case> CasesOf(const Scenario& scenario, const Group& group) {
    const RunResult& clean = BaselineOf(scenario).clean;
    std::vector<Case> cases;
    std::map<std::string, std::size_t> seen;
    for (std::size_t i = 0; i < clean.log.size(); ++i) {
        const std::string& operation = clean.log[i];
        const std::size_t nth = ++seen[operation];
        if (!InGroup(group, operation)) continue;
        cases.push_back({&scenario, &group, operation, nth, i + 1, clean.details[i], false});
        if (group.fillsDisk)
            cases.push_back({&scenario, &group, operation, nth, i + 1, clean.details[i], true});
    }
    return cases;
}

// --- the invariants ------------------------------------------------------

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string Upper(const std::string& text) { return AnsiUpperCase(text); }

bool SamePath(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

// How a run ended, as the user (or the unattended practice) sees it.
enum class Ending { Installed, CatchAll, InstallerReport, PackAdvice, Packing, FolderStop, DriveDialog, Other };

const char* NameOf(Ending ending) {
    switch (ending) {
        case Ending::Installed: return "installed";
        case Ending::CatchAll: return "catch-all box";
        case Ending::InstallerReport: return "installer error report";
        case Ending::PackAdvice: return "pack advice";
        case Ending::Packing: return "packing";
        case Ending::FolderStop: return "practice folder stop";
        case Ending::DriveDialog: return "data drive dialog";
        case Ending::Other: return "other";
    }
    return "?";
}

const char kCatchAll[] = "Unable to initialize program:\r\r";
const char kPackAdvice[] = "Please run the 'Pack Databases' application.\r\r";
const char kDriveDialog[] = "Virelle - Select Data Drive";

Ending EndingOf(const RunResult& run) {
    const bool windowShown =
        std::find(run.shownForms.begin(), run.shownForms.end(), "Form1") != run.shownForms.end();
    if (run.boxes.empty() && !windowShown && run.unscriptedModals == std::vector<std::string>{kDriveDialog})
        return Ending::DriveDialog;
    if (run.boxes.empty()) return windowShown ? Ending::Installed : Ending::Other;
    if (run.boxes.size() != 1) return Ending::Other;
    const std::string& text = run.boxes[0].text;
    if (!windowShown && StartsWith(text, kCatchAll)) return Ending::CatchAll;
    if (!windowShown && StartsWith(text, kPackAdvice)) return Ending::PackAdvice;
    if (!windowShown && text == "The program is currently packing.") return Ending::Packing;
    if (!windowShown && text == "The directory \"" + std::string(sweep::kPractice) +
                                    "\" can not be accessed.\r\rIf this is a network drive, please "
                                    "ensure that the network is working.")
        return Ending::FolderStop;
    // The installer catches nothing: whatever goes wrong while the window
    // writes goes to the reporter of errors no handler catches.
    if (windowShown && (run.boxes[0].flags & 0xF0) == toolkit::mb::kIconError)
        return Ending::InstallerReport;
    return Ending::Other;
}

std::string DataFile(const std::string& name) { return std::string(sweep::kPractice) + "Data\\" + name; }

// The carried file a call works on ("" for none): the table itself, or the
// temporary file beside it that takes its name when complete.
std::string CarriedFileOf(const std::string& detail) {
    for (const char* name : FeeTableFiles) {
        const std::string target = DataFile(name);
        if (SamePath(detail, target) || StartsWith(Upper(detail), Upper(target + ".~"))) return target;
    }
    return "";
}

// The ending the failure rules give for one failing call; nullopt where they
// leave it to which step the call serves (then any defined ending will do).
std::optional<Ending> DocumentedEnding(const Case& c) {
    if (c.fillDisk || c.group->readsDefaults) return std::nullopt;
    const std::string& op = c.operation;
    if (op == "Profiles.write" || op == "Profiles.eraseSection" || op == "Profiles.eraseKey")
        return Ending::CatchAll;
    if (!CarriedFileOf(c.detail).empty()) return Ending::InstallerReport;
    if (op == "Files.open" && SamePath(c.detail, sweep::kLockFile)) return Ending::Packing;
    // Best-effort steps: the folder tree, the private folder, the copies,
    // the registry, the launches, the lock file's removal and the event log.
    if (StartsWith(op, "Registry") || StartsWith(op, "Shell.") || op == "Process.wait" ||
        op == "Files.createFolder" || op == "Files.setAttributes" || op == "Files.copyFile" ||
        op == "Files.deleteFile" || op == "Files.removeFolder")
        return Ending::Installed;
    if (StartsWith(Upper(c.detail), Upper(sweep::kEventLog))) return Ending::Installed;
    return std::nullopt;
}

// Each key of the settings file holds its value from before the run or one
// that a run without faults gives it (absent counting as a value): a
// failure may end the run early or take the way of another practice, but
// never leaves a torn or a foreign value.
void CheckSettings(const std::string& path, const RunResult& run, std::vector<std::string>* problems) {
    const auto textIn = [&](const std::map<std::string, std::string>& files) {
        for (const auto& [name, bytes] : files)
            if (SamePath(name, path)) return bytes;
        return std::string();
    };
    std::vector<sim::IniText> allowed;
    for (const Scenario& scenario : kScenarios) {
        allowed.emplace_back(textIn(BaselineOf(scenario).prepared.files));
        allowed.emplace_back(textIn(BaselineOf(scenario).clean.files));
    }
    const sim::IniText now(textIn(run.files));
    std::set<std::pair<std::string, std::string>> keys;
    std::vector<const sim::IniText*> all{&now};
    for (const sim::IniText& ini : allowed) all.push_back(&ini);
    for (const sim::IniText* ini : all)
        for (const std::string& section : ini->sections())
            for (const std::string& key : ini->keys(section)) keys.insert({Upper(section), Upper(key)});
    const auto shown = [](const std::optional<std::string>& v) { return v ? "\"" + *v + "\"" : "absent"; };
    for (const auto& [section, key] : keys) {
        const auto value = now.value(section, key);
        std::string expected;
        bool found = false;
        for (const sim::IniText& ini : allowed) {
            found = found || ini.value(section, key) == value;
            expected += " " + shown(ini.value(section, key));
        }
        if (!found)
            problems->push_back(path + " [" + section + "] " + key + " is " + shown(value) +
                                ", expected one of" + expected);
    }
}

std::vector<std::string> Problems(const Case& c, const RunResult& run) {
    const Baseline& baseline = BaselineOf(*c.scenario);
    std::vector<std::string> problems;
    // The planned fault fired when its call was made (the scenario's own
    // faults make faultsInjected no measure of it).
    const auto made = static_cast<std::size_t>(std::count(run.log.begin(), run.log.end(), c.operation));
    if (made < c.nth && !c.fillDisk) problems.push_back("the planned fault never fired");
    if (c.fillDisk && run.log.size() < c.call) problems.push_back("the run ended before the disk filled");
    if (run.exitCode != 0) problems.push_back("exit code " + std::to_string(run.exitCode));
    if (run.lockHeld) problems.push_back("the data lock is still held");
    const Ending ending = EndingOf(run);
    // Only a machine setting that cannot be read asks for the drive, as a
    // missing one does.
    const bool driveAsked = ending == Ending::DriveDialog && c.group->readsDefaults &&
                            SamePath(c.detail, sweep::kMachineIni);
    if (!run.unscriptedModals.empty() && !driveAsked)
        problems.push_back("a dialog waited: " + run.unscriptedModals[0]);

    if (ending == Ending::Other) {
        std::string boxes;
        for (const auto& box : run.boxes) boxes += " [" + box.text + "]";
        problems.push_back("an ending the failure rules do not give:" + (boxes.empty() ? " no box, no window" : boxes));
    }
    if (const auto documented = DocumentedEnding(c); documented && *documented != ending) {
        problems.push_back(std::string("ended with ") + NameOf(ending) + " instead of " + NameOf(*documented));
    }
    // A refused settings write names its file.
    if (ending == Ending::CatchAll && StartsWith(c.operation, "Profiles.") && !c.fillDisk &&
        run.boxes[0].text != kCatchAll + std::string("Unable to write to ") + c.detail) {
        problems.push_back("catch-all box does not name " + c.detail + ": " + run.boxes[0].text);
    }
    if (ending == Ending::InstallerReport && !CarriedFileOf(c.detail).empty() && !c.fillDisk &&
        !StartsWith(run.boxes[0].text, "Unable to write to " + CarriedFileOf(c.detail) + "\r\r")) {
        problems.push_back("installer report does not name " + CarriedFileOf(c.detail) + ": " +
                           run.boxes[0].text);
    }
    // The reporter records the error first (the disk may be too full for it).
    if (ending == Ending::InstallerReport && !c.fillDisk) {
        const auto events = run.files.find(sweep::kEventLog);
        if (events == run.files.end() || !Contains(events->second, "<TEXT>" + run.boxes[0].text + "</TEXT>"))
            problems.push_back("the installer's error is not in the event log");
    }
    if (ending == Ending::CatchAll && Contains(run.boxes[0].text, "Unknown error"))
        problems.push_back("catch-all box without the error's message");

    // Carried tables: absent, or exactly the carried bytes; and no
    // temporary file left beside them.
    for (const auto& [name, bytes] : sweep::CarriedTables()) {
        for (const auto& [path, left] : run.files) {
            if (SamePath(path, DataFile(name)) && left != bytes)
                problems.push_back(path + " differs from the carried file (" + std::to_string(left.size()) +
                                   " bytes)");
            if (StartsWith(Upper(path), Upper(DataFile(name) + ".~")))
                problems.push_back("temporary file left: " + path);
        }
    }
    // The installed run leaves all six.
    if (ending == Ending::Installed) {
        for (const char* name : FeeTableFiles) {
            bool found = false;
            for (const auto& [path, left] : run.files) found = found || SamePath(path, DataFile(name));
            if (!found) problems.push_back(std::string("installed run without ") + name);
        }
    }
    // Every table file opens, in the engine and in pxlib, and both read the
    // same rows; the practice's tables hold the rows of before or of after
    // the run.
    for (const auto& [path, rows] : run.tables) {
        if (!rows.empty() && StartsWith(rows[0], "engine error: "))
            problems.push_back(path + ": " + rows[0]);
        const std::vector<std::string>& peer = run.peerTables.at(path);
        if (!peer.empty() && StartsWith(peer[0], "pxlib: ")) {
            for (const std::string& line : peer) problems.push_back(path + ": " + line);
        } else if (SortedRows(peer) != SortedRows(rows)) {
            problems.push_back(path + ": pxlib reads other rows than the engine");
        }
    }
    for (const char* table : {sweep::kControl, sweep::kUsers}) {
        const auto now = run.tables.find(table);
        const auto clean = baseline.clean.tables.find(table);
        if (now == run.tables.end()) {
            problems.push_back(std::string(table) + " is gone");
            continue;
        }
        const auto prepared = baseline.prepared.tables.find(table);
        const bool asBefore = prepared != baseline.prepared.tables.end() && now->second == prepared->second;
        const bool asAfter = clean != baseline.clean.tables.end() && now->second == clean->second;
        if (!asBefore && !asAfter) {
            std::string rows;
            for (const auto& row : now->second) rows += " [" + row + "]";
            problems.push_back(std::string(table) + " holds neither the rows of before nor of after:" + rows);
        }
    }
    // The private fee table's copy is whole or absent.
    const auto copy = run.files.find(sweep::kPrivateFeesCopy);
    if (copy != run.files.end() && copy->second != run.files.at(sweep::kPrivateFees))
        problems.push_back("partial private fee table copy");

    if (!c.group->readsDefaults) {
        CheckSettings(sweep::kMachineIni, run, &problems);
        CheckSettings(sweep::kPracticeIni, run, &problems);
    }

    // The event log, when there is one, is a whole document.
    const auto events = run.files.find(sweep::kEventLog);
    if (events != run.files.end() && !events->second.empty() &&
        (!StartsWith(events->second, "<?xml version=\"1.0\"?>\r\n<EVENTS>\r\n") ||
         events->second.size() < 11 ||
         events->second.compare(events->second.size() - 11, 11, "</EVENTS>\r\n") != 0))
        problems.push_back("EVENTS.XML is not a whole document");
    for (const auto& [path, bytes] : run.files)
        if (StartsWith(Upper(path), Upper(std::string(sweep::kEventLog) + ".")))
            problems.push_back("temporary file left: " + path);
    return problems;
}

// --- the sweep ----------------------------------------------------------

struct Tally {
    std::size_t run = 0, failed = 0;
};
Tally& Totals() {
    static Tally totals;
    return totals;
}

class SweepReport : public ::testing::Environment {
public:
    void TearDown() override {
        if (Totals().run == 0) return;
        std::printf("fault sweep: %zu cases run, %zu failed\n", Totals().run, Totals().failed);
    }
};
const auto* const kReport = ::testing::AddGlobalTestEnvironment(new SweepReport);

RunResult RunCase(const Case& c) {
    sweep::RunPlan plan;
    plan.withoutShortPaths = c.scenario->withoutShortPaths;
    if (c.fillDisk) {
        const std::size_t at = c.call;
        plan.observer = [at](sim::Machine& machine, const std::string&, const std::string&,
                             std::size_t call) {
            if (call == at) machine.fillDiskAfter('C', 0);
        };
    } else {
        plan.faults.push_back({c.operation, c.nth});
    }
    return sweep::RunPractice(plan);
}

class FaultSweep : public ::testing::TestWithParam<Group> {};

TEST_P(FaultSweep, EveryFailingCallEndsAsDefinedAndCorruptsNothing) {
    const Group& group = GetParam();
    Tally tally;
    std::map<std::string, std::size_t> endings;
    for (const Scenario& scenario : kScenarios) {
        for (const Case& c : CasesOf(scenario, group)) {
            const RunResult run = RunCase(c);
            const std::vector<std::string> problems = Problems(c, run);
            ++tally.run;
            ++endings[NameOf(EndingOf(run))];
            if (problems.empty()) continue;
            ++tally.failed;
            std::string what;
            for (const std::string& problem : problems) what += "\n  " + problem;
            ADD_FAILURE() << scenario.name << ": " << (c.fillDisk ? "disk full at " : "failing ")
                          << c.operation << " #" << c.nth << " (call " << c.call << ", " << c.detail
                          << "):" << what;
        }
    }
    Totals().run += tally.run;
    Totals().failed += tally.failed;
    std::string spread;
    for (const auto& [ending, count] : endings) spread += " " + ending + " " + std::to_string(count) + ";";
    std::printf("fault sweep %s: %zu cases run, %zu failed;%s\n", group.name, tally.run, tally.failed,
                spread.c_str());
    EXPECT_GT(tally.run, 0u) << "the clean run makes no call of this group";
}

INSTANTIATE_TEST_SUITE_P(Operations, FaultSweep, ::testing::ValuesIn(kGroups),
                         [](const ::testing::TestParamInfo<Group>& info) { return info.param.name; });

TEST(FaultSweepBaseline, TheCleanRunInstallsEverythingAndTouchesEveryKindOfCall) {
    for (const Scenario& scenario : kScenarios) {
        SCOPED_TRACE(scenario.name);
        const RunResult& clean = BaselineOf(scenario).clean;
        EXPECT_EQ(EndingOf(clean), Ending::Installed);
        EXPECT_FALSE(clean.lockHeld);
        for (const auto& [name, bytes] : sweep::CarriedTables())
            EXPECT_EQ(clean.files.count(DataFile(name)), 1u) << name;
        // The claim row the start-up appends from the users' highest form.
        EXPECT_EQ(clean.tables.at(sweep::kControl),
                  (std::vector<std::string>{"Claim|9", "Invoice|1200", "Patient|87"}));
        EXPECT_EQ(clean.files.count(sweep::kPrivateFeesCopy), 1u);
        const sim::IniText practice(clean.files.at(sweep::kPracticeIni));
        EXPECT_TRUE(practice.keys("Computers").empty());
        EXPECT_TRUE(practice.value("RunOnce", "SDR134").has_value());
        const bool eventLogged = clean.files.count(sweep::kEventLog) != 0;
        EXPECT_EQ(eventLogged, scenario.withoutShortPaths);
    }
}

}  // namespace
