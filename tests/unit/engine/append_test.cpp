// Appending records: key order and a valid primary index over many blocks
// (checked by reading the index and with pxlib), unkeyed appends, key
// violations, AutoInc, the refusal of tables with secondary indexes, the
// state of the file after a write fails at any point, and the byte-range
// locks that coordinate writers.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "engine/EngineError.h"
#include "engine/TableFile.h"
#include "engine/file_access.h"
#include "engine/index_file.h"
#include "engine/record_codec.h"
#include "engine/table_locks.h"
#include "platform/FaultInjection.h"

namespace {

using engine::FieldDef;
using engine::FieldType;
using engine::Row;
using engine::TableFile;
using engine::Value;
using enginetest::EngineTest;

constexpr const char* kPath = "C:\\DATA\\APPEND.DB";

engine::TableLayout KeyedLayout(int blockSizeKiB = 1, const std::string& password = "") {
    engine::TableLayout layout;
    layout.fields = {FieldDef::Of("Id", FieldType::Long), FieldDef::Alpha("Name", 30),
                     FieldDef::Of("Serial", FieldType::AutoInc)};
    layout.keyFields = 1;
    layout.blockSizeKiB = blockSizeKiB;
    layout.password = password;
    return layout;
}

std::vector<unsigned char> Record(const TableFile& table, std::int64_t id, const std::string& name) {
    std::vector<unsigned char> record(static_cast<std::size_t>(table.recordSize()), 0);
    engine::EncodeField(table.fields()[0], Value::Integer(id), record.data());
    engine::EncodeField(table.fields()[1], Value::Text(name), record.data() + table.offsets()[1]);
    return record;
}

std::string NameOf(std::int64_t id) { return "record " + std::to_string(id); }

// Reads the table and checks it whole: the ids (in chain order), key
// order for a keyed table, names, the primary index against the chain, and
// a file without unused blocks. Returns the ids.
std::vector<std::int64_t> CheckedIds(const std::string& path, const std::string& password) {
    auto table = TableFile::Open(path, {password}, TableFile::Mode::Read);
    std::vector<std::int64_t> ids;
    for (std::uint64_t p = 0; p < table->recordCount(); ++p) {
        const unsigned char* record = table->recordAt(p);
        EXPECT_NE(nullptr, record);
        if (record == nullptr) break;
        const Value id = engine::DecodeField(table->fields()[0], record);
        const Value name = engine::DecodeField(table->fields()[1], record + table->offsets()[1]);
        EXPECT_EQ(Value::Text(NameOf(id.integer())), name);
        ids.push_back(id.integer());
    }
    EXPECT_EQ(table->header().numRecords, ids.size());
    if (table->keyed()) {
        EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
        EXPECT_EQ(std::set<std::int64_t>(ids.begin(), ids.end()).size(), ids.size());
        const engine::IndexContents index = engine::ReadIndexFile(engine::WithExtension(path, ".PX"));
        std::vector<engine::IndexEntry> expected;
        std::uint64_t position = 0;
        for (const auto& entry : table->chain()) {
            if (entry.records == 0) continue;
            const unsigned char* first = table->recordAt(position);
            expected.push_back({std::string(reinterpret_cast<const char*>(first), 4), entry.block, entry.records});
            position += entry.records;
        }
        EXPECT_EQ(expected.size(), index.levels[0].size());
        for (std::size_t i = 0; i < expected.size() && i < index.levels[0].size(); ++i) {
            EXPECT_EQ(expected[i].key, index.levels[0][i].key) << "index entry " << i;
            EXPECT_EQ(expected[i].block, index.levels[0][i].block) << "index entry " << i;
            EXPECT_EQ(expected[i].count, index.levels[0][i].count) << "index entry " << i;
        }
    }
    return ids;
}

std::string WithExtensionOf(const std::string& path, const char* extension) {
    return engine::WithExtension(path, extension);
}

// pxlib reads every record of the table, with its primary index.
void ExpectPxlibReads(EngineTest& test, const std::string& hostDb, const std::string& hostPx,
                      const std::vector<std::int64_t>& ids) {
    const enginetest::PxTable px = enginetest::PxRead(hostDb, hostPx);
    ASSERT_TRUE(px.opened);
    if (!hostPx.empty()) {
        EXPECT_TRUE(px.indexAccepted);
    }
    ASSERT_EQ(ids.size(), px.rows.size());
    for (std::size_t r = 0; r < ids.size(); ++r) {
        EXPECT_EQ(ids[r], px.rows[r][0].integer);
        EXPECT_EQ(NameOf(ids[r]), px.rows[r][1].text);
    }
    for (const std::string& message : px.messages) ADD_FAILURE() << "pxlib: " << message;
    (void)test;
}

class AppendTest : public EngineTest {
protected:
    std::string hostDb() { return host(kPath); }
    std::string hostPx() { return host(WithExtensionOf(kPath, ".PX")); }
};

struct OrderCase {
    const char* name;
    int blockSizeKiB;
    const char* password;
    int records;
    int order;  // 0 ascending, 1 descending, 2 random
};

class KeyedAppend : public AppendTest, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(KeyedAppend, KeepsKeyOrderAndAValidPrimaryIndex) {
    const OrderCase& c = GetParam();
    engine::CreateTable(kPath, KeyedLayout(c.blockSizeKiB, c.password), {});
    std::vector<std::int64_t> ids;
    for (int i = 0; i < c.records; ++i) ids.push_back(i * 10);
    if (c.order == 1) std::reverse(ids.begin(), ids.end());
    if (c.order == 2) std::shuffle(ids.begin(), ids.end(), std::mt19937(42));
    {
        auto table = TableFile::Open(kPath, {c.password}, TableFile::Mode::ReadWrite);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            const std::uint64_t at = table->append(Record(*table, ids[i], NameOf(ids[i])));
            const unsigned char* record = table->recordAt(at);
            ASSERT_NE(nullptr, record);
            EXPECT_EQ(Value::Integer(ids[i]), engine::DecodeField(table->fields()[0], record));
            if (i % 97 == 0) CheckedIds(kPath, c.password);
        }
        EXPECT_GT(table->chain().size(), 3u);
    }
    std::vector<std::int64_t> sorted(ids);
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, CheckedIds(kPath, c.password));
    ExpectPxlibReads(*this, hostDb(), hostPx(), sorted);

    // No spare block is left behind: the file ends after its last block.
    auto table = TableFile::Open(kPath, {c.password}, TableFile::Mode::Read);
    const auto size = machine.files().find(kPath)->size;
    EXPECT_EQ(table->header().headerSize + std::uint64_t(table->header().fileBlocks) * table->header().blockSize(), size);
    EXPECT_EQ(0, table->header().firstFreeBlock);
    // AutoInc values were handed out one by one.
    std::set<std::int64_t> serials;
    for (std::uint64_t p = 0; p < table->recordCount(); ++p) {
        serials.insert(engine::DecodeField(table->fields()[2], table->recordAt(p) + table->offsets()[2]).integer());
    }
    EXPECT_EQ(static_cast<std::size_t>(c.records), serials.size());
    EXPECT_EQ(1, *serials.begin());
    EXPECT_EQ(c.records, *serials.rbegin());
}

INSTANTIATE_TEST_SUITE_P(Orders, KeyedAppend,
                         ::testing::Values(OrderCase{"ascending_1k", 1, "", 400, 0},
                                           OrderCase{"descending_1k", 1, "", 300, 1},
                                           OrderCase{"random_1k", 1, "", 600, 2},
                                           OrderCase{"random_2k_protected", 2, "secret", 500, 2},
                                           OrderCase{"random_16k", 16, "", 1500, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AppendTest, UnkeyedAppendsGoToTheEndInTheirOrder) {
    engine::TableLayout layout = KeyedLayout();
    layout.keyFields = 0;
    engine::CreateTable(kPath, layout, {{Value::Integer(5), Value::Text(NameOf(5)), Value::Null()}});
    std::vector<std::int64_t> ids{5};
    {
        auto table = TableFile::Open(kPath, {}, TableFile::Mode::ReadWrite);
        for (int i = 0; i < 200; ++i) {
            const std::int64_t id = (i * 7919) % 1000;
            EXPECT_EQ(ids.size(), table->append(Record(*table, id, NameOf(id))));
            ids.push_back(id);
        }
    }
    EXPECT_EQ(ids, CheckedIds(kPath, ""));
    ExpectPxlibReads(*this, hostDb(), "", ids);
}

TEST_F(AppendTest, ADuplicateKeyIsAKeyViolationAndChangesNothing) {
    engine::CreateTable(kPath, KeyedLayout(), {{Value::Integer(1), Value::Text(NameOf(1)), Value::Null()},
                                               {Value::Integer(2), Value::Text(NameOf(2)), Value::Null()}});
    const auto before = machine.readFile(kPath);
    auto table = TableFile::Open(kPath, {}, TableFile::Mode::ReadWrite);
    try {
        table->append(Record(*table, 2, "again"));
        FAIL() << "no key violation";
    } catch (const engine::EDBEngineError& e) {
        EXPECT_EQ(engine::dbierr::kKeyViolation, e.ErrorCode());
        EXPECT_NE(std::string::npos, std::string(e.what()).find("Key violation"));
        EXPECT_NE(std::string::npos, std::string(e.what()).find(kPath));
    }
    EXPECT_EQ(before, machine.readFile(kPath));
    table->append(Record(*table, 3, NameOf(3)));
    EXPECT_EQ((std::vector<std::int64_t>{1, 2, 3}), CheckedIds(kPath, ""));
}

TEST_F(AppendTest, AppendsExtendATablePxlibWrote) {
    enginetest::PxWriteSpec wanted;
    wanted.fields = {{"Id", 0x04, 4, 0}, {"Name", 0x01, 30, 0}, {"Serial", 0x16, 4, 0}};
    wanted.keyFields = 1;
    wanted.blockSizeKiB = 1;
    std::vector<std::int64_t> ids;
    for (int i = 0; i < 300; ++i) {
        enginetest::PxCell id, name, serial;
        id.isNull = name.isNull = serial.isNull = false;
        id.integer = i * 4;
        name.text = NameOf(i * 4);
        serial.integer = i + 1;
        wanted.rows.push_back({id, name, serial});
        ids.push_back(i * 4);
    }
    enginetest::PxWrite(hostDb(), wanted);
    {
        auto table = TableFile::Open(kPath, {}, TableFile::Mode::ReadWrite);
        for (std::int64_t id : {2, 601, 1198, -1, 5000, 403}) {
            table->append(Record(*table, id, NameOf(id)));
            ids.push_back(id);
        }
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, CheckedIds(kPath, ""));
    ExpectPxlibReads(*this, hostDb(), hostPx(), ids);
}

TEST_F(AppendTest, ATableWithSecondaryIndexesIsRefusedAndLeftAsItIs) {
    engine::CreateTable(kPath, KeyedLayout(), {{Value::Integer(1), Value::Text(NameOf(1)), Value::Null()}});
    engine::SecondaryIndexSpec wanted;
    wanted.field = "Name";
    wanted.name = "ByName";
    engine::CreateSecondaryIndex(kPath, wanted, {});
    const auto db = machine.readFile(kPath);
    const auto px = machine.readFile(WithExtensionOf(kPath, ".PX"));
    const auto xg = machine.readFile(WithExtensionOf(kPath, ".XG0"));
    auto table = TableFile::Open(kPath, {}, TableFile::Mode::ReadWrite);
    try {
        table->append(Record(*table, 2, NameOf(2)));
        FAIL() << "no refusal";
    } catch (const engine::EDBEngineError& e) {
        EXPECT_EQ(engine::dbierr::kNotSupported, e.ErrorCode());
        EXPECT_NE(std::string::npos, std::string(e.what()).find("secondary index"));
        EXPECT_NE(std::string::npos, std::string(e.what()).find(kPath));
    }
    EXPECT_EQ(db, machine.readFile(kPath));
    EXPECT_EQ(px, machine.readFile(WithExtensionOf(kPath, ".PX")));
    EXPECT_EQ(xg, machine.readFile(WithExtensionOf(kPath, ".XG0")));
}

TEST_F(AppendTest, SecondaryIndexFilesAreFoundWhateverTheirNumberAndCase) {
    engine::CreateTable(kPath, KeyedLayout(), {});
    EXPECT_TRUE(engine::SecondaryIndexFiles(kPath).empty());
    machine.writeFile("C:\\DATA\\append.x02", "x");
    machine.writeFile("C:\\DATA\\APPEND.YG1", "y");
    machine.writeFile("C:\\DATA\\APPENDIX.X02", "not ours");
    machine.writeFile("C:\\DATA\\APPEND.XYZ", "not an index");
    EXPECT_EQ(2u, engine::SecondaryIndexFiles(kPath).size());
}

// --- A write that fails at any point leaves a valid table ----------------
//
// The post is run once to count its writes, then again with the Nth write
// failing (and, separately, writing only half of its bytes), for every N.
// When the writer is gone after its failed write (every later write fails
// too), the table must open and hold either the records of before the post
// or those of after it, pxlib must read it, and the next post must work.
// When only that one write fails, the post puts both files back byte for
// byte, so that no reader finds a header count or an index out of step.

struct CrashCase {
    const char* name;
    bool keyed;
    const char* password;
    std::int64_t newId;      // where the new record goes
    int initialRecords;      // ids 0, 10, 20, ...
    platform::FaultKind kind;
};

class CrashConsistency : public AppendTest, public ::testing::WithParamInterface<CrashCase> {
protected:
    void makeTable() {
        const CrashCase& c = GetParam();
        engine::TableLayout layout = KeyedLayout(1, c.password);
        layout.keyFields = c.keyed ? 1 : 0;
        std::vector<Row> rows;
        for (int i = 0; i < c.initialRecords; ++i) {
            rows.push_back({Value::Integer(i * 10), Value::Text(NameOf(i * 10)), Value::Null()});
        }
        engine::CreateTable(kPath, layout, rows);
    }

    // The writes of one post of the case's record on a fresh table.
    std::size_t countPostWrites() {
        const CrashCase& c = GetParam();
        makeTable();
        platform::FaultInjectingPlatform faulty(machine.platform());
        sim::ScopedPlatform use(faulty.platform());
        auto table = TableFile::Open(kPath, {c.password}, TableFile::Mode::ReadWrite);
        table->append(Record(*table, c.newId, NameOf(c.newId)));
        return faulty.faults().calls("OpenFile.writeAt");
    }
};

TEST_P(CrashConsistency, EveryIntermediateStateIsAValidTable) {
    const CrashCase& c = GetParam();
    std::vector<std::int64_t> before;
    for (int i = 0; i < c.initialRecords; ++i) before.push_back(i * 10);
    std::vector<std::int64_t> after(before);
    after.push_back(c.newId);
    if (c.keyed) std::sort(after.begin(), after.end());

    const std::size_t writes = countPostWrites();
    ASSERT_GE(writes, 2u);

    engine::CurrentLockTiming().timeoutMs = 0;
    for (std::size_t n = 1; n <= writes; ++n) {
        makeTable();
        {
            platform::FaultInjectingPlatform faulty(machine.platform());
            platform::Fault fault;
            fault.operation = "OpenFile.writeAt";
            fault.nth = n;
            fault.persistent = true;  // the writer is gone after its failed write
            fault.kind = c.kind;
            faulty.faults().add(fault);
            sim::ScopedPlatform use(faulty.platform());
            auto table = TableFile::Open(kPath, {c.password}, TableFile::Mode::ReadWrite);
            EXPECT_THROW(table->append(Record(*table, c.newId, NameOf(c.newId))), engine::EDBEngineError)
                << "write " << n;
        }
        const std::vector<std::int64_t> ids = [&] {
            auto table = TableFile::Open(kPath, {c.password}, TableFile::Mode::Read);
            std::vector<std::int64_t> found;
            for (std::uint64_t p = 0; p < table->recordCount(); ++p) {
                found.push_back(engine::DecodeField(table->fields()[0], table->recordAt(p)).integer());
            }
            return found;
        }();
        EXPECT_TRUE(ids == before || ids == after) << "after failing write " << n << " of " << writes;
        // (pxlib prints a warning of its own for a state whose header count
        // lags the chain; it reads the table all the same.)
        const enginetest::PxTable px = enginetest::PxRead(hostDb());
        EXPECT_TRUE(px.opened);
        EXPECT_TRUE(px.rows.size() == before.size() || px.rows.size() == after.size()) << "write " << n;

        // The next writer repairs what the failed one left (counts, index).
        {
            auto table = TableFile::Open(kPath, {c.password}, TableFile::Mode::ReadWrite);
            table->append(Record(*table, 100001, NameOf(100001)));
        }
        std::vector<std::int64_t> expected(ids);
        expected.push_back(100001);
        EXPECT_EQ(expected, CheckedIds(kPath, c.password)) << "write " << n;
    }
    engine::CurrentLockTiming() = engine::LockTiming{};
}

TEST_P(CrashConsistency, APostThatFailsOnceLeavesBothFilesAsTheyWere) {
    const CrashCase& c = GetParam();
    const std::string indexPath = WithExtensionOf(kPath, ".PX");
    const std::size_t writes = countPostWrites();
    std::vector<std::int64_t> expected;
    for (int i = 0; i < c.initialRecords; ++i) expected.push_back(i * 10);
    expected.push_back(100001);
    for (std::size_t n = 1; n <= writes; ++n) {
        makeTable();
        const auto db = machine.readFile(kPath);
        const auto px = machine.readFile(indexPath);
        {
            platform::FaultInjectingPlatform faulty(machine.platform());
            platform::Fault fault;
            fault.operation = "OpenFile.writeAt";
            fault.nth = n;
            fault.kind = c.kind;
            faulty.faults().add(fault);
            sim::ScopedPlatform use(faulty.platform());
            auto table = TableFile::Open(kPath, {c.password}, TableFile::Mode::ReadWrite);
            EXPECT_THROW(table->append(Record(*table, c.newId, NameOf(c.newId))), engine::EDBEngineError)
                << "write " << n;
            EXPECT_EQ(db, machine.readFile(kPath)) << "table after failing write " << n << " of " << writes;
            EXPECT_EQ(px, machine.readFile(indexPath)) << "index after failing write " << n << " of " << writes;
            const enginetest::PxTable read =
                enginetest::PxRead(hostDb(), c.keyed ? host(indexPath) : std::string());
            EXPECT_EQ(static_cast<std::size_t>(c.initialRecords), read.rows.size()) << "write " << n;
            for (const std::string& message : read.messages) ADD_FAILURE() << "write " << n << ": " << message;
            if (c.keyed) {
                EXPECT_TRUE(read.indexAccepted) << "write " << n;
            }
            // The same handle posts again once the disk answers.
            table->append(Record(*table, 100001, NameOf(100001)));
        }
        EXPECT_EQ(expected, CheckedIds(kPath, c.password)) << "write " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Posts, CrashConsistency,
    ::testing::Values(
        CrashCase{"keyed_insert_in_block", true, "", 15, 20, platform::FaultKind::Fail},
        CrashCase{"keyed_insert_first", true, "", -5, 20, platform::FaultKind::Fail},
        CrashCase{"keyed_split", true, "", 125, 60, platform::FaultKind::Fail},
        CrashCase{"keyed_tail", true, "", 1000, 20, platform::FaultKind::Fail},
        CrashCase{"keyed_new_last_block", true, "", 1000, 29, platform::FaultKind::Fail},
        CrashCase{"keyed_split_protected", true, "secret", 125, 60, platform::FaultKind::Fail},
        CrashCase{"keyed_split_half_writes", true, "", 125, 60, platform::FaultKind::PartialWrite},
        CrashCase{"keyed_insert_protected_half_writes", true, "secret", 15, 20,
                  platform::FaultKind::PartialWrite},
        CrashCase{"unkeyed_tail", false, "", 7, 20, platform::FaultKind::Fail},
        CrashCase{"unkeyed_into_empty_table", false, "", 7, 0, platform::FaultKind::Fail}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Locks ---------------------------------------------------------------

TEST_F(AppendTest, AWriterWaitsForAnotherWriterAndThenReportsTheTableBusy) {
    engine::CreateTable(kPath, KeyedLayout(), {});
    auto other = machine.holdOpen(kPath, platform::access::kRead | platform::access::kWrite,
                                  platform::share::kRead | platform::share::kWrite);
    ASSERT_TRUE(other->lockRange(engine::kWriterLockOffset, 1, true));
    const std::uint32_t start = machine.clock().ticks();
    auto table = TableFile::Open(kPath, {}, TableFile::Mode::ReadWrite);
    try {
        table->append(Record(*table, 1, NameOf(1)));
        FAIL() << "not busy";
    } catch (const engine::EDBEngineError& e) {
        EXPECT_EQ(engine::dbierr::kFileBusy, e.ErrorCode());
        EXPECT_NE(std::string::npos, std::string(e.what()).find(kPath));
    }
    EXPECT_GE(machine.clock().ticks() - start, engine::CurrentLockTiming().timeoutMs);
    EXPECT_EQ(0u, table->recordCount());
    // Reading is not held up by a writer's lock.
    EXPECT_EQ(0u, TableFile::Open(kPath, {}, TableFile::Mode::Read)->recordCount());
    // Once the other writer is done, the post goes through.
    ASSERT_TRUE(other->unlockRange(engine::kWriterLockOffset, 1));
    table->append(Record(*table, 1, NameOf(1)));
    EXPECT_EQ((std::vector<std::int64_t>{1}), CheckedIds(kPath, ""));
}

TEST_F(AppendTest, AReaderKeepsAWriterFromChangingTheFileWhileItReads) {
    engine::CreateTable(kPath, KeyedLayout(), {});
    auto reader = machine.holdOpen(kPath, platform::access::kRead,
                                   platform::share::kRead | platform::share::kWrite);
    ASSERT_TRUE(reader->lockRange(engine::kCommitLockOffset, 1, false));
    engine::CurrentLockTiming().timeoutMs = 50;
    auto table = TableFile::Open(kPath, {}, TableFile::Mode::ReadWrite);
    EXPECT_THROW(table->append(Record(*table, 1, NameOf(1))), engine::EDBEngineError);
    engine::CurrentLockTiming() = engine::LockTiming{};
    ASSERT_TRUE(reader->unlockRange(engine::kCommitLockOffset, 1));
    table->append(Record(*table, 1, NameOf(1)));
    EXPECT_EQ(1u, table->recordCount());
}

TEST_F(AppendTest, TwoWritersTakingTurnsSeeEachOthersRecords) {
    engine::CreateTable(kPath, KeyedLayout(1), {});
    auto a = TableFile::Open(kPath, {}, TableFile::Mode::ReadWrite);
    auto b = TableFile::Open(kPath, {}, TableFile::Mode::ReadWrite);
    std::vector<std::int64_t> ids;
    std::mt19937 random(9);
    for (int i = 0; i < 300; ++i) {
        const std::int64_t id = static_cast<std::int64_t>(random() % 100000) * 2 + (i % 2);
        if (std::find(ids.begin(), ids.end(), id) != ids.end()) continue;
        TableFile& writer = i % 2 == 0 ? *a : *b;
        writer.append(Record(writer, id, NameOf(id)));
        ids.push_back(id);
        EXPECT_EQ(ids.size(), writer.recordCount());
    }
    // A reader opened before the appends sees them after a refresh.
    EXPECT_TRUE(a->refresh());
    EXPECT_EQ(ids.size(), a->recordCount());
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, CheckedIds(kPath, ""));
    ExpectPxlibReads(*this, hostDb(), hostPx(), ids);
}

TEST_F(AppendTest, AReadOnlyTableRefusesAppends) {
    engine::CreateTable(kPath, KeyedLayout(), {});
    machine.refuseWrites("C:\\DATA");
    auto table = TableFile::Open(kPath, {}, TableFile::Mode::ReadWrite);
    EXPECT_FALSE(table->writable());
    EXPECT_THROW(table->append(Record(*table, 1, NameOf(1))), engine::EDBEngineError);
}

TEST_F(AppendTest, ATableAnotherProgramSharesOnlyForReadingOpensReadOnly) {
    engine::CreateTable(kPath, KeyedLayout(), {});
    auto other = machine.holdOpen(kPath, platform::access::kRead, platform::share::kRead);
    ASSERT_TRUE(other);
    auto table = TableFile::Open(kPath, {}, TableFile::Mode::ReadWrite);
    EXPECT_FALSE(table->writable());
    EXPECT_EQ(0u, table->recordCount());
    EXPECT_THROW(table->append(Record(*table, 1, NameOf(1))), engine::EDBEngineError);
}

}  // namespace
