// Benchmarks of the table engine, with pxlib reading the same files for
// comparison. The tables (Id I key, Name A30, Amount $; 16 KB blocks) live
// on the simulated machine, whose disks are host files; each size is built
// once per run.
#include <benchmark/benchmark.h>
#include <strings.h>

extern "C" {
#include <paradox.h>
}

#include <cctype>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/Database.h"
#include "engine/Session.h"
#include "engine/Table.h"
#include "engine/TableFile.h"
#include "platform/sim/SimMachine.h"

namespace {

using engine::FieldDef;
using engine::FieldType;
using engine::Value;

sim::Machine& Machine() {
    static sim::Machine* machine = [] {
        auto* m = new sim::Machine;
        platform::Install(&m->platform());
        m->makeFolder("C:\\BENCH");
        return m;
    }();
    return *machine;
}

std::string NameOf(std::int64_t id) { return "Patient name " + std::to_string(id); }

engine::TableLayout Layout() {
    engine::TableLayout layout;
    layout.fields = {FieldDef::Of("Id", FieldType::Long), FieldDef::Alpha("Name", 30),
                     FieldDef::Of("Amount", FieldType::Money)};
    layout.keyFields = 1;
    layout.blockSizeKiB = 16;
    return layout;
}

// The table C:\BENCH\<name><rows>.DB whose row i is rowOf(i), built once
// per run.
std::string BuiltOnce(const std::string& name, std::int64_t rows,
                      const std::function<engine::Row(std::int64_t)>& rowOf) {
    static std::set<std::string> built;
    Machine();
    const std::string path = "C:\\BENCH\\" + name + std::to_string(rows) + ".DB";
    if (!built.insert(path).second) return path;
    std::vector<engine::Row> data;
    data.reserve(static_cast<std::size_t>(rows));
    for (std::int64_t i = 0; i < rows; ++i) data.push_back(rowOf(i));
    engine::CreateTable(path, Layout(), data);
    return path;
}

// The tables that open, scan and locate read: keys 0, 1, 2, ...
std::string TableOf(std::int64_t rows) {
    return BuiltOnce("T", rows, [](std::int64_t i) {
        return engine::Row{Value::Integer(i), Value::Text(NameOf(i)), Value::Float(i * 0.5)};
    });
}

struct Connection {
    engine::Session session;
    engine::Database database{session};
    Connection() { database.Params().push_back("PATH=C:\\BENCH\\"); }
};

std::string TableName(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

void BM_EngineOpen(benchmark::State& state) {
    const std::string path = TableOf(state.range(0));
    Connection c;
    for (auto _ : state) {
        engine::Table table(c.database);
        table.SetTableName(TableName(path));
        table.Open();
        benchmark::DoNotOptimize(table.RecordCount());
        table.Close();
    }
}

void BM_EngineScan(benchmark::State& state) {
    const std::string path = TableOf(state.range(0));
    Connection c;
    engine::Table table(c.database);
    table.SetTableName(TableName(path));
    table.Open();
    for (auto _ : state) {
        std::size_t length = 0;
        engine::Field& name = table.FieldByName("Name");
        for (table.First(); !table.Eof(); table.Next()) length += name.AsString().size();
        benchmark::DoNotOptimize(length);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_EngineLocateName(benchmark::State& state) {
    const std::string path = TableOf(state.range(0));
    Connection c;
    engine::Table table(c.database);
    table.SetTableName(TableName(path));
    table.Open();
    // The last row, in other letter case: the whole table is searched.
    std::string wanted = NameOf(state.range(0) - 1);
    for (char& ch : wanted) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    for (auto _ : state) {
        if (!table.Locate("Name", wanted, engine::loCaseInsensitive)) state.SkipWithError("not found");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// A keyed table whose keys are the even numbers 0, 2, ...; an append
// benchmark posts into a fresh copy of its files.
std::string AppendBaseOf(std::int64_t rows) {
    return BuiltOnce("A", rows, [](std::int64_t i) {
        return engine::Row{Value::Integer(i * 2), Value::Text(NameOf(i * 2)), Value::Null()};
    });
}

void CopyTableFiles(const std::string& from, const std::string& to) {
    for (const char* extension : {".DB", ".PX"}) {
        const auto withExtension = [extension](const std::string& path) {
            return Machine().hostPath(path.substr(0, path.size() - 3) + extension);
        };
        std::filesystem::copy_file(withExtension(from), withExtension(to),
                                   std::filesystem::copy_options::overwrite_existing);
    }
}

// Append + post of 1,000 rows to a keyed table of range(0) rows, with keys
// after the last one in ascending order (random 0) or odd keys spread over
// the whole table in random order (random 1). Per row, the cost must not
// grow with the whole file: a post rewrites a block or two and the primary
// index, never the table.
void BM_EngineAppendPost1000(benchmark::State& state) {
    const std::int64_t rows = state.range(0);
    const bool randomOrder = state.range(1) != 0;
    const std::string base = AppendBaseOf(rows);
    std::vector<std::int64_t> keys;
    for (std::int64_t i = 0; i < 1000; ++i) keys.push_back(randomOrder ? (i * rows / 1000) * 2 + 1 : rows * 2 + i);
    if (randomOrder) std::shuffle(keys.begin(), keys.end(), std::mt19937(5));
    Connection c;
    for (auto _ : state) {
        state.PauseTiming();
        CopyTableFiles(base, "C:\\BENCH\\APPEND.DB");
        engine::Table table(c.database);
        table.SetTableName("APPEND.DB");
        table.Open();
        state.ResumeTiming();
        for (std::int64_t key : keys) {
            table.Append();
            table.FieldByName("Id").SetAsInteger(static_cast<std::int32_t>(key));
            table.FieldByName("Name").SetAsString(NameOf(key));
            table.Post();
        }
        state.PauseTiming();
        table.Close();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}

// pxlib on the same files: open (with the primary index), scan reading
// every Name, and a search for the last Name by comparing each row.
void BM_PxlibOpen(benchmark::State& state) {
    const std::string host = Machine().hostPath(TableOf(state.range(0)));
    for (auto _ : state) {
        pxdoc_t* px = PX_new();
        PX_open_file(px, host.c_str());
        benchmark::DoNotOptimize(PX_get_num_records(px));
        PX_close(px);
        PX_delete(px);
    }
}

std::size_t PxlibScan(pxdoc_t* px, const std::string* wanted) {
    const int n = PX_get_num_records(px);
    std::vector<char> record(static_cast<std::size_t>(PX_get_recordsize(px)));
    std::size_t total = 0;
    for (int r = 0; r < n; ++r) {
        PX_get_record(px, r, record.data());
        char* value = nullptr;
        if (PX_get_data_alpha(px, record.data() + 4, 30, &value) > 0 && value) {
            if (wanted != nullptr && strcasecmp(value, wanted->c_str()) == 0) {
                px->free(px, value);
                return static_cast<std::size_t>(r);
            }
            total += std::strlen(value);
            px->free(px, value);
        }
    }
    return total;
}

void BM_PxlibScan(benchmark::State& state) {
    const std::string host = Machine().hostPath(TableOf(state.range(0)));
    pxdoc_t* px = PX_new();
    PX_open_file(px, host.c_str());
    for (auto _ : state) benchmark::DoNotOptimize(PxlibScan(px, nullptr));
    PX_close(px);
    PX_delete(px);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_PxlibSearchName(benchmark::State& state) {
    const std::string host = Machine().hostPath(TableOf(state.range(0)));
    pxdoc_t* px = PX_new();
    PX_open_file(px, host.c_str());
    const std::string wanted = NameOf(state.range(0) - 1);
    for (auto _ : state) benchmark::DoNotOptimize(PxlibScan(px, &wanted));
    PX_close(px);
    PX_delete(px);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_EngineOpen)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PxlibOpen)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EngineScan)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PxlibScan)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineLocateName)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PxlibSearchName)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineAppendPost1000)
    ->ArgNames({"rows", "random"})
    ->ArgsProduct({{1000, 100000, 1000000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
