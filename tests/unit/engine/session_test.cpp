// The session / database / table interface the start-up uses (Parts 2.10,
// 2.11, 2.12 and 2.15), on the simulated machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "engine/Database.h"
#include "engine/Dbi.h"
#include "engine/EngineError.h"
#include "engine/Session.h"
#include "engine/Table.h"
#include "engine/TableFile.h"
#include "platform/FaultInjection.h"

namespace {

using engine::Database;
using engine::FieldDef;
using engine::FieldType;
using engine::Session;
using engine::Table;
using engine::Value;

class InterfaceTest : public enginetest::EngineTest {
protected:
    InterfaceTest() {
        machine.makeFolder("C:\\Virelle\\Private\\jsmith\\VRL_DPD134");
        session.SetNetFileDir("C:\\Virelle\\");
        session.SetPrivateDir("C:\\Virelle\\Private\\jsmith\\VRL_DPD134\\");
        vrl.SetDatabaseName("VRL");
        vrl.Params().push_back("PATH=C:\\DATA\\");
    }

    void makeControl(const std::vector<std::string>& names) {
        engine::TableLayout layout;
        layout.fields = {FieldDef::Alpha("Name", 20), FieldDef::Of("Number", FieldType::Long)};
        layout.keyFields = 1;
        layout.blockSizeKiB = 2;
        std::vector<engine::Row> rows;
        for (const std::string& name : names) rows.push_back({Value::Text(name), Value::Integer(1)});
        engine::CreateTable("C:\\DATA\\CONTROL.DB", layout, rows);
    }

    void makeUsers(const std::vector<int>& forms) {
        engine::TableLayout layout;
        layout.fields = {FieldDef::Alpha("User", 10), FieldDef::Of("Form", FieldType::Long),
                         FieldDef::Of("Born", FieldType::Date), FieldDef::Of("Paid", FieldType::Money),
                         FieldDef::Of("Active", FieldType::Logical)};
        std::vector<engine::Row> rows;
        int n = 0;
        for (int form : forms) {
            rows.push_back({Value::Text("u" + std::to_string(++n)), form < 0 ? Value::Null() : Value::Integer(form),
                            Value::Integer(engine::DayNumber(1970, 3, n)), Value::Float(12.5 * n),
                            Value::Logical(n % 2 == 1)});
        }
        engine::CreateTable("C:\\DATA\\USER.DB", layout, rows);
    }

    Session session;
    Database vrl{session};
};

TEST_F(InterfaceTest, TheSessionOpensOnExistingFoldersOnly) {
    session.Open();
    EXPECT_TRUE(session.Active());
    session.Close();
    EXPECT_FALSE(session.Active());

    session.SetPrivateDir("");  // no short form could be had: the current folder
    EXPECT_NO_THROW(session.Open());
    session.Close();

    session.SetNetFileDir("C:\\Missing\\");
    EXPECT_THROW(session.Open(), engine::EDBEngineError);
    EXPECT_FALSE(session.Active());
}

TEST_F(InterfaceTest, PasswordsAreKeptOnceAndRemovedAll) {
    session.AddPassword("ABCDE");
    session.AddPassword("ABCDE");
    session.AddPassword("other");
    EXPECT_EQ(2u, session.Passwords().size());
    session.RemoveAllPasswords();
    EXPECT_TRUE(session.Passwords().empty());
}

TEST_F(InterfaceTest, TheDatabaseConnectsWithThePathParameter) {
    EXPECT_EQ("STANDARD", vrl.DriverName());
    EXPECT_FALSE(vrl.Connected());
    vrl.Open();
    EXPECT_TRUE(vrl.Connected());
    EXPECT_TRUE(session.Active());  // opened on the way
    EXPECT_EQ("C:\\DATA\\", vrl.Directory());
    vrl.Close();
    EXPECT_FALSE(vrl.Connected());

    vrl.Params().clear();
    vrl.Params().push_back("PATH=C:\\Nowhere\\");
    EXPECT_THROW(vrl.Open(), engine::EDBEngineError);
    vrl.Params() = {"PATH=C:\\DATA"};
    vrl.SetDriverName("DBASE");
    EXPECT_THROW(vrl.Open(), engine::EDBEngineError);
}

TEST_F(InterfaceTest, ExistsTellsWhetherTheTableFileIsThere) {
    Table control(vrl);
    control.SetTableName("CONTROL.DB");
    EXPECT_FALSE(control.Exists());
    makeControl({"Claim"});
    EXPECT_TRUE(control.Exists());
    Table patient(vrl);
    patient.SetTableName("PATIENT");  // without extension: PATIENT.DB
    EXPECT_FALSE(patient.Exists());
    machine.writeFile("C:\\DATA\\patient.db", "x");
    EXPECT_TRUE(patient.Exists());
}

TEST_F(InterfaceTest, TheClaimRowIsFoundWithoutRegardToCaseOrAppended) {
    makeControl({"Alpha", "CLAIM", "Zulu"});
    Table control(vrl);
    control.SetTableName("CONTROL.DB");
    control.SetIndexFieldNames("");
    control.Open();
    control.FieldDefs().Update();
    EXPECT_EQ(0, control.FieldDefs().IndexOf("name"));
    EXPECT_EQ(-1, control.FieldDefs().IndexOf("Missing"));
    ASSERT_NE(nullptr, control.FindField("Name"));
    EXPECT_EQ(nullptr, control.FindField("Missing"));
    EXPECT_TRUE(control.Locate("Name", "Claim", engine::loCaseInsensitive));
    EXPECT_EQ("CLAIM", control.FieldByName("Name").AsString());
    EXPECT_FALSE(control.Locate("Name", "Claim"));  // case-sensitive
    EXPECT_FALSE(control.Locate("Name", "Nothing", engine::loCaseInsensitive));
    EXPECT_TRUE(control.Locate("Name", "zu", engine::loCaseInsensitive | engine::loPartialKey));
    control.Close();
    control.SetIndexFieldNames("Name");
    control.Open();
    EXPECT_TRUE(control.Active());
    control.Close();
}

TEST_F(InterfaceTest, AnAppendedRowIsPostedThroughBothHandlersAndSavedToDisk) {
    makeControl({"Other"});
    Table control(vrl);
    control.SetTableName("CONTROL.DB");
    std::vector<std::string> calls;
    Table* posting = nullptr;
    control.BeforePost = [&](Table& t) {
        calls.push_back("BeforePost");
        posting = &t;
    };
    control.AfterPost = [&](Table& t) {
        calls.push_back("AfterPost");
        EXPECT_EQ(engine::dbierr::kNone, engine::DbiSaveChanges(t.Handle()));
        posting = nullptr;
    };
    control.Open();
    EXPECT_NE(0u, control.Handle());
    control.Append();
    control.FieldByName("Name").SetAsString("Claim");
    EXPECT_TRUE(calls.empty());
    control.Post();
    EXPECT_EQ((std::vector<std::string>{"BeforePost", "AfterPost"}), calls);
    EXPECT_EQ(nullptr, posting);
    EXPECT_EQ("Claim", control.FieldByName("Name").AsString());
    EXPECT_TRUE(control.FieldByName("Number").IsNull());
    EXPECT_EQ(2, control.RecordCount());
    control.Close();
    EXPECT_EQ(0u, control.Handle());

    // Another connection sees the row; pxlib does too.
    Database other(session);
    other.Params().push_back("PATH=C:\\DATA\\");
    Table again(other);
    again.SetTableName("CONTROL.DB");
    again.Open();
    EXPECT_TRUE(again.Locate("Name", "claim", engine::loCaseInsensitive));
    EXPECT_TRUE(again.FieldByName("Number").IsNull());
    const enginetest::PxTable px = enginetest::PxRead(host("C:\\DATA\\CONTROL.DB"), host("C:\\DATA\\CONTROL.PX"));
    EXPECT_TRUE(px.indexAccepted);
    ASSERT_EQ(2u, px.rows.size());
    EXPECT_EQ("Claim", px.rows[0][0].text);
}

TEST_F(InterfaceTest, DbiSaveChangesFlushesTheTableAndRefusesABadHandle) {
    makeControl({"Claim"});
    platform::FaultInjectingPlatform faulty(machine.platform());
    sim::ScopedPlatform use(faulty.platform());
    Table control(vrl);
    control.SetTableName("CONTROL.DB");
    control.Open();
    const std::size_t before = faulty.faults().calls("OpenFile.flush");
    EXPECT_EQ(engine::dbierr::kNone, engine::DbiSaveChanges(control.Handle()));
    EXPECT_GT(faulty.faults().calls("OpenFile.flush"), before);
    faulty.faults().add({"OpenFile.flush", 1});
    EXPECT_EQ(engine::dbierr::kWriteError, engine::DbiSaveChanges(control.Handle()));
    EXPECT_EQ(engine::dbierr::kInvalidHandle, engine::DbiSaveChanges(0));
    EXPECT_EQ(engine::dbierr::kInvalidHandle, engine::DbiSaveChanges(control.Handle() + 1000));
    const engine::hDBICur handle = control.Handle();
    control.Close();
    EXPECT_EQ(engine::dbierr::kInvalidHandle, engine::DbiSaveChanges(handle));
}

TEST_F(InterfaceTest, TheHighestFormIsFoundByGoingThroughTheUsers) {
    makeUsers({2, 5, -1, 3});
    Table users(vrl);
    users.SetTableName("USER.DB");
    users.Open();
    EXPECT_FALSE(users.IsEmpty());
    int highest = 0, seen = 0;
    for (users.First(); !users.Eof(); users.Next()) {
        highest = std::max(highest, users.FieldByName("Form").AsInteger());
        ++seen;
    }
    EXPECT_EQ(5, highest);
    EXPECT_EQ(4, seen);
    users.First();
    EXPECT_EQ("u1", users.FieldByName("User").AsString());
    EXPECT_EQ("01/03/1970", users.FieldByName("Born").AsString());
    EXPECT_EQ("12.5", users.FieldByName("Paid").AsString());
    EXPECT_EQ("True", users.FieldByName("Active").AsString());
    EXPECT_TRUE(users.FieldByName("Active").AsBoolean());
    users.Next();
    users.Next();
    EXPECT_TRUE(users.FieldByName("Form").IsNull());
    EXPECT_EQ(0, users.FieldByName("Form").AsInteger());
    EXPECT_EQ("", users.FieldByName("Form").AsString());
}

TEST_F(InterfaceTest, AnEmptyTableIsEmptyAndAtItsEnd) {
    makeUsers({});
    Table users(vrl);
    users.SetTableName("USER.DB");
    users.Open();
    EXPECT_TRUE(users.IsEmpty());
    EXPECT_TRUE(users.Eof());
    EXPECT_EQ(0, users.FieldByName("Form").AsInteger());
}

TEST_F(InterfaceTest, IndexFieldNamesOrderTheRecords) {
    makeUsers({30, 10, 20});
    Table users(vrl);
    users.SetTableName("USER.DB");
    users.SetIndexFieldNames("Form");
    users.Open();
    std::vector<int> forms;
    for (users.First(); !users.Eof(); users.Next()) forms.push_back(users.FieldByName("Form").AsInteger());
    EXPECT_EQ((std::vector<int>{10, 20, 30}), forms);
    users.Close();
    users.SetIndexFieldNames("Missing");
    EXPECT_THROW(users.Open(), engine::EDatabaseError);
    EXPECT_FALSE(users.Active());
}

TEST_F(InterfaceTest, AProtectedTableOpensWithTheSessionsPassword) {
    engine::TableLayout layout;
    layout.fields = {FieldDef::Alpha("Code", 4)};
    layout.keyFields = 1;
    layout.password = "ABCDE";
    engine::CreateTable("C:\\DATA\\PRV_FEE.DB", layout, {{Value::Text("0101")}});
    Table fees(vrl);
    fees.SetTableName("PRV_FEE.DB");
    EXPECT_THROW(fees.Open(), engine::EDBEngineError);
    session.AddPassword("ABCDE");
    fees.Open();
    EXPECT_EQ("0101", fees.FieldByName("Code").AsString());
    fees.Close();
    session.RemoveAllPasswords();
    EXPECT_THROW(fees.Open(), engine::EDBEngineError);
}

TEST_F(InterfaceTest, ADamagedTableExistsButDoesNotOpen) {
    machine.writeFile("C:\\DATA\\TRT_CTL.DB", std::string(100, '\x07'));
    Table check(vrl);
    check.SetTableName("TRT_CTL.DB");
    EXPECT_TRUE(check.Exists());
    try {
        check.Open();
        FAIL();
    } catch (const engine::EDBEngineError& e) {
        EXPECT_NE(std::string::npos, std::string(e.what()).find("C:\\DATA\\TRT_CTL.DB"));
    }
    EXPECT_FALSE(check.Active());
}

TEST_F(InterfaceTest, AKeyViolationKeepsTheRecordBeingAppended) {
    makeControl({"Claim"});
    Table control(vrl);
    control.SetTableName("CONTROL.DB");
    control.Open();
    control.Append();
    control.FieldByName("Name").SetAsString("Claim");
    EXPECT_THROW(control.Post(), engine::EDBEngineError);
    EXPECT_EQ(Table::State::Insert, control.state());
    control.FieldByName("Name").SetAsString("Claim2");
    control.FieldByName("Number").SetAsInteger(7);
    control.Post();
    EXPECT_EQ(7, control.FieldByName("Number").AsInteger());
    control.Append();
    control.Cancel();
    EXPECT_EQ(2, control.RecordCount());
}

TEST_F(InterfaceTest, FieldsAreWrittenOnlyWhileAppendingAndConvertText) {
    makeUsers({1});
    Table users(vrl);
    users.SetTableName("USER.DB");
    users.Open();
    EXPECT_THROW(users.FieldByName("Form").SetAsString("3"), engine::EDatabaseError);
    EXPECT_THROW(users.FieldByName("Missing"), engine::EDatabaseError);
    users.Append();
    users.FieldByName("Form").SetAsString("12");
    users.FieldByName("Born").SetAsString("29/02/2024");
    users.FieldByName("Paid").SetAsString("3.75");
    users.FieldByName("Active").SetAsBoolean(false);
    EXPECT_THROW(users.FieldByName("Form").SetAsString("twelve"), engine::EDatabaseError);
    EXPECT_THROW(users.FieldByName("Born").SetAsString("30/02/2024"), engine::EDatabaseError);
    users.FieldByName("User").SetAsString("a name that is too long");
    users.Post();
    EXPECT_EQ(12, users.FieldByName("Form").AsInteger());
    EXPECT_EQ("29/02/2024", users.FieldByName("Born").AsString());
    EXPECT_DOUBLE_EQ(3.75, users.FieldByName("Paid").AsFloat());
    EXPECT_EQ("False", users.FieldByName("Active").AsString());
    EXPECT_EQ("a name tha", users.FieldByName("User").AsString());
}

TEST_F(InterfaceTest, ClosingTheConnectionAndTheSessionClosesTheTables) {
    makeControl({"Claim"});
    Table control(vrl);
    control.SetTableName("CONTROL.DB");
    control.Open();
    vrl.Close();
    EXPECT_FALSE(control.Active());
    control.Open();
    session.Close();
    EXPECT_FALSE(control.Active());
    EXPECT_FALSE(vrl.Connected());
}

TEST_F(InterfaceTest, PostingToATableWithSecondaryIndexesIsRefused) {
    makeControl({"Claim"});
    machine.writeFile("C:\\DATA\\CONTROL.XG0", "an index this engine cannot maintain");
    Table control(vrl);
    control.SetTableName("CONTROL.DB");
    control.Open();
    control.Append();
    control.FieldByName("Name").SetAsString("New");
    EXPECT_THROW(control.Post(), engine::EDBEngineError);
    control.Cancel();
    EXPECT_EQ(1, control.RecordCount());
}

}  // namespace
