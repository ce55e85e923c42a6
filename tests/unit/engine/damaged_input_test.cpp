// Damaged tables: each fixture of tests/fixtures/paradox (written by
// make_fixtures.py there) must give an engine error whose message names the
// file and says what is wrong, and never a crash or a read out of bounds
// (these tests also run under AddressSanitizer and UBSan). A bounded sweep
// of byte changes and truncations of the good fixture checks the same.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <string>

#include "EngineTestSupport.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Session.h"
#include "engine/Table.h"
#include "engine/TableFile.h"
#include "engine/record_codec.h"

namespace {

using enginetest::EngineTest;

std::string FixtureBytes(const std::string& name) {
    std::ifstream in(std::string(VRL_ENGINE_FIXTURES) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << "missing fixture " << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Opens the table and reads every record; the number of records read.
std::uint64_t ReadAll(const std::string& path) {
    auto table = engine::TableFile::Open(path, {}, engine::TableFile::Mode::Read);
    std::uint64_t n = 0;
    for (std::uint64_t p = 0; p < table->recordCount(); ++p) {
        const unsigned char* record = table->recordAt(p);
        if (record == nullptr) break;
        for (std::size_t f = 0; f < table->fields().size(); ++f) {
            engine::DecodeField(table->fields()[f], record + table->offsets()[f]);
        }
        ++n;
    }
    return n;
}

struct Damage {
    const char* fixture;
    engine::DBIResult code;
    const char* says;  // a part of the message
};

class DamagedTable : public EngineTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedTable, IsAnEngineErrorNamingTheFile) {
    const Damage& d = GetParam();
    const std::string path = std::string("C:\\DATA\\") + d.fixture;
    machine.writeFile(path, FixtureBytes(d.fixture));
    try {
        ReadAll(path);
        FAIL() << d.fixture << " was read without an error";
    } catch (const engine::EDBEngineError& e) {
        const std::string message = e.what();
        EXPECT_EQ(d.code, e.ErrorCode()) << message;
        EXPECT_NE(std::string::npos, message.find(d.says)) << message;
        EXPECT_NE(std::string::npos, message.find(path)) << message;
    }
}

using engine::dbierr::kFileCorrupt;
using engine::dbierr::kHeaderCorrupt;

INSTANTIATE_TEST_SUITE_P(
    Fixtures, DamagedTable,
    ::testing::Values(
        Damage{"empty_file.DB", kHeaderCorrupt, "shorter than a header"},
        Damage{"truncated_header.DB", kHeaderCorrupt, "shorter than a header"},
        Damage{"truncated_in_header.DB", kHeaderCorrupt, "shorter than its header"},
        Damage{"truncated_blocks.DB", kFileCorrupt, "truncated"},
        Damage{"truncated_mid_block.DB", kFileCorrupt, "truncated"},
        Damage{"header_size_too_small.DB", kHeaderCorrupt, "header size is too small"},
        Damage{"header_size_beyond_file.DB", kHeaderCorrupt, "shorter than its header"},
        Damage{"record_size_wrong.DB", kHeaderCorrupt, "record size"},
        Damage{"field_count_zero.DB", kHeaderCorrupt, "field count 0 is out of range"},
        Damage{"field_count_too_large.DB", kHeaderCorrupt, "field count 300 is out of range"},
        Damage{"field_count_does_not_fit.DB", kHeaderCorrupt, "field count does not fit"},
        Damage{"field_names_do_not_fit.DB", kHeaderCorrupt, "field names do not fit"},
        Damage{"unknown_field_type.DB", kHeaderCorrupt, "unknown type"},
        Damage{"wrong_field_size.DB", kHeaderCorrupt, "wrong size"},
        Damage{"unknown_version.DB", kHeaderCorrupt, "unknown file version"},
        Damage{"unknown_block_size.DB", kHeaderCorrupt, "unknown block size"},
        Damage{"not_a_table.DB", kHeaderCorrupt, "not a table"},
        Damage{"key_fields_exceed_fields.DB", kHeaderCorrupt, "more key fields than fields"},
        Damage{"first_block_out_of_range.DB", kFileCorrupt, "Block number 9 is out of range"},
        Damage{"next_block_out_of_range.DB", kFileCorrupt, "Block number 7 is out of range"},
        Damage{"chain_cycle.DB", kFileCorrupt, "cycle"},
        Damage{"self_cycle.DB", kFileCorrupt, "cycle"},
        Damage{"block_count_does_not_fit.DB", kFileCorrupt, "does not fit the block"},
        Damage{"block_count_not_a_record_multiple.DB", kFileCorrupt, "does not fit the block"}),
    [](const auto& info) {
        std::string name = info.param.fixture;
        name = name.substr(0, name.find('.'));
        return name;
    });

TEST_F(EngineTest, TheUndamagedFixtureReads) {
    machine.writeFile("C:\\DATA\\good.DB", FixtureBytes("good.DB"));
    EXPECT_EQ(50u, ReadAll("C:\\DATA\\good.DB"));
    auto table = engine::TableFile::Open("C:\\DATA\\good.DB", {}, engine::TableFile::Mode::Read);
    EXPECT_EQ(engine::Value::Text("row 49"),
              engine::DecodeField(table->fields()[1], table->recordAt(49) + table->offsets()[1]));
}

TEST_F(EngineTest, AMissingTableIsAnEngineError) {
    try {
        engine::TableFile::Open("C:\\DATA\\NONE.DB", {}, engine::TableFile::Mode::Read);
        FAIL();
    } catch (const engine::EDBEngineError& e) {
        EXPECT_EQ(engine::dbierr::kNoSuchTable, e.ErrorCode());
        EXPECT_NE(std::string::npos, std::string(e.what()).find("C:\\DATA\\NONE.DB"));
    }
}

// Every byte of the header and the block headers changed to a few values,
// random changes all over the file, and the file cut at many lengths: each
// either reads or gives an engine error.
TEST_F(EngineTest, DamageAnywhereIsReadOrReportedNeverACrash) {
    const std::string good = FixtureBytes("good.DB");
    ASSERT_FALSE(good.empty());
    int errors = 0, reads = 0;
    // One handle rewrites the file for every attempt (reopening the host
    // file each time would dominate the test's time).
    machine.writeFile("C:\\DATA\\FUZZ.DB", good);
    auto writer = machine.holdOpen("C:\\DATA\\FUZZ.DB", platform::access::kRead | platform::access::kWrite,
                                   platform::share::kRead | platform::share::kWrite);
    ASSERT_TRUE(writer);
    auto attempt = [&](const std::string& bytes) {
        ASSERT_TRUE(writer->truncate(bytes.size()));
        ASSERT_TRUE(bytes.empty() || writer->writeAt(0, bytes.data(), bytes.size()));
        try {
            ReadAll("C:\\DATA\\FUZZ.DB");
            ++reads;
        } catch (const engine::EDBEngineError&) {
            ++errors;
        }
    };
    const std::size_t headerEnd = 0x1B0;
    for (std::size_t offset = 0; offset < good.size(); ++offset) {
        const bool interesting = offset < headerEnd || (offset >= 0x800 && offset < 0x806) ||
                                 (offset >= 0xC00 && offset < 0xC06);
        if (!interesting) continue;
        for (unsigned char value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            std::string bytes(good);
            bytes[offset] = static_cast<char>(value);
            attempt(bytes);
        }
    }
    std::mt19937 random(1234);
    for (int i = 0; i < 2000; ++i) {
        std::string bytes(good);
        const int changes = 1 + static_cast<int>(random() % 8);
        for (int c = 0; c < changes; ++c) {
            bytes[random() % bytes.size()] = static_cast<char>(random());
        }
        attempt(bytes);
    }
    for (std::size_t length = 0; length < good.size(); length += 7) attempt(good.substr(0, length));
    EXPECT_GT(errors, 100);
    EXPECT_GT(reads, 100);
}

}  // namespace

namespace {

// A timestamp field holding a value far outside the calendar (a damaged
// record, or another program's garbage) has no date to show: it reads as
// blank text, as the fuzzer found, instead of overflowing the conversion
// to milliseconds.
TEST_F(EngineTest, TimestampsOutsideTheCalendarReadAsBlankText) {
    const double day = 86400000.0;
    struct Case {
        const char* name;
        double stored;
        const char* text;
    };
    const Case cases[] = {
        {"a plain moment", 730120.0 * day + 3600000.0, "01/01/2000 01:00:00"},
        {"the last day of the calendar", 3652059.0 * day, "31/12/9999"},
        {"far beyond any day", 1.93876e+224, ""},
        {"far before any day", -1e300, ""},
        {"before the first day", 0.5 * day, ""},
        {"infinity", std::numeric_limits<double>::infinity(), ""},
        {"not a number", std::numeric_limits<double>::quiet_NaN(), ""},
    };
    engine::TableLayout layout;
    layout.fields = {engine::FieldDef::Of("Id", engine::FieldType::Long),
                     engine::FieldDef::Of("Stamp", engine::FieldType::Timestamp)};
    layout.keyFields = 1;
    std::vector<engine::Row> rows;
    int id = 0;
    for (const Case& c : cases) rows.push_back({engine::Value::Integer(++id), engine::Value::Float(c.stored)});
    engine::CreateTable("C:\\DATA\\STAMPS.DB", layout, rows);

    machine.makeFolder("C:\\PRIV");
    engine::Session session;
    session.SetNetFileDir("C:\\DATA\\");
    session.SetPrivateDir("C:\\PRIV\\");
    session.Open();
    engine::Database database(session);
    database.SetDatabaseName("STAMPS");
    database.Params().push_back("PATH=C:\\DATA\\");
    database.Open();
    engine::Table table(database);
    table.SetTableName("STAMPS.DB");
    table.Open();
    std::size_t at = 0;
    for (table.First(); !table.Eof(); table.Next(), ++at) {
        ASSERT_LT(at, std::size(cases));
        EXPECT_EQ(table.FieldByName("Stamp").AsString(), cases[at].text) << cases[at].name;
    }
    EXPECT_EQ(at, std::size(cases));
}

}  // namespace

namespace {

// A header that counts fewer blocks than its chain uses still reads, but an
// append would take a block of the chain for a new one and cut the file
// (the fuzzer's find): the append is refused and the file left as it was.
TEST_F(EngineTest, AppendRefusesAChainBeyondTheHeadersBlockCount) {
    engine::TableLayout layout;
    layout.fields = {engine::FieldDef::Alpha("Name", 10), engine::FieldDef::Of("Number", engine::FieldType::Long)};
    layout.keyFields = 1;
    layout.blockSizeKiB = 1;
    std::vector<engine::Row> rows;
    for (int i = 0; i < 200; ++i) {
        rows.push_back({engine::Value::Text("row" + std::to_string(100 + i)), engine::Value::Integer(i)});
    }
    const std::string path = "C:\\DATA\\SHORT.DB";
    engine::CreateTable(path, layout, rows);
    std::string bytes = machine.readFile(path).value();
    ASSERT_GE(static_cast<unsigned char>(bytes[0x0C]), 2) << "the table spans several blocks";
    for (const int counted : {0, 1}) {
        SCOPED_TRACE(counted);
        bytes[0x0C] = static_cast<char>(counted);
        bytes[0x0D] = 0;
        machine.writeFile(path, bytes);
        ASSERT_EQ(ReadAll(path), rows.size()) << "the reader goes by the chain";

        auto table = engine::TableFile::Open(path, {}, engine::TableFile::Mode::ReadWrite);
        std::vector<unsigned char> record(static_cast<std::size_t>(table->recordSize()), 0);
        try {
            table->append(record);
            ADD_FAILURE() << "the append went through";
        } catch (const engine::EDBEngineError& e) {
            EXPECT_EQ(e.ErrorCode(), engine::dbierr::kFileCorrupt) << e.what();
        }
        table.reset();
        EXPECT_TRUE(machine.readFile(path).value() == bytes) << "the file is left as it was";
    }
}

}  // namespace
