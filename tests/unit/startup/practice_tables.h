// Practice tables for the tests, made by the table engine on the installed
// (simulated) machine: CONTROL.DB keyed on Name, USER.DB with its Form
// field, any small table for the probes, and the ways a table file gets
// damaged.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/Cipher.h"
#include "engine/EngineError.h"
#include "engine/TableFile.h"
#include "platform/sim/SimMachine.h"

namespace practice_tables {

struct ControlRow {
    std::string name;
    std::optional<int> number;  // nullopt: an empty Number
};

// Protected with the database password, as the practice's tables are.
inline void MakeControlTable(const std::string& path, const std::vector<ControlRow>& rows,
                             bool protectedTable = true) {
    engine::TableLayout layout;
    layout.fields = {engine::FieldDef::Alpha("Name", 20),
                     engine::FieldDef::Of("Number", engine::FieldType::Long)};
    layout.keyFields = 1;
    if (protectedTable) layout.password = DatabasePassword();
    std::vector<engine::Row> table;
    for (const ControlRow& row : rows) {
        table.push_back({engine::Value::Text(row.name),
                         row.number ? engine::Value::Integer(*row.number) : engine::Value::Null()});
    }
    engine::CreateTable(path, layout, table);
}

// USER.DB: one row per Form value (nullopt: an empty Form).
inline void MakeUserTable(const std::string& path, const std::vector<std::optional<int>>& forms) {
    engine::TableLayout layout;
    layout.fields = {engine::FieldDef::Of("Id", engine::FieldType::Long),
                     engine::FieldDef::Alpha("UserName", 30),
                     engine::FieldDef::Of("Form", engine::FieldType::Short)};
    layout.keyFields = 1;
    layout.password = DatabasePassword();
    std::vector<engine::Row> rows;
    int id = 0;
    for (const auto& form : forms) {
        ++id;
        rows.push_back({engine::Value::Integer(id), engine::Value::Text("user" + std::to_string(id)),
                        form ? engine::Value::Integer(*form) : engine::Value::Null()});
    }
    engine::CreateTable(path, layout, rows);
}

// A small unprotected table with `rows` rows (for PATIENT, TRT_CTL and
// damaged files).
inline void MakePlainTable(const std::string& path, int rows) {
    engine::TableLayout layout;
    layout.fields = {engine::FieldDef::Of("Id", engine::FieldType::Long),
                     engine::FieldDef::Alpha("Text", 40)};
    layout.keyFields = 1;
    std::vector<engine::Row> table;
    for (int i = 1; i <= rows; ++i) {
        table.push_back({engine::Value::Integer(i), engine::Value::Text("row " + std::to_string(i))});
    }
    engine::CreateTable(path, layout, table);
}

enum class Damage { Truncated, GarbageHeader, WrongBlockLinks };

struct DamageCase {
    const char* name;
    Damage damage;
};
const DamageCase kDamages[] = {
    {"truncated", Damage::Truncated},
    {"garbage header", Damage::GarbageHeader},
    {"wrong block links", Damage::WrongBlockLinks},
};

// The bytes of an unprotected table file made by MakePlainTable or
// MakeControlTable, damaged.
inline std::string DamagedBytes(std::string bytes, Damage damage) {
    const auto u16 = [&bytes](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8;
    };
    switch (damage) {
        case Damage::Truncated:
            bytes.resize(0x20);
            break;
        case Damage::GarbageHeader:
            for (std::size_t i = 0; i < 0x58; ++i) bytes[i] = static_cast<char>(0xA5 ^ (i * 37));
            break;
        case Damage::WrongBlockLinks: {
            // The first data block (header size at 0x02, first block at
            // 0x0E, block size in KiB at 0x05) points on to a block far
            // past the end of the file.
            const std::size_t block = u16(0x02) + (u16(0x0E) - 1) * (bytes[0x05] * 1024u);
            bytes[block] = 0x31;
            bytes[block + 1] = 0x7F;
            break;
        }
    }
    return bytes;
}

inline void DamageTable(sim::Machine& machine, const std::string& path, Damage damage) {
    machine.writeFile(path, DamagedBytes(machine.readFile(path).value(), damage));
}

// The engine's message for opening the file, as a reader of its own sees it.
inline std::string EngineMessageOpening(const std::string& path) {
    try {
        auto table = engine::TableFile::Open(path, {DatabasePassword()}, engine::TableFile::Mode::Read);
        for (std::uint64_t i = 0; table->recordAt(i) != nullptr; ++i) {
        }
    } catch (const engine::EDBEngineError& error) {
        return error.what();
    }
    return "";
}

// The rows of a table, read by the engine's file reader.
inline std::vector<engine::Row> ReadRows(const std::string& path) {
    auto table = engine::TableFile::Open(path, {DatabasePassword()}, engine::TableFile::Mode::Read);
    std::vector<engine::Row> rows;
    for (std::uint64_t i = 0;; ++i) {
        const unsigned char* record = table->recordAt(i);
        if (record == nullptr) break;
        engine::Row row;
        for (std::size_t f = 0; f < table->fields().size(); ++f) {
            row.push_back(engine::DecodeField(table->fields()[f], record + table->offsets()[f]));
        }
        rows.push_back(row);
    }
    return rows;
}

}  // namespace practice_tables
