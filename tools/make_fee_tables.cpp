// make_fee_tables <source folder> <output folder>
//
// Builds the six fee-table files the program carries from the
// fee schedule source data under resources/fees/:
//
//   items.txt -> Dpd_c_34.DB, Dpd_c_34.PX    item table, keyed on Item
//   fees.txt  -> Dpd_f_34.DB, Dpd_f_34.PX    fee table, keyed on Code,
//                                            enciphered with the database password
//                Dpd_f_34.XG0, Dpd_f_34.YG0  its case-insensitive index on Item
//
// Paradox 7 tables with 16 KB blocks, written by the engine, so the output
// depends only on the source data (no time stamps, no uninitialised bytes).
// The tables are built on a simulated machine and then copied out to the
// host folder. The source format is described in resources/fees/README.md.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "common/Cipher.h"
#include "engine/EngineError.h"
#include "engine/TableFile.h"
#include "engine/record_codec.h"
#include "platform/sim/SimMachine.h"

namespace {

struct SourceError {
    std::string message;
};

struct SourceTable {
    std::vector<engine::FieldDef> fields;
    int keyFields = 0;
    std::vector<engine::Row> rows;
};

std::string Trim(const std::string& text) {
    std::size_t from = 0, to = text.size();
    while (from < to && (text[from] == ' ' || text[from] == '\t' || text[from] == '\r')) ++from;
    while (to > from && (text[to - 1] == ' ' || text[to - 1] == '\t' || text[to - 1] == '\r')) --to;
    return text.substr(from, to - from);
}

engine::FieldDef ParseFieldType(const std::string& name, const std::string& type,
                                const std::string& where) {
    using engine::FieldDef;
    using engine::FieldType;
    if (type.size() > 1 && type[0] == 'A') {
        const int length = std::atoi(type.c_str() + 1);
        if (length < 1 || length > 255 || std::to_string(length) != type.substr(1)) {
            throw SourceError{where + ": bad Alpha size " + type};
        }
        return FieldDef::Alpha(name, length);
    }
    if (type == "S") return FieldDef::Of(name, FieldType::Short);
    if (type == "I") return FieldDef::Of(name, FieldType::Long);
    if (type == "L") return FieldDef::Of(name, FieldType::Logical);
    if (type == "N") return FieldDef::Of(name, FieldType::Number);
    if (type == "$") return FieldDef::Of(name, FieldType::Money);
    if (type == "D") return FieldDef::Of(name, FieldType::Date);
    throw SourceError{where + ": unknown field type " + type};
}

engine::Value ParseValue(const engine::FieldDef& def, const std::string& text,
                         const std::string& where) {
    using engine::FieldType;
    using engine::Value;
    switch (def.type) {
        case FieldType::Alpha:
            if (text.size() > static_cast<std::size_t>(def.size)) {
                throw SourceError{where + ": " + def.name + " is longer than " +
                                  std::to_string(def.size) + " characters"};
            }
            return Value::Text(text);
        case FieldType::Short:
        case FieldType::Long: {
            char* end = nullptr;
            const long long v = std::strtoll(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0') throw SourceError{where + ": " + def.name + " is not an integer"};
            return Value::Integer(v);
        }
        case FieldType::Number:
        case FieldType::Money: {
            for (char c : text) {
                if (!((c >= '0' && c <= '9') || c == '.' || c == '-')) {
                    throw SourceError{where + ": " + def.name + " is not a number"};
                }
            }
            char* end = nullptr;
            const double v = std::strtod(text.c_str(), &end);
            if (text.empty() || *end != '\0') throw SourceError{where + ": " + def.name + " is not a number"};
            return Value::Float(v);
        }
        case FieldType::Logical:
            if (text == "T") return Value::Logical(true);
            if (text == "F") return Value::Logical(false);
            throw SourceError{where + ": " + def.name + " must be T or F"};
        default:
            throw SourceError{where + ": " + def.name + " has a type the source format does not take"};
    }
}

// The source format: "field <Name> <Type> [key]" lines, then one stanza per
// record: "[<key value>]" and "<Field>: <value>" lines; a field not named is
// blank. "#" starts a comment line.
SourceTable ReadSource(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw SourceError{file + ": cannot be read"};
    SourceTable table;
    std::string line;
    int number = 0;
    bool inRecords = false;
    while (std::getline(in, line)) {
        ++number;
        const std::string where = file + ":" + std::to_string(number);
        const std::string text = Trim(line);
        if (text.empty() || text[0] == '#') continue;
        if (text.rfind("field ", 0) == 0) {
            if (inRecords) throw SourceError{where + ": field lines must come before the records"};
            std::istringstream words(text.substr(6));
            std::string name, type, key, extra;
            words >> name >> type >> key >> extra;
            if (name.empty() || type.empty() || !extra.empty() || (!key.empty() && key != "key")) {
                throw SourceError{where + ": expected 'field <Name> <Type> [key]'"};
            }
            if (!key.empty() && table.keyFields != static_cast<int>(table.fields.size())) {
                throw SourceError{where + ": key fields must come first"};
            }
            table.fields.push_back(ParseFieldType(name, type, where));
            if (!key.empty()) ++table.keyFields;
            continue;
        }
        if (text[0] == '[') {
            if (text.back() != ']') throw SourceError{where + ": expected '[<key>]'"};
            if (table.keyFields != 1) throw SourceError{where + ": the table needs exactly one key field"};
            inRecords = true;
            engine::Row row(table.fields.size());
            row[0] = ParseValue(table.fields[0], text.substr(1, text.size() - 2), where);
            table.rows.push_back(row);
            continue;
        }
        const std::size_t colon = text.find(':');
        if (!inRecords || colon == std::string::npos) throw SourceError{where + ": expected '<Field>: <value>'"};
        const std::string name = Trim(text.substr(0, colon));
        const std::string value = Trim(text.substr(colon + 1));
        std::size_t f = 0;
        while (f < table.fields.size() && table.fields[f].name != name) ++f;
        if (f == table.fields.size()) throw SourceError{where + ": unknown field " + name};
        if (f == 0) throw SourceError{where + ": the key is given in the [...] line"};
        engine::Row& row = table.rows.back();
        if (!row[f].isNull()) throw SourceError{where + ": " + name + " given twice"};
        if (!value.empty()) row[f] = ParseValue(table.fields[f], value, where);
    }
    if (table.fields.empty()) throw SourceError{file + ": no field lines"};
    return table;
}

engine::TableLayout LayoutOf(const SourceTable& source, const std::string& password) {
    engine::TableLayout layout;
    layout.fields = source.fields;
    layout.keyFields = source.keyFields;
    layout.blockSizeKiB = 16;
    layout.level = 7;
    layout.password = password;
    return layout;
}

const char* const kOutputFiles[] = {"Dpd_c_34.DB", "Dpd_c_34.PX", "Dpd_f_34.DB",
                                    "Dpd_f_34.PX", "Dpd_f_34.XG0", "Dpd_f_34.YG0"};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_fee_tables <source folder> <output folder>\n";
        return 2;
    }
    const std::string source = argv[1];
    const std::filesystem::path output = argv[2];
    try {
        const SourceTable items = ReadSource(source + "/items.txt");
        const SourceTable fees = ReadSource(source + "/fees.txt");

        sim::Machine machine;
        sim::ScopedPlatform installed(machine);
        machine.makeFolder("C:\\FEES");
        const std::string password = DatabasePassword();
        engine::CreateTable("C:\\FEES\\Dpd_c_34.DB", LayoutOf(items, ""), items.rows);
        engine::CreateTable("C:\\FEES\\Dpd_f_34.DB", LayoutOf(fees, password), fees.rows);
        engine::SecondaryIndexSpec index;
        index.field = "Item";
        index.name = "ByItem";
        index.caseInsensitive = true;
        index.number = 0;
        engine::CreateSecondaryIndex("C:\\FEES\\Dpd_f_34.DB", index, {password});

        std::filesystem::create_directories(output);
        for (const char* name : kOutputFiles) {
            const auto bytes = machine.readFile(std::string("C:\\FEES\\") + name);
            if (!bytes) throw SourceError{std::string("the engine wrote no ") + name};
            std::ofstream out(output / name, std::ios::binary | std::ios::trunc);
            out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
            if (!out) throw SourceError{(output / name).string() + ": cannot be written"};
        }
        std::cout << "make_fee_tables: " << items.rows.size() << " items, " << fees.rows.size()
                  << " fee codes -> " << output.string() << "\n";
        return 0;
    } catch (const SourceError& e) {
        std::cerr << "make_fee_tables: " << e.message << "\n";
    } catch (const std::exception& e) {
        std::cerr << "make_fee_tables: " << e.what() << "\n";
    }
    return 1;
}
