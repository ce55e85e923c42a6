// The Paradox reader on table files of any content. The input is framed
// (see paradox_input.h): a flags byte, then the .DB bytes and the .PX
// bytes. The table is opened from the simulated disk, every record walked
// and decoded, the primary index read back, and, by the flags, a blank
// record appended and the table read again through the session, database
// and table objects. Damage must end in the engine's own errors; any other
// exception, a crash or a sanitizer report is a finding, and so is an
// append that succeeds but leaves a table that no longer opens or lost a
// record.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Session.h"
#include "engine/Table.h"
#include "engine/TableFile.h"
#include "engine/index_file.h"
#include "engine/record_codec.h"
#include "paradox_input.h"
#include "platform/sim/SimMachine.h"

namespace {

const char kTable[] = "C:\\DATA\\FUZZ.DB";
const char kIndex[] = "C:\\DATA\\FUZZ.PX";

struct World {
    sim::Machine machine;
    sim::ScopedPlatform installed{machine};
    World() {
        machine.makeFolder("C:\\DATA");
        machine.makeFolder("C:\\PRIV");
    }
};

[[noreturn]] void Finding(const char* what, const std::string& detail) {
    std::fprintf(stderr, "finding: %s: %s\n", what, detail.c_str());
    std::abort();
}

std::vector<std::string> Passwords(const paradox_input::Input& input) {
    if (input.flags & paradox_input::kPassword) return {paradox_input::kPasswordText};
    return {};
}

// Opens the table and decodes every field of every record; the record count.
std::uint64_t ReadAll(const std::vector<std::string>& passwords) {
    auto table = engine::TableFile::Open(kTable, passwords, engine::TableFile::Mode::Read);
    std::uint64_t count = 0;
    for (;; ++count) {
        const unsigned char* record = table->recordAt(count);
        if (record == nullptr) break;
        for (std::size_t f = 0; f < table->fields().size(); ++f) {
            (void)engine::DecodeField(table->fields()[f], record + table->offsets()[f]);
        }
    }
    if (count != table->recordCount()) Finding("record count", std::to_string(count));
    return count;
}

void AppendBlank(const std::vector<std::string>& passwords, std::uint64_t before) {
    {
        auto table = engine::TableFile::Open(kTable, passwords, engine::TableFile::Mode::ReadWrite);
        if (!table->writable()) return;
        table->append(std::vector<unsigned char>(static_cast<std::size_t>(table->recordSize()), 0));
    }
    // A post that succeeded leaves a table that opens with one more record.
    try {
        const std::uint64_t after = ReadAll(passwords);
        if (after != before + 1) {
            Finding("append", std::to_string(before) + " records before, " + std::to_string(after) + " after");
        }
    } catch (const engine::EDatabaseError& error) {
        Finding("append left a table that does not open", error.what());
    }
}

void ThroughTheSession(const std::vector<std::string>& passwords) {
    engine::Session session;
    session.SetNetFileDir("C:\\DATA\\");
    session.SetPrivateDir("C:\\PRIV\\");
    for (const std::string& password : passwords) session.AddPassword(password);
    session.Open();
    engine::Database database(session);
    database.SetDatabaseName("FUZZ");
    database.Params().push_back("PATH=C:\\DATA\\");
    database.Open();
    engine::Table table(database);
    table.SetTableName("FUZZ.DB");
    if (!table.Exists()) return;
    table.Open();
    std::string first;
    for (table.First(); !table.Eof(); table.Next()) {
        for (int f = 0; f < table.FieldCount(); ++f) {
            const std::string text = table.Fields(f).AsString();
            if (f == 0 && first.empty()) first = text;
        }
    }
    if (table.FieldCount() > 0) {
        (void)table.Locate(table.Fields(0).FieldName(), first, engine::loCaseInsensitive);
    }
    (void)table.IsEmpty();
    table.Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static World* world = new World();
    const paradox_input::Input input = paradox_input::Parse(data, size);
    world->machine.writeFile(kTable, input.table);
    if (input.index.empty()) {
        world->machine.files().deleteFile(kIndex);
    } else {
        world->machine.writeFile(kIndex, input.index);
    }
    const std::vector<std::string> passwords = Passwords(input);

    try {
        const std::uint64_t count = ReadAll(passwords);
        if (input.flags & paradox_input::kAppend) AppendBlank(passwords, count);
    } catch (const engine::EDatabaseError&) {
        // Damage reported as the engine reports it.
    }
    if (!input.index.empty()) {
        try {
            (void)engine::ReadIndexFile(kIndex);
        } catch (const engine::EDatabaseError&) {
        }
    }
    if (input.flags & paradox_input::kSession) {
        try {
            ThroughTheSession(passwords);
        } catch (const engine::EDatabaseError&) {
        }
    }
    return 0;
}
