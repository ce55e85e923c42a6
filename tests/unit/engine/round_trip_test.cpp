// Round trips with pxlib as the independent peer: tables the engine writes
// are read by pxlib with the same fields, types, sizes, record count and
// values, primary index included; tables pxlib writes are read by the
// engine with the same values.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "engine/EngineError.h"
#include "engine/TableFile.h"
#include "engine/index_file.h"
#include "engine/record_codec.h"

namespace {

using engine::FieldDef;
using engine::FieldType;
using engine::Row;
using engine::Value;
using enginetest::EngineTest;
using enginetest::PxCell;
using enginetest::PxField;
using enginetest::PxRead;

// Every type the engine writes (BLOB fields are read but not written).
std::vector<FieldDef> AllTypes() {
    return {FieldDef::Of("Id", FieldType::Long),
            FieldDef::Alpha("Name", 20),
            FieldDef::Of("Born", FieldType::Date),
            FieldDef::Of("Count", FieldType::Short),
            FieldDef::Of("Price", FieldType::Money),
            FieldDef::Of("Ratio", FieldType::Number),
            FieldDef::Of("Active", FieldType::Logical),
            FieldDef::Of("At", FieldType::Time),
            FieldDef::Of("Stamp", FieldType::Timestamp),
            FieldDef::Of("Serial", FieldType::AutoInc),
            FieldDef::BcdField("Exact", 2),
            FieldDef::Alpha("Note", 1),
            {"Raw", FieldType::Bytes, 6, 0}};
}

// Deterministic rows with blanks scattered through every field but the key.
std::vector<Row> SampleRows(int count, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<Row> rows;
    for (int i = 0; i < count; ++i) {
        auto blank = [&] { return random() % 7 == 0; };
        Row row;
        row.push_back(Value::Integer(static_cast<std::int64_t>(random() % 2000000) - 1000000));
        row.push_back(blank() ? Value::Null() : Value::Text("name " + std::to_string(random() % 100000)));
        row.push_back(blank() ? Value::Null() : Value::Integer(engine::DayNumber(1900 + random() % 200, 1 + random() % 12, 1 + random() % 28)));
        row.push_back(blank() ? Value::Null() : Value::Integer(static_cast<int>(random() % 65535) - 32767));
        row.push_back(blank() ? Value::Null() : Value::Float((static_cast<int>(random() % 2000000) - 1000000) / 100.0));
        row.push_back(blank() ? Value::Null() : Value::Float((static_cast<double>(random()) - 2147483648.0) / 1024.0));
        row.push_back(blank() ? Value::Null() : Value::Logical(random() % 2 == 0));
        row.push_back(blank() ? Value::Null() : Value::Integer(random() % 86400000));
        row.push_back(blank() ? Value::Null() : Value::Float(static_cast<double>(engine::DayNumber(2000, 1, 1) + random() % 9000) * 86400000.0 + (random() % 86400) * 1000.0));
        row.push_back(Value::Null());  // AutoInc: assigned by the engine
        row.push_back(blank() ? Value::Null() : Value::Text(std::to_string(static_cast<int>(random() % 2000000) - 1000000) + "." + std::to_string(10 + random() % 90)));
        row.push_back(blank() ? Value::Null() : Value::Text(std::string(1, static_cast<char>('A' + random() % 26))));
        std::string raw(6, '\0');
        for (char& c : raw) c = static_cast<char>(random());
        raw[0] = '\x01';
        row.push_back(blank() ? Value::Null() : Value::Bytes(raw));
        rows.push_back(row);
    }
    // Unique keys.
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i][0] = Value::Integer(static_cast<std::int64_t>(i) * 37 - 5000);
    std::shuffle(rows.begin(), rows.end(), random);
    return rows;
}

struct Config {
    const char* name;
    int level;
    int blockSizeKiB;
    bool keyed;
    const char* password;
    int rows;
};

class EngineToPxlib : public EngineTest, public ::testing::WithParamInterface<Config> {};

TEST_P(EngineToPxlib, PxlibReadsWhatTheEngineWrote) {
    const Config& config = GetParam();
    engine::TableLayout layout;
    layout.fields = AllTypes();
    layout.keyFields = config.keyed ? 1 : 0;
    layout.level = config.level;
    layout.blockSizeKiB = config.blockSizeKiB;
    layout.password = config.password;
    const std::vector<Row> rows = SampleRows(config.rows, 11);
    engine::CreateTable("C:\\DATA\\RT.DB", layout, rows);

    auto table = engine::TableFile::Open("C:\\DATA\\RT.DB", {config.password}, engine::TableFile::Mode::Read);
    ASSERT_EQ(rows.size(), table->recordCount());

    const enginetest::PxTable px = PxRead(host("C:\\DATA\\RT.DB"), config.keyed ? host("C:\\DATA\\RT.PX") : "");
    ASSERT_TRUE(px.opened);
    EXPECT_EQ(config.keyed ? 0 : 2, px.fileType);
    EXPECT_EQ(config.blockSizeKiB, px.blockSizeKiB);
    EXPECT_EQ(layout.keyFields, px.keyFields);
    EXPECT_EQ(config.password[0] != 0, px.encryption != 0);
    EXPECT_EQ(static_cast<int>(rows.size()), px.numRecords);
    if (config.keyed) {
        EXPECT_TRUE(px.indexAccepted);
    }
    ASSERT_EQ(layout.fields.size(), px.fields.size());
    for (std::size_t f = 0; f < layout.fields.size(); ++f) {
        EXPECT_EQ(layout.fields[f].name, px.fields[f].name);
        EXPECT_EQ(static_cast<int>(layout.fields[f].type), px.fields[f].type);
        if (layout.fields[f].type == FieldType::Bcd) {
            EXPECT_EQ(layout.fields[f].decimals, px.fields[f].decimals);
        } else {
            EXPECT_EQ(layout.fields[f].size, px.fields[f].length);
        }
    }
    ASSERT_EQ(rows.size(), px.rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const unsigned char* record = table->recordAt(r);
        ASSERT_NE(nullptr, record);
        for (std::size_t f = 0; f < layout.fields.size(); ++f) {
            const Value value = engine::DecodeField(table->fields()[f], record + table->offsets()[f]);
            EXPECT_TRUE(enginetest::SameValue(table->fields()[f], value, px.rows[r][f])) << "record " << r;
        }
    }
    for (const std::string& message : px.messages) ADD_FAILURE() << "pxlib: " << message;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, EngineToPxlib,
    ::testing::Values(Config{"v7_keyed_2k", 7, 2, true, "", 400},
                      Config{"v7_keyed_16k_protected", 7, 16, true, "secret", 1500},
                      Config{"v7_unkeyed_1k", 7, 1, false, "", 300},
                      Config{"v7_unkeyed_4k_protected", 7, 4, false, "Paradox7", 300},
                      Config{"v5_keyed_2k", 5, 2, true, "", 200},
                      Config{"v4_keyed_protected", 4, 2, true, "secret", 200},
                      Config{"v3_unkeyed", 3, 1, false, "", 100},
                      Config{"v3_keyed_protected", 3, 1, true, "a", 100},
                      Config{"v7_keyed_1k_two_index_levels", 7, 1, true, "", 6000},
                      Config{"v7_empty_keyed", 7, 16, true, "", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineTest, TheEnginesRowsComeBackInKeyOrderWithTheirValues) {
    engine::TableLayout layout;
    layout.fields = AllTypes();
    layout.keyFields = 1;
    layout.blockSizeKiB = 1;
    std::vector<Row> rows = SampleRows(200, 5);
    engine::CreateTable("C:\\DATA\\KEYED.DB", layout, rows);
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a[0].integer() < b[0].integer(); });
    auto table = engine::TableFile::Open("C:\\DATA\\KEYED.DB", {}, engine::TableFile::Mode::Read);
    std::int64_t serial = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const unsigned char* record = table->recordAt(r);
        for (std::size_t f = 0; f < rows[r].size(); ++f) {
            const Value value = engine::DecodeField(table->fields()[f], record + table->offsets()[f]);
            if (table->fields()[f].type == FieldType::AutoInc) {
                EXPECT_FALSE(value.isNull());
                serial = std::max(serial, value.integer());
            } else {
                EXPECT_EQ(rows[r][f], value) << "record " << r << " field " << f;
            }
        }
    }
    EXPECT_EQ(200, serial);
    const engine::IndexContents index = engine::ReadIndexFile("C:\\DATA\\KEYED.PX");
    ASSERT_EQ(1u, index.levels.size());
    EXPECT_EQ(table->chain().size(), index.levels[0].size());
}

// --- pxlib writes, the engine reads -------------------------------------

PxCell Cell(long integer) {
    PxCell c;
    c.isNull = false;
    c.integer = integer;
    return c;
}
PxCell CellF(double number) {
    PxCell c;
    c.isNull = false;
    c.number = number;
    return c;
}
PxCell CellT(const std::string& text) {
    PxCell c;
    c.isNull = false;
    c.text = text;
    return c;
}

struct PxConfig {
    const char* name;
    bool keyed;
    int blockSizeKiB;
    const char* password;
    int rows;
};

class PxlibToEngine : public EngineTest, public ::testing::WithParamInterface<PxConfig> {};

TEST_P(PxlibToEngine, TheEngineReadsWhatPxlibWrote) {
    const PxConfig& config = GetParam();
    enginetest::PxWriteSpec wanted;
    wanted.fields = {{"Id", 0x04, 4, 0},     {"Name", 0x01, 15, 0}, {"Count", 0x03, 2, 0},
                   {"Price", 0x05, 8, 0},  {"Ratio", 0x06, 8, 0}, {"Flag", 0x09, 1, 0},
                   {"Day", 0x02, 4, 0},    {"At", 0x14, 4, 0},    {"Stamp", 0x15, 8, 0},
                   {"Exact", 0x17, 17, 3}, {"Raw", 0x18, 3, 0}};
    wanted.keyFields = config.keyed ? 1 : 0;
    wanted.blockSizeKiB = config.blockSizeKiB;
    wanted.password = config.password;
    std::mt19937 random(3);
    for (int i = 0; i < config.rows; ++i) {
        std::vector<PxCell> row;
        row.push_back(Cell(i * 3 + 1));
        row.push_back(i % 5 == 0 ? PxCell() : CellT("pxlib " + std::to_string(i)));
        row.push_back(i % 6 == 0 ? PxCell() : Cell(static_cast<long>(random() % 60000) - 30000));
        row.push_back(i % 7 == 0 ? PxCell() : CellF((static_cast<int>(random() % 100000) - 50000) / 100.0));
        row.push_back(CellF(i * 0.125 - 3));
        row.push_back(i % 4 == 0 ? PxCell() : Cell(i % 2));
        row.push_back(Cell(engine::DayNumber(2012, 3, 14) + i));
        row.push_back(Cell(static_cast<long>(random() % 86400000)));
        row.push_back(CellF(static_cast<double>(engine::DayNumber(2012, 3, 14)) * 86400000.0 + i * 1000.0));
        row.push_back(i % 3 == 0 ? PxCell() : CellT(std::to_string(i) + ".125"));
        row.push_back(CellT(std::string("\x01\x02") + static_cast<char>('a' + i % 26)));
        wanted.rows.push_back(row);
    }
    enginetest::PxWrite(host("C:\\DATA\\PXLIB.DB"), wanted);

    auto table = engine::TableFile::Open("C:\\DATA\\PXLIB.DB", {config.password}, engine::TableFile::Mode::Read);
    ASSERT_EQ(static_cast<std::uint64_t>(config.rows), table->recordCount());
    EXPECT_EQ(config.keyed, table->keyed());
    EXPECT_EQ(config.password[0] != 0, table->encrypted());
    ASSERT_EQ(wanted.fields.size(), table->fields().size());
    for (std::size_t f = 0; f < wanted.fields.size(); ++f) {
        EXPECT_EQ(wanted.fields[f].name, table->fields()[f].name);
        EXPECT_EQ(wanted.fields[f].type, static_cast<int>(table->fields()[f].type));
    }
    // Compare with what pxlib itself reads back.
    const enginetest::PxTable px = PxRead(host("C:\\DATA\\PXLIB.DB"));
    ASSERT_EQ(static_cast<std::size_t>(config.rows), px.rows.size());
    for (int r = 0; r < config.rows; ++r) {
        const unsigned char* record = table->recordAt(static_cast<std::uint64_t>(r));
        ASSERT_NE(nullptr, record);
        for (std::size_t f = 0; f < wanted.fields.size(); ++f) {
            const Value value = engine::DecodeField(table->fields()[f], record + table->offsets()[f]);
            EXPECT_TRUE(enginetest::SameValue(table->fields()[f], value, px.rows[static_cast<std::size_t>(r)][f]))
                << "record " << r;
        }
        // And with the values given to pxlib.
        const auto& given = wanted.rows[static_cast<std::size_t>(r)];
        EXPECT_EQ(Value::Integer(given[0].integer), engine::DecodeField(table->fields()[0], record));
        if (!given[1].isNull) {
            EXPECT_EQ(Value::Text(given[1].text), engine::DecodeField(table->fields()[1], record + table->offsets()[1]));
        }
    }
    if (config.keyed) {
        const engine::IndexContents index = engine::ReadIndexFile("C:\\DATA\\PXLIB.PX");
        std::uint32_t counted = 0;
        for (const auto& entry : index.levels[0]) counted += entry.count;
        EXPECT_EQ(static_cast<std::uint32_t>(config.rows), counted);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, PxlibToEngine,
                         ::testing::Values(PxConfig{"unkeyed_2k", false, 2, "", 300},
                                           PxConfig{"keyed_16k", true, 16, "", 1000},
                                           PxConfig{"keyed_1k_protected", true, 1, "secret", 700},
                                           PxConfig{"unkeyed_4k_protected", false, 4, "password", 250}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
