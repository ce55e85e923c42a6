// The six carried files as tools/make_fee_tables writes them from
// resources/fees: headers of Paradox 7 tables with 16 KB blocks, keyed, the
// fee table enciphered with the database password; the layouts of Part
// 1.1; every record, read by pxlib and by the engine, equal to the source
// data; the secondary index on Item; the same bytes from two runs.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "common/Cipher.h"
#include "engine/EngineError.h"
#include "engine/TableFile.h"
#include "engine/index_file.h"
#include "engine/paradox_cipher.h"
#include "engine/record_codec.h"
#include "engine/table_header.h"

namespace {

namespace fs = std::filesystem;
using enginetest::EngineTest;

const char* const kFiles[] = {"Dpd_c_34.DB", "Dpd_c_34.PX", "Dpd_f_34.DB",
                              "Dpd_f_34.PX", "Dpd_f_34.XG0", "Dpd_f_34.YG0"};

std::string ReadHostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs the tool into a fresh folder; the folder.
fs::path RunTool(const std::string& name) {
    const fs::path out = fs::temp_directory_path() / ("vrl-fee-tables-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(out);
    const std::string command = std::string("\"") + VRL_FEE_TOOL + "\" \"" + VRL_FEE_SOURCES + "\" \"" +
                                out.string() + "\" > /dev/null";
    EXPECT_EQ(0, std::system(command.c_str())) << command;
    return out;
}

// The source data: per key, the fields named in its stanza.
struct Source {
    std::vector<std::pair<std::string, std::string>> layout;  // name, type
    std::map<std::string, std::map<std::string, std::string>> records;
};

Source ReadSource(const std::string& file) {
    Source source;
    std::istringstream in(ReadHostFile(std::string(VRL_FEE_SOURCES) + "/" + file));
    std::string line, key;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line.rfind("field ", 0) == 0) {
            std::istringstream words(line.substr(6));
            std::string name, type;
            words >> name >> type;
            source.layout.emplace_back(name, type);
        } else if (line[0] == '[') {
            key = line.substr(1, line.size() - 2);
            source.records[key][source.layout[0].first] = key;
        } else {
            const std::size_t colon = line.find(": ");
            source.records[key][line.substr(0, colon)] = line.substr(colon + 2);
        }
    }
    return source;
}

// The carried tables' field lists, in order.
const std::vector<std::pair<std::string, std::string>> kItemLayout = {
    {"Item", "A2"}, {"Description", "A40"}, {"Section", "S"}, {"Form_A", "L"}, {"Form_C", "L"},
    {"Form_O", "L"}, {"CUR", "L"}, {"PDS1", "L"}, {"PDS2", "L"}, {"KPI", "L"}};
const std::vector<std::pair<std::string, std::string>> kFeeLayout = {
    {"Code", "A4"},      {"Description", "A255"}, {"Item", "A2"},    {"ItemName", "A32"},
    {"Category", "A1"},  {"Band", "S"},           {"CDS", "S"},      {"KPI", "L"},
    {"Percentage", "N"}, {"Fee", "$"},            {"Maximum", "$"},  {"SSet", "A1"},
    {"SBand", "A12"},    {"SFee", "A36"},         {"TSet", "L"},     {"TFee", "A192"},
    {"FJaw", "$"},       {"FSextant", "$"},       {"FormType", "A3"}, {"Form_A", "L"},
    {"Form_C", "L"},     {"Form_O", "L"},         {"Proposal", "L"}, {"Exclusive", "L"},
    {"Combine", "S"},    {"Approval", "L"},       {"Proposed", "L"}, {"Section", "S"},
    {"EstBox", "S"},     {"CUR", "L"},            {"PDS1", "L"},     {"PDS2", "L"},
    {"Jaw", "A2"},       {"Teeth", "A13"},        {"Chart_P", "S"},  {"Chart_C", "S"},
    {"Multi", "L"},      {"GP17", "S"},           {"Charting", "L"}};

std::string TypeText(const engine::FieldDef& def) {
    std::string letter = engine::FieldTypeLetter(def.type);
    if (def.type == engine::FieldType::Alpha) letter += std::to_string(def.size);
    return letter;
}

// What pxlib reports, as the source writes it.
std::string CellText(int type, const enginetest::PxCell& cell) {
    if (cell.isNull) return "";
    switch (type) {
        case 0x01: return cell.text;
        case 0x09: return cell.integer ? "T" : "F";
        case 0x03: return std::to_string(cell.integer);
        default: {
            char text[40];
            std::snprintf(text, sizeof text, "%.2f", cell.number);
            return text;
        }
    }
}

std::string SourceText(const std::string& type, const std::string& value) {
    if (value.empty() || type == "S" || type == "L" || type[0] == 'A') return value;
    char text[40];
    std::snprintf(text, sizeof text, "%.2f", std::strtod(value.c_str(), nullptr));
    return text;
}

class FeeTables : public EngineTest {
protected:
    static void SetUpTestSuite() {
        first_ = new fs::path(RunTool("a"));
        second_ = new fs::path(RunTool("b"));
    }
    static void TearDownTestSuite() {
        fs::remove_all(*first_);
        fs::remove_all(*second_);
        delete first_;
        delete second_;
    }
    void SetUp() override {
        for (const char* name : kFiles) {
            machine.writeFile(std::string("C:\\FEES\\") + name, ReadHostFile(*first_ / name));
        }
    }
    static std::vector<unsigned char> bytes(const char* name) {
        const std::string s = ReadHostFile(*first_ / name);
        return std::vector<unsigned char>(s.begin(), s.end());
    }
    static fs::path* first_;
    static fs::path* second_;
};

fs::path* FeeTables::first_ = nullptr;
fs::path* FeeTables::second_ = nullptr;

TEST_F(FeeTables, TwoRunsGiveTheSameBytes) {
    for (const char* name : kFiles) {
        const std::string a = ReadHostFile(*first_ / name);
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_EQ(a, ReadHostFile(*second_ / name)) << name;
    }
}

TEST_F(FeeTables, HeadersSayParadox7With16KBlocksKeyedAndTheFeeTableEnciphered) {
    const std::uint32_t key = engine::PasswordKey(DatabasePassword());
    ASSERT_NE(0u, key);
    struct Expect {
        const char* name;
        std::uint8_t fileType;
        std::uint32_t key;
    };
    for (const Expect& e : {Expect{"Dpd_c_34.DB", 0, 0}, Expect{"Dpd_c_34.PX", 1, 0},
                            Expect{"Dpd_f_34.DB", 0, key}, Expect{"Dpd_f_34.PX", 1, key},
                            Expect{"Dpd_f_34.XG0", 8, key}, Expect{"Dpd_f_34.YG0", 7, key}}) {
        const std::vector<unsigned char> b = bytes(e.name);
        ASSERT_GT(b.size(), 0x800u) << e.name;
        EXPECT_EQ(e.fileType, b[engine::hdr::kFileType]) << e.name;
        EXPECT_EQ(16, b[engine::hdr::kMaxTableSize]) << e.name;
        EXPECT_EQ(0x0C, b[engine::hdr::kFileVersionId]) << e.name;
        EXPECT_EQ(0x0800, engine::Get16(&b[engine::hdr::kHeaderSize])) << e.name;
        EXPECT_EQ(0u, (b.size() - 0x800) % 16384) << e.name;
        const engine::TableHeader h = engine::ParseHeader(b, e.name);
        EXPECT_EQ(e.key, h.key()) << e.name;
        if (e.fileType == 0) {
            EXPECT_EQ(1, h.primaryKeyFields) << e.name;
            EXPECT_EQ(0x010C, engine::Get16(&b[engine::hdr::kFileVerId2])) << e.name;
            EXPECT_EQ(0xFF00FF00u, engine::Get32(&b[engine::hdr::kEncryption1])) << e.name;
        }
    }
    // Enciphered on disk: no description is readable in the file.
    EXPECT_EQ(std::string::npos, ReadHostFile(*first_ / "Dpd_f_34.DB").find("Clinical examination"));
    EXPECT_NE(std::string::npos, ReadHostFile(*first_ / "Dpd_c_34.DB").find("Diagnosis"));
}

TEST_F(FeeTables, LayoutsAreThoseOfPart1_1) {
    auto items = engine::TableFile::Open("C:\\FEES\\Dpd_c_34.DB", {}, engine::TableFile::Mode::Read);
    auto fees = engine::TableFile::Open("C:\\FEES\\Dpd_f_34.DB", {DatabasePassword()}, engine::TableFile::Mode::Read);
    for (auto [table, layout] : {std::make_pair(items.get(), &kItemLayout), std::make_pair(fees.get(), &kFeeLayout)}) {
        ASSERT_EQ(layout->size(), table->fields().size());
        for (std::size_t f = 0; f < layout->size(); ++f) {
            EXPECT_EQ((*layout)[f].first, table->fields()[f].name);
            EXPECT_EQ((*layout)[f].second, TypeText(table->fields()[f])) << (*layout)[f].first;
        }
        EXPECT_EQ(1, table->keyFields());
    }
}

void ExpectEqualsSource(const std::string& sourceFile, const std::string& db, const std::string& px) {
    const Source source = ReadSource(sourceFile);
    const enginetest::PxTable table = enginetest::PxRead(db, px);
    ASSERT_TRUE(table.opened) << db;
    EXPECT_TRUE(table.indexAccepted) << px;
    for (const std::string& message : table.messages) ADD_FAILURE() << "pxlib: " << message;
    ASSERT_EQ(source.records.size(), table.rows.size());
    auto expected = source.records.begin();  // in key order, as the table
    for (const auto& row : table.rows) {
        ASSERT_EQ(source.layout.size(), row.size());
        EXPECT_EQ(expected->first, row[0].text);
        for (std::size_t f = 0; f < row.size(); ++f) {
            const auto& [name, type] = source.layout[f];
            const auto given = expected->second.find(name);
            const std::string want = given == expected->second.end() ? "" : SourceText(type, given->second);
            EXPECT_EQ(want, CellText(table.fields[f].type, row[f])) << expected->first << " " << name;
        }
        ++expected;
    }
}

TEST_F(FeeTables, PxlibReadsEveryItemRecordAsTheSourceHasIt) {
    ExpectEqualsSource("items.txt", (*first_ / "Dpd_c_34.DB").string(), (*first_ / "Dpd_c_34.PX").string());
}

TEST_F(FeeTables, PxlibReadsEveryFeeRecordAsTheSourceHasIt) {
    ExpectEqualsSource("fees.txt", (*first_ / "Dpd_f_34.DB").string(), (*first_ / "Dpd_f_34.PX").string());
}

TEST_F(FeeTables, TheEngineReadsTheFeeTableWithTheDatabasePasswordOnly) {
    EXPECT_THROW(engine::TableFile::Open("C:\\FEES\\Dpd_f_34.DB", {}, engine::TableFile::Mode::Read),
                 engine::EDBEngineError);
    auto fees = engine::TableFile::Open("C:\\FEES\\Dpd_f_34.DB", {DatabasePassword()}, engine::TableFile::Mode::Read);
    const Source source = ReadSource("fees.txt");
    ASSERT_EQ(source.records.size(), fees->recordCount());
    std::uint64_t p = 0;
    for (const auto& [code, values] : source.records) {
        const unsigned char* record = fees->recordAt(p++);
        EXPECT_EQ(engine::Value::Text(code), engine::DecodeField(fees->fields()[0], record));
        EXPECT_EQ(engine::Value::Text(values.at("Description")),
                  engine::DecodeField(fees->fields()[1], record + fees->offsets()[1]));
    }
}

TEST_F(FeeTables, TheSecondaryIndexListsEveryFeeByItemWithoutRegardToCase) {
    const std::string password = DatabasePassword();
    auto fees = engine::TableFile::Open("C:\\FEES\\Dpd_f_34.DB", {password}, engine::TableFile::Mode::Read);
    auto x = engine::TableFile::Open("C:\\FEES\\Dpd_f_34.XG0", {password}, engine::TableFile::Mode::Read, true);
    EXPECT_EQ(8, x->header().fileType);
    EXPECT_EQ(2, x->header().primaryKeyFields);
    EXPECT_EQ(3, x->header().indexFieldNumber);  // Item is field 3 of the fee table
    EXPECT_EQ("ByItem", x->header().indexName);
    ASSERT_EQ(3u, x->fields().size());
    EXPECT_EQ("Item", x->fields()[0].name);
    EXPECT_EQ("Code", x->fields()[1].name);
    EXPECT_EQ("Hint", x->fields()[2].name);
    ASSERT_EQ(fees->recordCount(), x->recordCount());

    // The block of every fee record, by code.
    std::map<std::string, std::uint16_t> blockOf;
    std::uint64_t p = 0;
    for (const auto& entry : fees->chain()) {
        for (int r = 0; r < entry.records; ++r, ++p) {
            blockOf[engine::DecodeField(fees->fields()[0], fees->recordAt(p)).text()] = entry.block;
        }
    }
    std::string previous;
    for (std::uint64_t i = 0; i < x->recordCount(); ++i) {
        const unsigned char* record = x->recordAt(i);
        const std::string item = engine::DecodeField(x->fields()[0], record).text();
        const std::string code = engine::DecodeField(x->fields()[1], record + 2).text();
        const unsigned hint = ((record[6] << 8) | record[7]) ^ 0x8000;
        const std::string sortKey = engine::UpperAnsi(item) + code;
        EXPECT_LT(previous, sortKey);
        previous = sortKey;
        EXPECT_EQ(blockOf.at(code), hint) << code;
    }
    const engine::IndexContents y = engine::ReadIndexFile("C:\\FEES\\Dpd_f_34.YG0");
    EXPECT_EQ(7, y.header.fileType);
    ASSERT_EQ(x->chain().size(), y.levels[0].size());
    for (std::size_t i = 0; i < y.levels[0].size(); ++i) {
        EXPECT_EQ(x->chain()[i].block, y.levels[0][i].block);
        EXPECT_EQ(x->chain()[i].records, y.levels[0][i].count);
    }
    // pxlib takes the X file for a table of its own.
    const enginetest::PxTable px = enginetest::PxRead((*first_ / "Dpd_f_34.XG0").string());
    EXPECT_TRUE(px.opened);
    EXPECT_EQ(static_cast<std::size_t>(fees->recordCount()), px.rows.size());
}

}  // namespace
