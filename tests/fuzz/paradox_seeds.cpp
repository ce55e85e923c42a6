// Makes the seed corpus of the Paradox fuzzer: a few tiny tables written by
// the engine (unkeyed, keyed with its .PX, enciphered and keyed, one of
// every fixed field type, an old level-3 table), framed as paradox_input.h
// describes. Run as: paradox_seeds <folder>; the output is deterministic.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "engine/FieldTypes.h"
#include "engine/TableFile.h"
#include "engine/file_access.h"
#include "engine/record_codec.h"
#include "paradox_input.h"
#include "platform/sim/SimMachine.h"

namespace {

using engine::FieldDef;
using engine::FieldType;
using engine::Value;

struct Seed {
    const char* name;
    engine::TableLayout layout;
    std::vector<engine::Row> rows;
    std::uint8_t flags;
};

engine::TableLayout Layout(std::vector<FieldDef> fields, int keyFields, int level = 7,
                           const std::string& password = "") {
    engine::TableLayout layout;
    layout.fields = std::move(fields);
    layout.keyFields = keyFields;
    layout.blockSizeKiB = 1;
    layout.level = level;
    layout.password = password;
    return layout;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: paradox_seeds <folder>\n");
        return 2;
    }
    const std::string out = argv[1];
    sim::Machine machine;
    sim::ScopedPlatform installed(machine);
    machine.makeFolder("C:\\SEEDS");

    const std::vector<Seed> seeds = {
        {"unkeyed",
         Layout({FieldDef::Alpha("Text", 12), FieldDef::Of("Count", FieldType::Short)}, 0),
         {{Value::Text("first"), Value::Integer(1)}, {Value::Text("second"), Value::Null()}},
         paradox_input::kAppend},
        {"keyed",
         Layout({FieldDef::Alpha("Name", 10), FieldDef::Of("Number", FieldType::Long)}, 1),
         {{Value::Text("Claim"), Value::Integer(3)}, {Value::Text("Invoice"), Value::Integer(40)},
          {Value::Text("Patient"), Value::Integer(7)}},
         paradox_input::kAppend | paradox_input::kSession},
        {"enciphered",
         Layout({FieldDef::Alpha("Item", 4), FieldDef::Of("Fee", FieldType::Money)}, 1, 7,
                paradox_input::kPasswordText),
         {{Value::Text("0101"), Value::Float(12.5)}, {Value::Text("0111"), Value::Float(30)}},
         paradox_input::kPassword | paradox_input::kAppend | paradox_input::kSession},
        {"field_types",
         Layout({FieldDef::Of("Id", FieldType::AutoInc), FieldDef::Of("Born", FieldType::Date),
                 FieldDef::Of("Paid", FieldType::Money), FieldDef::Of("Rate", FieldType::Number),
                 FieldDef::Of("Active", FieldType::Logical), FieldDef::Of("At", FieldType::Time),
                 FieldDef::Of("Stamp", FieldType::Timestamp), FieldDef::BcdField("Exact", 2),
                 FieldDef::Alpha("Note", 8)},
                1),
         {{Value::Integer(1), Value::Integer(engine::DayNumber(1999, 12, 31)), Value::Float(-2.25),
           Value::Float(1e10), Value::Logical(true), Value::Integer(3600000), Value::Float(6.3e13),
           Value::Text("-12.50"), Value::Text("note")}},
         paradox_input::kAppend | paradox_input::kSession},
        {"level3",
         Layout({FieldDef::Alpha("Code", 6), FieldDef::Of("Value", FieldType::Number)}, 1, 3),
         {{Value::Text("A"), Value::Float(1)}, {Value::Text("B"), Value::Float(2)}},
         paradox_input::kAppend},
    };
    for (const Seed& seed : seeds) {
        const std::string table = std::string("C:\\SEEDS\\") + seed.name + ".DB";
        engine::CreateTable(table, seed.layout, seed.rows);
        const std::string index = engine::WithExtension(table, ".PX");
        const std::string bytes = paradox_input::Frame(seed.flags, machine.readFile(table).value(),
                                                       machine.readFile(index).value_or(""));
        std::ofstream(out + "/" + seed.name + ".bin", std::ios::binary) << bytes;
    }
    return 0;
}
