// The practice database start-up: the private folder, the session and the
// connection VRL, and the control table's "Claim" row.
#include <gtest/gtest.h>

#include <set>

#include "engine/Session.h"
#include "engine/Table.h"
#include "engine/record_codec.h"
#include "platform/FaultInjection.h"
#include "startup/Main_DataModules.h"
#include "startup/PracticeDatabase.h"
#include "startup/Phases.h"
#include "startup/StartupSequence.h"
#include "practice_machine.h"
#include "practice_tables.h"

namespace {

using practice_tables::ControlRow;

const char kControl[] = "C:\\Virelle\\Data\\CONTROL.DB";
const char kUsers[] = "C:\\Virelle\\Data\\USER.DB";

// The phases of the sequence with these numbers, as the sequence runs them.
std::vector<StartupPhase> Phases(const std::set<int>& numbers) {
    std::vector<StartupPhase> chosen;
    for (const StartupPhase& phase : StartupPhases()) {
        if (numbers.count(phase.number) != 0) chosen.push_back(phase);
    }
    return chosen;
}

// A practice whose folders exist, with the data lock taken as phase 12 does.
void PrepareFolders(PracticeMachine& practice) {
    practice.machine.makeFolder("C:\\Virelle\\Data");
    practice.machine.makeFolder("C:\\Virelle\\Bin");
    ASSERT_TRUE(OpenDataLock());
}

// One start through phases 15 to 19 with a fresh data module.
void StartDatabase(const std::set<int>& phases = {15, 17, 18, 19}) {
    TFRM_Main_DataModules module;
    RunStartupPhases(Phases(phases), module);
}

// The start-up log's messages after START, each followed by a blank.
std::string Messages(PracticeMachine& practice) {
    std::string logged;
    for (const std::string& message : practice.LoggedMessages()) logged += message + " ";
    return logged;
}

TEST(PracticeDatabase, SessionAndConnectionAreOpenedOnThePracticeFolders) {
    struct Case {
        const char* user;
        const char* longFolder;
        const char* shortFolder;
    };
    const Case cases[] = {
        {"jsmith", "C:\\Virelle\\Private\\jsmith\\VRL_DPD134\\",
         "C:\\Virelle\\Private\\jsmith\\VRL_DP~1\\"},
        {"o'brien", "C:\\Virelle\\Private\\obrien\\VRL_DPD134\\",
         "C:\\Virelle\\Private\\obrien\\VRL_DP~1\\"},
        {"'o''neil'", "C:\\Virelle\\Private\\oneil\\VRL_DPD134\\",
         "C:\\Virelle\\Private\\oneil\\VRL_DP~1\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        PracticeMachine practice;
        practice.machine.system().setUserName(std::string(c.user));
        PrepareFolders(practice);
        TFRM_Main_DataModules module;
        OpenPracticeDatabase(module);

        EXPECT_EQ(PrivateDir, c.shortFolder);
        EXPECT_EQ(module.OwnPrivateDir, c.shortFolder);
        EXPECT_TRUE(practice.machine.isFolder(c.shortFolder));
        EXPECT_EQ(platform::files().currentFolder() + "\\", c.shortFolder);
        const IniFile machine = practice.MachineSettings();
        EXPECT_EQ(machine.ReadString("GetShortPathName", "ShortName", "?"), c.shortFolder);
        EXPECT_EQ(machine.ReadString("GetShortPathName", "LongName", "?"), c.longFolder);

        const engine::Session& session = module.VRL.session();
        EXPECT_TRUE(session.Active());
        EXPECT_EQ(session.NetFileDir(), "C:\\Virelle\\");
        EXPECT_EQ(session.PrivateDir(), c.shortFolder);
        EXPECT_EQ(session.Passwords(), std::vector<std::string>{DatabasePassword()});
        EXPECT_TRUE(module.VRL.Connected());
        EXPECT_EQ(module.VRL.Params(), std::vector<std::string>{"PATH=C:\\Virelle\\Data\\"});
    }
}

TEST(PracticeDatabase, ProtectedTableOpensThroughTheSessionPassword) {
    PracticeMachine practice;
    PrepareFolders(practice);
    practice_tables::MakeControlTable(kControl, {{"Claim", 3}});
    TFRM_Main_DataModules module;
    module.VRL.session().AddPassword("STALE");
    OpenPracticeDatabase(module);
    EXPECT_EQ(module.VRL.session().Passwords(), std::vector<std::string>{DatabasePassword()})
        << "passwords known before are removed";
    EXPECT_NO_THROW(module.Control_Table.Open());
    EXPECT_EQ(module.Control_Table.FieldByName("Number").AsInteger(), 3);
}

TEST(PracticeDatabase, CheckpointsMarkEachSessionStep) {
    PracticeMachine practice("VRL.EXE");
    PrepareFolders(practice);
    TFRM_Main_DataModules module;
    OpenPracticeDatabase(module);
    EXPECT_EQ(Messages(practice), "9.17 9.18 9.19 9.2 9.21 9.211 9.22 9.23 9.24 ");
}

TEST(PracticeDatabase, PathWithoutShortFormIsRecordedAndLeavesThePrivateFolderEmpty) {
    PracticeMachine practice;
    PrepareFolders(practice);
    platform::FaultInjectingPlatform faulty(practice.machine.platform());
    faulty.faults().add({"Files.shortPath", 1});
    sim::ScopedPlatform installed(faulty.platform());
    TFRM_Main_DataModules module;
    OpenPracticeDatabase(module);

    EXPECT_EQ(PrivateDir, "");
    EXPECT_EQ(module.VRL.session().PrivateDir(), "");
    const IniFile machine = practice.MachineSettings();
    EXPECT_EQ(machine.ReadString("GetShortPathName", "LongName", "?"),
              "C:\\Virelle\\Private\\Reception\\VRL_DPD134\\");
    EXPECT_EQ(machine.ReadString("GetShortPathName", "ShortName", "?"), "");
    const std::string events = practice.machine.readFile("C:\\Virelle\\EVENTS.XML").value_or("");
    EXPECT_NE(events.find("<CLASS>Information</CLASS>\r\n<TEXT>GetShortPathName</TEXT>"),
              std::string::npos);
    EXPECT_TRUE(module.VRL.Connected());
}

// Files whose short forms are as long as their long forms, to see a result
// that does not fit the usual 260-character buffer.
class LongShortForms : public platform::Files {
public:
    explicit LongShortForms(platform::Files& inner) : inner_(inner) {}
    platform::ShortPathResult shortPath(const std::string& path, std::uint32_t chars) override {
        ++calls;
        const std::string text = path + std::string(300, 'x');
        if (text.size() + 1 > chars) return {static_cast<std::uint32_t>(text.size() + 1), ""};
        return {static_cast<std::uint32_t>(text.size()), text};
    }
    std::unique_ptr<platform::OpenFile> open(const std::string& p, std::uint32_t a, std::uint32_t s,
                                             std::uint32_t d, std::uint32_t at) override {
        return inner_.open(p, a, s, d, at);
    }
    std::optional<std::uint32_t> attributes(const std::string& p) override { return inner_.attributes(p); }
    bool setAttributes(const std::string& p, std::uint32_t a) override { return inner_.setAttributes(p, a); }
    bool createFolder(const std::string& p) override { return inner_.createFolder(p); }
    bool removeFolder(const std::string& p) override { return inner_.removeFolder(p); }
    bool copyFile(const std::string& f, const std::string& t, bool e) override { return inner_.copyFile(f, t, e); }
    bool deleteFile(const std::string& p) override { return inner_.deleteFile(p); }
    bool moveFile(const std::string& f, const std::string& t) override { return inner_.moveFile(f, t); }
    bool replaceFile(const std::string& f, const std::string& t) override { return inner_.replaceFile(f, t); }
    std::optional<platform::FindData> find(const std::string& p) override { return inner_.find(p); }
    std::optional<std::vector<std::string>> list(const std::string& f) override { return inner_.list(f); }
    std::optional<platform::LocalTime> lastWriteTime(const std::string& p) override { return inner_.lastWriteTime(p); }
    std::string fullPath(const std::string& p) override { return inner_.fullPath(p); }
    std::string currentFolder() override { return inner_.currentFolder(); }
    bool setCurrentFolder(const std::string& p) override { return inner_.setCurrentFolder(p); }
    std::optional<std::uint64_t> freeSpace(const std::string& p) override { return inner_.freeSpace(p); }
    std::uint32_t lastError() const override { return inner_.lastError(); }

    int calls = 0;

private:
    platform::Files& inner_;
};

TEST(PracticeDatabase, ShortFormLongerThanTheBufferIsAskedForAgainWhole) {
    PracticeMachine practice;
    LongShortForms files(*practice.machine.platform().files);
    platform::Platform withLongForms = practice.machine.platform();
    withLongForms.files = &files;
    sim::ScopedPlatform installed(withLongForms);

    const std::string path = "C:\\Virelle\\Private\\Reception\\VRL_DPD134\\";
    EXPECT_EQ(ShortPathOf(path), path + std::string(300, 'x'));
    EXPECT_EQ(files.calls, 2);
    EXPECT_EQ(practice.MachineSettings().ReadString("GetShortPathName", "ShortName", "?"),
              path + std::string(300, 'x'));
    EXPECT_FALSE(practice.machine.exists("C:\\Virelle\\EVENTS.XML"));
}

TEST(PracticeDatabase, MissingDataFolderEndsInTheCatchAllBoxWithTheLockReleased) {
    PracticeMachine practice;
    practice.machine.makeFolder("C:\\Virelle");
    ASSERT_TRUE(OpenDataLock());
    practice.screen.AnswerMessageBox(toolkit::id::kOk);
    EXPECT_THROW(StartDatabase({17}), EStartupStop);
    ASSERT_EQ(practice.screen.MessageBoxes().size(), 1u);
    const std::string& text = practice.screen.MessageBoxes()[0].text;
    EXPECT_EQ(text.rfind("Unable to initialize program:\r\r", 0), 0u) << text;
    EXPECT_NE(text.find("C:\\Virelle\\Data\\"), std::string::npos) << text;
    EXPECT_FALSE(DataLockHeld());
}

// --- The "Claim" row ------------------------------------------------------

struct ClaimCase {
    const char* name;
    const char* settings;
    std::optional<std::vector<ControlRow>> control;  // nullopt: no CONTROL.DB
    std::optional<std::vector<std::optional<int>>> users;  // nullopt: no USER.DB
    int starts;
    std::vector<ControlRow> after;  // the control table afterwards
    const char* claimKey;           // [Virelle] Claim afterwards, null: absent
};

const ClaimCase kClaimCases[] = {
    {"claim row, no NewClaim", "", std::vector<ControlRow>{{"Claim", 4}, {"Recall", 1}},
     std::nullopt, 1, {{"Claim", 4}, {"Recall", 1}}, "1"},
    {"claim row in other letter case", "", std::vector<ControlRow>{{"CLAIM", 4}}, std::nullopt, 1,
     {{"CLAIM", 4}}, "1"},
    {"claim row with NewClaim", "[Virelle]\r\nNewClaim=1\r\n", std::vector<ControlRow>{{"Claim", 4}},
     std::nullopt, 1, {{"Claim", 4}}, nullptr},
    {"NewClaim without a row adds one with an empty number", "[Virelle]\r\nNewClaim=1\r\n",
     std::vector<ControlRow>{{"Recall", 1}}, std::vector<std::optional<int>>{7}, 1,
     {{"Claim", std::nullopt}, {"Recall", 1}}, nullptr},
    {"NewClaim, second start adds nothing", "[Virelle]\r\nNewClaim=1\r\n",
     std::vector<ControlRow>{{"Recall", 1}}, std::vector<std::optional<int>>{7}, 2,
     {{"Claim", std::nullopt}, {"Recall", 1}}, nullptr},
    {"neither: the highest Form", "", std::vector<ControlRow>{{"Recall", 1}},
     std::vector<std::optional<int>>{2, 5, 3}, 1, {{"Claim", 5}, {"Recall", 1}}, nullptr},
    {"neither, second start mirrors the row", "", std::vector<ControlRow>{{"Recall", 1}},
     std::vector<std::optional<int>>{2, 5, 3}, 2, {{"Claim", 5}, {"Recall", 1}}, "1"},
    {"neither, empty Form counts as 0", "", std::vector<ControlRow>{},
     std::vector<std::optional<int>>{std::nullopt, -4}, 1, {{"Claim", 0}}, nullptr},
    {"neither, empty users' table", "", std::vector<ControlRow>{}, std::vector<std::optional<int>>{},
     1, {{"Claim", 0}}, nullptr},
    {"neither, no users' table", "", std::vector<ControlRow>{{"Recall", 1}}, std::nullopt, 1,
     {{"Recall", 1}}, nullptr},
};

void ExpectControlRows(const std::vector<ControlRow>& expected) {
    const std::vector<engine::Row> rows = practice_tables::ReadRows(kControl);
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(rows[i][0], engine::Value::Text(expected[i].name));
        EXPECT_EQ(rows[i][1], expected[i].number ? engine::Value::Integer(*expected[i].number)
                                                  : engine::Value::Null());
    }
}

TEST(ClaimEntry, ControlTableFollowsTheSettingsAndTheUsers) {
    for (const ClaimCase& c : kClaimCases) {
        SCOPED_TRACE(c.name);
        PracticeMachine practice;
        PrepareFolders(practice);
        practice.machine.writeFile("C:\\Virelle\\VRLPRC.INI", c.settings);
        if (c.control) practice_tables::MakeControlTable(kControl, *c.control);
        if (c.users) practice_tables::MakeUserTable(kUsers, *c.users);
        for (int i = 0; i < c.starts; ++i) StartDatabase();

        EXPECT_TRUE(practice.screen.MessageBoxes().empty());
        ExpectControlRows(c.after);
        const IniFile settings = practice.PracticeSettings();
        if (c.claimKey == nullptr) {
            EXPECT_FALSE(settings.ValueExists("Virelle", "Claim"));
        } else {
            EXPECT_EQ(settings.ReadString("Virelle", "Claim", "?"), c.claimKey);
        }
        EXPECT_EQ(settings.ValueExists("Virelle", "NewClaim"), std::string(c.settings).size() > 0);
    }
}

// Two machines of the practice starting at one moment: both find no
// "Claim" row, and the other machine's row lands between this one's look
// and its post. The row is there as wanted; the start goes on without a box.
TEST(ClaimEntry, ClaimRowAddedMeanwhileByAnotherMachineIsNoError) {
    PracticeMachine practice;
    PrepareFolders(practice);
    practice.machine.writeFile("C:\\Virelle\\VRLPRC.INI", "[Virelle]\r\nNewClaim=1\r\n");
    practice_tables::MakeControlTable(kControl, {{"Recall", 1}});
    TFRM_Main_DataModules module;
    const engine::Table::Handler ownBeforePost = module.Control_Table.BeforePost;
    int otherPosts = 0;
    module.Control_Table.BeforePost = [&](engine::Table& table) {
        if (ownBeforePost) ownBeforePost(table);
        if (otherPosts++ > 0) return;
        auto other = engine::TableFile::Open(kControl, {DatabasePassword()}, engine::TableFile::Mode::ReadWrite);
        std::vector<unsigned char> record(static_cast<std::size_t>(other->recordSize()), 0);
        engine::EncodeField(other->fields()[0], engine::Value::Text("Claim"), record.data());
        engine::EncodeField(other->fields()[1], engine::Value::Integer(9), record.data() + other->offsets()[1]);
        other->append(record);
    };
    EXPECT_NO_THROW(RunStartupPhases(Phases({15, 17, 18, 19}), module));
    EXPECT_EQ(otherPosts, 1);
    EXPECT_TRUE(practice.screen.MessageBoxes().empty());
    EXPECT_TRUE(DataLockHeld());
    EXPECT_TRUE(module.ClaimPresent);
    EXPECT_FALSE(module.Control_Table.Active());
    ExpectControlRows({{"Claim", 9}, {"Recall", 1}});
}

TEST(ClaimEntry, NoControlTableIsPassedSilently) {
    PracticeMachine practice;
    PrepareFolders(practice);
    practice_tables::MakeUserTable(kUsers, {3});
    EXPECT_NO_THROW(StartDatabase());
    EXPECT_FALSE(practice.machine.exists(kControl));
    EXPECT_TRUE(practice.screen.MessageBoxes().empty());
}

TEST(ClaimEntry, ControlTableWithoutNameFieldIsLeftAlone) {
    PracticeMachine practice;
    PrepareFolders(practice);
    engine::TableLayout layout;
    layout.fields = {engine::FieldDef::Alpha("Setting", 20),
                     engine::FieldDef::Of("Number", engine::FieldType::Long)};
    layout.keyFields = 1;
    engine::CreateTable(kControl, layout, {{engine::Value::Text("Claim"), engine::Value::Integer(1)}});
    practice_tables::MakeUserTable(kUsers, {3});
    const std::string before = practice.machine.readFile(kControl).value();
    EXPECT_NO_THROW(StartDatabase());
    EXPECT_EQ(practice.machine.readFile(kControl), before);
    EXPECT_TRUE(practice.screen.MessageBoxes().empty());
}

TEST(ClaimEntry, ControlTableIsClosedAndOrderedByNameAgain) {
    PracticeMachine practice;
    PrepareFolders(practice);
    practice_tables::MakeControlTable(kControl, {{"Claim", 1}});
    TFRM_Main_DataModules module;
    RunStartupPhases(Phases({15, 17, 18, 19}), module);
    EXPECT_FALSE(module.Control_Table.Active());
    EXPECT_FALSE(module.User_Table.Active());
    EXPECT_EQ(module.Control_Table.IndexFieldNames(), "Name");
    EXPECT_TRUE(module.ClaimPresent);
}

TEST(ClaimEntry, CheckpointsOfTheClaimSteps) {
    PracticeMachine practice("VRL.EXE");
    PrepareFolders(practice);
    practice_tables::MakeControlTable(kControl, {{"Claim", 1}});
    TFRM_Main_DataModules module;
    OpenPracticeDatabase(module);
    SyncClaimEntry(module);
    EXPECT_EQ(Messages(practice),
              "9.17 9.18 9.19 9.2 9.21 9.211 9.22 9.23 9.24 "
              "9.251 9.252 9.253 9.254 9.261 9.262 ");
}

TEST(ClaimEntry, PackingProgramsLeaveTheControlTableAlone) {
    for (const char* program : {"VRL_PACK.EXE", "crv_pack.exe"}) {
        SCOPED_TRACE(program);
        PracticeMachine practice(program);
        PrepareFolders(practice);
        practice.machine.writeFile("C:\\Virelle\\VRLPRC.INI", "[Virelle]\r\nNewClaim=1\r\n");
        practice_tables::MakeControlTable(kControl, {{"Recall", 1}});
        practice_tables::MakeUserTable(kUsers, {4});
        StartDatabase();
        ExpectControlRows({{"Recall", 1}});
    }
}

TEST(ClaimEntry, DamagedControlTableStopsWithThePackAdvice) {
    for (const auto& damage : practice_tables::kDamages) {
        SCOPED_TRACE(damage.name);
        PracticeMachine practice;
        PrepareFolders(practice);
        practice_tables::MakeControlTable(kControl, {{"Claim", 1}}, false);
        practice_tables::DamageTable(practice.machine, kControl, damage.damage);
        const std::string damaged = practice.machine.readFile(kControl).value();
        const std::string engineMessage = practice_tables::EngineMessageOpening(kControl);
        ASSERT_FALSE(engineMessage.empty()) << "the engine reads the damaged table";

        practice.screen.AnswerMessageBox(toolkit::id::kOk);
        EXPECT_THROW(StartDatabase(), EStartupStop);
        ASSERT_EQ(practice.screen.MessageBoxes().size(), 1u);
        EXPECT_EQ(practice.screen.MessageBoxes()[0].text,
                  "Please run the 'Pack Databases' application.\r\r" + engineMessage);
        EXPECT_EQ(practice.screen.MessageBoxes()[0].flags & 0xF0, toolkit::mb::kIconError);
        EXPECT_FALSE(DataLockHeld());
        EXPECT_FALSE(practice.machine.exists("C:\\Virelle\\VRL.LCK"));
        EXPECT_EQ(practice.machine.readFile(kControl), damaged);
        EXPECT_FALSE(practice.PracticeSettings().ValueExists("Virelle", "Claim"));
    }
}

TEST(ClaimEntry, DamagedControlTableIsDroppedForOtherPackPrograms) {
    PracticeMachine practice("VRL_PACKUP.EXE");
    PrepareFolders(practice);
    practice_tables::MakeControlTable(kControl, {{"Claim", 1}}, false);
    practice_tables::DamageTable(practice.machine, kControl, practice_tables::Damage::GarbageHeader);
    TFRM_Main_DataModules module;
    EXPECT_NO_THROW(RunStartupPhases(Phases({17, 18, 19}), module));
    EXPECT_TRUE(practice.screen.MessageBoxes().empty());
    EXPECT_TRUE(DataLockHeld());
    EXPECT_FALSE(module.Control_Table.Active());
    EXPECT_EQ(module.Control_Table.IndexFieldNames(), "Name");
}

}  // namespace
