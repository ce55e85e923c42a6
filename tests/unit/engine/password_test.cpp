// Password-protected tables: read with the right password from the list,
// refused with an engine error when it is missing or wrong, enciphered on
// disk, for tables of the engine and of pxlib.
#include <gtest/gtest.h>

#include <string>

#include "EngineTestSupport.h"
#include "engine/EngineError.h"
#include "engine/TableFile.h"
#include "engine/record_codec.h"

namespace {

using engine::FieldDef;
using engine::FieldType;
using engine::TableFile;
using engine::Value;
using enginetest::EngineTest;

class PasswordTest : public EngineTest {
protected:
    void makeEngineTable(const std::string& path, const std::string& password) {
        engine::TableLayout layout;
        layout.fields = {FieldDef::Alpha("Code", 4), FieldDef::Alpha("Secret", 40)};
        layout.keyFields = 1;
        layout.password = password;
        engine::CreateTable(path, layout, {{Value::Text("0001"), Value::Text("plain words in a protected table")}});
    }
    void makePxlibTable(const std::string& path, const std::string& password) {
        enginetest::PxWriteSpec table;
        table.fields = {{"Code", 0x01, 4, 0}, {"Secret", 0x01, 40, 0}};
        table.password = password;
        enginetest::PxCell code, secret;
        code.isNull = secret.isNull = false;
        code.text = "0001";
        secret.text = "plain words in a protected table";
        table.rows.push_back({code, secret});
        enginetest::PxWrite(host(path), table);
    }
    static void expectRefused(const std::string& path, const std::vector<std::string>& passwords,
                              const std::string& says) {
        try {
            TableFile::Open(path, passwords, TableFile::Mode::Read);
            FAIL() << "opened without the right password";
        } catch (const engine::EDBEngineError& e) {
            EXPECT_EQ(engine::dbierr::kInvalidPassword, e.ErrorCode());
            EXPECT_NE(std::string::npos, std::string(e.what()).find(says)) << e.what();
            EXPECT_NE(std::string::npos, std::string(e.what()).find(path)) << e.what();
        }
    }
    static std::string secretOf(const std::string& path, const std::vector<std::string>& passwords) {
        auto table = TableFile::Open(path, passwords, TableFile::Mode::Read);
        return engine::DecodeField(table->fields()[1], table->recordAt(0) + table->offsets()[1]).text();
    }
};

TEST_F(PasswordTest, TheRightPasswordOpensAnEngineTable) {
    makeEngineTable("C:\\DATA\\P.DB", "secret");
    EXPECT_EQ("plain words in a protected table", secretOf("C:\\DATA\\P.DB", {"secret"}));
    EXPECT_EQ("plain words in a protected table", secretOf("C:\\DATA\\P.DB", {"other", "secret"}));
}

TEST_F(PasswordTest, AMissingPasswordIsAnEngineError) {
    makeEngineTable("C:\\DATA\\P.DB", "secret");
    expectRefused("C:\\DATA\\P.DB", {}, "password protected");
}

TEST_F(PasswordTest, AWrongPasswordIsAnEngineError) {
    makeEngineTable("C:\\DATA\\P.DB", "secret");
    expectRefused("C:\\DATA\\P.DB", {"wrong"}, "Invalid password");
    expectRefused("C:\\DATA\\P.DB", {"SECRET"}, "Invalid password");  // case matters
}

TEST_F(PasswordTest, TheBlocksAreEncipheredOnDisk) {
    makeEngineTable("C:\\DATA\\P.DB", "secret");
    makeEngineTable("C:\\DATA\\OPEN.DB", "");
    EXPECT_EQ(std::string::npos, machine.readFile("C:\\DATA\\P.DB")->find("plain words"));
    EXPECT_NE(std::string::npos, machine.readFile("C:\\DATA\\OPEN.DB")->find("plain words"));
    // pxlib deciphers it (it needs no password to read).
    const enginetest::PxTable px = enginetest::PxRead(host("C:\\DATA\\P.DB"), host("C:\\DATA\\P.PX"));
    ASSERT_EQ(1u, px.rows.size());
    EXPECT_EQ("plain words in a protected table", px.rows[0][1].text);
    EXPECT_TRUE(px.indexAccepted);
}

TEST_F(PasswordTest, PxlibsProtectedTablesNeedTheirPasswordToo) {
    makePxlibTable("C:\\DATA\\PX.DB", "Paradox7");
    EXPECT_EQ("plain words in a protected table", secretOf("C:\\DATA\\PX.DB", {"Paradox7"}));
    expectRefused("C:\\DATA\\PX.DB", {}, "password protected");
    expectRefused("C:\\DATA\\PX.DB", {"paradox7"}, "Invalid password");
}

TEST_F(PasswordTest, AnUnprotectedTableNeedsNoPassword) {
    makeEngineTable("C:\\DATA\\OPEN.DB", "");
    EXPECT_EQ("plain words in a protected table", secretOf("C:\\DATA\\OPEN.DB", {}));
    EXPECT_EQ("plain words in a protected table", secretOf("C:\\DATA\\OPEN.DB", {"anything"}));
}

}  // namespace
