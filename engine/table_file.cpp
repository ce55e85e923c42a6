#include "engine/TableFile.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "engine/EngineError.h"
#include "engine/file_access.h"
#include "engine/index_file.h"
#include "engine/paradox_cipher.h"
#include "engine/table_locks.h"
#include "platform/Platform.h"

namespace engine {

namespace {

constexpr std::uint32_t kMaxBlocks = 65535;
constexpr int kKeep = INT_MIN;  // setBlockHeader: leave this value as it is

bool IsDataTableType(std::uint8_t type) {
    return type == filetype::kKeyedTable || type == filetype::kUnkeyedTable;
}

bool IsSecondaryDataType(std::uint8_t type) {
    return type == filetype::kSecondaryData || type == filetype::kSecondaryDataInc ||
           type == filetype::kSecondaryDataG || type == filetype::kSecondaryDataGInc;
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) {
        const std::size_t colon = path.find(':');
        return colon == std::string::npos ? std::string() : path.substr(0, colon + 1);
    }
    if (slash == 2 && path.size() > 1 && path[1] == ':') return path.substr(0, 3);  // "C:\"
    return path.substr(0, slash);
}

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

void PutHint(unsigned char* p, std::uint32_t block) {
    const std::uint16_t v = static_cast<std::uint16_t>((block & 0xFFFF) ^ 0x8000);
    p[0] = static_cast<unsigned char>(v >> 8);
    p[1] = static_cast<unsigned char>(v & 0xFF);
}

std::string FindPassword(const std::vector<std::string>& passwords, std::uint32_t key,
                         const std::string& path) {
    for (const std::string& password : passwords) {
        if (PasswordKey(password) == key) return password;
    }
    if (passwords.empty()) {
        throw EDBEngineError(dbierr::kInvalidPassword,
                             "Table is password protected and no password was given.\r\nTable: " +
                                 path);
    }
    throw EDBEngineError(dbierr::kInvalidPassword, "Invalid password.\r\nTable: " + path);
}

// The chain of a table built in one piece: block j (1-based) holds records
// [firstRecord[j-1], firstRecord[j-1] + count[j-1]).
struct BuiltTable {
    std::vector<unsigned char> bytes;
    std::vector<IndexEntry> leaves;  // first key, block, count of every block
};

// Lays out `records` (already in their final order) in sequential blocks
// after the header. `keyLength` bytes of each block's first record make its
// index entry.
BuiltTable BuildTableBytes(TableHeader& header, const std::vector<std::vector<unsigned char>>& records,
                           int keyLength, std::uint32_t key) {
    const int recordSize = RecordSize(header.fields);
    const std::size_t blockSize = static_cast<std::size_t>(header.blockSize());
    const std::size_t perBlock = (blockSize - 6) / static_cast<std::size_t>(recordSize);
    const std::size_t blocks = (records.size() + perBlock - 1) / perBlock;
    if (blocks > kMaxBlocks) {
        throw EDBEngineError(dbierr::kTableFull, "Table is full.\r\nTable: " + header.tableName);
    }
    header.numRecords = static_cast<std::uint32_t>(records.size());
    header.fileBlocks = header.nextBlock = header.maxBlocks = header.lastBlock =
        static_cast<std::uint16_t>(blocks);
    header.firstBlock = blocks > 0 ? 1 : 0;
    BuiltTable built;
    built.bytes = BuildHeader(header);
    const std::size_t headerSize = built.bytes.size();
    built.bytes.resize(headerSize + blocks * blockSize, 0);
    for (std::size_t j = 0; j < blocks; ++j) {
        unsigned char* block = built.bytes.data() + headerSize + j * blockSize;
        const std::size_t first = j * perBlock;
        const std::size_t count = std::min(perBlock, records.size() - first);
        Put16(block, static_cast<std::uint16_t>(j + 1 < blocks ? j + 2 : 0));
        Put16(block + 2, static_cast<std::uint16_t>(j));
        Put16(block + 4, static_cast<std::uint16_t>((count - 1) * recordSize));
        for (std::size_t i = 0; i < count; ++i) {
            std::memcpy(block + 6 + i * recordSize, records[first + i].data(),
                        static_cast<std::size_t>(recordSize));
        }
        IndexEntry entry;
        entry.key.assign(reinterpret_cast<const char*>(block + 6), static_cast<std::size_t>(keyLength));
        entry.block = static_cast<std::uint16_t>(j + 1);
        entry.count = static_cast<std::uint32_t>(count);
        built.leaves.push_back(entry);
        if (key != 0) EncipherBlock(block, blockSize, key, static_cast<std::uint32_t>(j + 1));
    }
    return built;
}

// The header of the index file over a table-format file.
TableHeader IndexHeaderFor(const TableHeader& table, std::vector<FieldDef> keyFields,
                           std::uint8_t fileType, std::uint32_t key, const std::string& indexPath) {
    TableHeader index;
    index.fileType = fileType;
    index.maxTableSize = table.maxTableSize;
    index.fileVersionId = table.fileVersionId;
    index.sortOrder = table.sortOrder;
    index.fields = std::move(keyFields);
    index.tableName = FileNameOf(indexPath);
    index.encryption1 = key;
    return index;
}

void CheckLayout(const TableLayout& layout, const std::string& path) {
    auto bad = [&path](const std::string& why) {
        throw EDBEngineError(dbierr::kInvalidFieldDesc,
                             "Invalid table layout: " + why + ".\r\nTable: " + path);
    };
    if (layout.fields.empty() || layout.fields.size() > 255) bad("1 to 255 fields are needed");
    if (layout.keyFields < 0 || layout.keyFields > static_cast<int>(layout.fields.size())) {
        bad("more key fields than fields");
    }
    if (!IsValidBlockSizeCode(layout.blockSizeKiB)) bad("unknown block size");
    if (layout.level != 3 && layout.level != 4 && layout.level != 5 && layout.level != 7) {
        bad("unknown table level");
    }
    for (std::size_t i = 0; i < layout.fields.size(); ++i) {
        const FieldDef& def = layout.fields[i];
        if (def.name.empty() || def.name.size() > 25) bad("field names have 1 to 25 characters");
        for (std::size_t j = 0; j < i; ++j) {
            if (EqualsIgnoreCase(def.name, layout.fields[j].name)) bad("duplicate field " + def.name);
        }
        if (IsBlobType(def.type)) bad("BLOB fields cannot be created by this engine");
        if (def.type == FieldType::Alpha || def.type == FieldType::Bytes) {
            if (def.size < 1 || def.size > 255) bad("field " + def.name + " has a wrong size");
        } else if (def.size != FixedFieldSize(def.type)) {
            bad("field " + def.name + " has a wrong size");
        }
        if (def.type == FieldType::Bcd && (def.decimals < 0 || def.decimals > 32)) {
            bad("field " + def.name + " has a wrong number of decimals");
        }
    }
    if (RecordSize(layout.fields) + 6 > layout.blockSizeKiB * 1024) bad("the record does not fit a block");
}

}  // namespace

// ---------------------------------------------------------------------------
// Creating whole tables.

void CreateTable(const std::string& path, const TableLayout& layout, const std::vector<Row>& rows) {
    CheckLayout(layout, path);
    TableHeader header;
    header.fields = layout.fields;
    header.fileType = layout.keyFields > 0 ? filetype::kKeyedTable : filetype::kUnkeyedTable;
    header.maxTableSize = static_cast<std::uint8_t>(layout.blockSizeKiB);
    header.fileVersionId = FileVersionIdOfLevel(layout.level);
    header.primaryKeyFields = static_cast<std::uint16_t>(layout.keyFields);
    header.sortOrder = layout.sortOrder;
    header.sortOrderName = layout.sortOrderName;
    header.codePage = layout.codePage;
    header.tableName = layout.tableName.empty() ? FileNameOf(path) : layout.tableName;
    const std::uint32_t key = PasswordKey(layout.password);
    if (header.hasExtension()) {
        header.encryption2 = key;
    } else {
        header.encryption1 = key;
    }

    const std::vector<int> offsets = FieldOffsets(layout.fields);
    const int recordSize = RecordSize(layout.fields);
    std::vector<std::vector<unsigned char>> records;
    records.reserve(rows.size());
    std::int64_t autoInc = 0;
    for (const Row& row : rows) {
        for (std::size_t f = 0; f < layout.fields.size() && f < row.size(); ++f) {
            if (layout.fields[f].type == FieldType::AutoInc && row[f].kind() == Value::Kind::Integer) {
                autoInc = std::max(autoInc, row[f].integer());
            }
        }
    }
    for (const Row& row : rows) {
        if (row.size() != layout.fields.size()) {
            throw EDBEngineError(dbierr::kInvalidParameter,
                                 "A row does not have one value per field.\r\nTable: " + path);
        }
        std::vector<unsigned char> record(static_cast<std::size_t>(recordSize), 0);
        for (std::size_t f = 0; f < row.size(); ++f) {
            Value value = row[f];
            if (layout.fields[f].type == FieldType::AutoInc && value.isNull()) {
                value = Value::Integer(++autoInc);
            }
            EncodeField(layout.fields[f], value, record.data() + offsets[f]);
        }
        records.push_back(std::move(record));
    }
    header.autoInc = static_cast<std::uint32_t>(autoInc);

    const Collation collation = header.sortOrder == 0 ? Collation::Bytes : Collation::CaseFolded;
    if (layout.keyFields > 0) {
        auto less = [&](const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
            return CompareKeys(layout.fields, offsets, layout.keyFields, collation, a.data(),
                               b.data()) < 0;
        };
        std::stable_sort(records.begin(), records.end(), less);
        for (std::size_t i = 1; i < records.size(); ++i) {
            if (!less(records[i - 1], records[i])) {
                throw EDBEngineError(dbierr::kKeyViolation, "Key violation.\r\nTable: " + path);
            }
        }
    }
    const int keyLength = layout.keyFields > 0 ? offsets[static_cast<std::size_t>(layout.keyFields) - 1] +
                                                     layout.fields[static_cast<std::size_t>(layout.keyFields) - 1].size
                                               : 0;
    BuiltTable built = BuildTableBytes(header, records, keyLength, key);
    WriteWholeFile(path, built.bytes);
    if (layout.keyFields > 0) {
        const std::string indexPath = WithExtension(path, ".PX");
        std::vector<FieldDef> keyDefs(layout.fields.begin(), layout.fields.begin() + layout.keyFields);
        TableHeader index = IndexHeaderFor(header, keyDefs, filetype::kPrimaryIndex, key, indexPath);
        WriteWholeFile(indexPath, BuildIndexFile(index, built.leaves));
    }
}

void CreateSecondaryIndex(const std::string& path, const SecondaryIndexSpec& request,
                          const std::vector<std::string>& passwords) {
    auto table = TableFile::Open(path, passwords, TableFile::Mode::Read);
    const TableHeader& th = table->header();
    if (!table->keyed()) {
        throw EDBEngineError(dbierr::kInvalidParameter,
                             "A secondary index needs a keyed table.\r\nTable: " + path);
    }
    const int keyFields = table->keyFields();
    int indexed = -1;
    for (std::size_t f = 0; f < th.fields.size(); ++f) {
        if (EqualsIgnoreCase(th.fields[f].name, request.field)) indexed = static_cast<int>(f);
    }
    if (indexed < keyFields) {
        throw EDBEngineError(dbierr::kInvalidFieldDesc,
                             "No such field outside the primary key: " + request.field +
                                 ".\r\nTable: " + path);
    }
    const FieldDef& field = th.fields[static_cast<std::size_t>(indexed)];

    // X records: the indexed field, the table's key fields, the Hint (the
    // table block that holds the record).
    TableHeader x;
    x.fields.push_back(field);
    for (int k = 0; k < keyFields; ++k) x.fields.push_back(th.fields[static_cast<std::size_t>(k)]);
    x.fields.push_back(FieldDef::Of("Hint", FieldType::Short));
    x.fieldNumbers.push_back(static_cast<std::uint16_t>(indexed + 1));
    for (int k = 0; k < keyFields; ++k) x.fieldNumbers.push_back(static_cast<std::uint16_t>(k + 1));
    x.fieldNumbers.push_back(0);
    x.fileType = filetype::kSecondaryDataGInc;
    x.maxTableSize = th.maxTableSize;
    x.fileVersionId = th.fileVersionId;
    x.primaryKeyFields = static_cast<std::uint16_t>(1 + keyFields);
    x.indexFieldNumber = static_cast<std::uint8_t>(indexed + 1);
    x.indexDirection = th.fileVersionId >= 0x0C ? 0x01 : 0x00;
    x.sortOrder = th.sortOrder;
    x.sortOrderName = th.sortOrderName;
    x.codePage = th.codePage;
    x.indexName = request.name;
    const std::string xPath = WithExtension(path, ".XG" + std::to_string(request.number));
    const std::string yPath = WithExtension(path, ".YG" + std::to_string(request.number));
    x.tableName = FileNameOf(xPath);
    const std::uint32_t key = th.key();
    if (x.hasExtension()) {
        x.encryption2 = key;
    } else {
        x.encryption1 = key;
    }

    const std::vector<int> tableOffsets = table->offsets();
    const int keyLength = tableOffsets[static_cast<std::size_t>(keyFields) - 1] +
                          th.fields[static_cast<std::size_t>(keyFields) - 1].size;
    const int xRecordSize = field.size + keyLength + 2;
    std::vector<std::vector<unsigned char>> records;
    std::uint64_t position = 0;
    for (const TableFile::ChainEntry& entry : table->chain()) {
        for (std::uint16_t r = 0; r < entry.records; ++r, ++position) {
            const unsigned char* record = table->recordAt(position);
            std::vector<unsigned char> xr(static_cast<std::size_t>(xRecordSize), 0);
            std::memcpy(xr.data(), record + tableOffsets[static_cast<std::size_t>(indexed)],
                        static_cast<std::size_t>(field.size));
            std::memcpy(xr.data() + field.size, record, static_cast<std::size_t>(keyLength));
            PutHint(xr.data() + field.size + keyLength, entry.block);
            records.push_back(std::move(xr));
        }
    }
    const std::vector<FieldDef> keyDefs(th.fields.begin(), th.fields.begin() + keyFields);
    const std::vector<int> keyOffsets = FieldOffsets(keyDefs);
    const Collation collation = table->collation();
    std::stable_sort(records.begin(), records.end(),
                     [&](const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
                         const int c = field.type == FieldType::Alpha
                                           ? CompareAlpha(a.data(), b.data(), field.size,
                                                          request.caseInsensitive, !request.caseInsensitive)
                                           : std::memcmp(a.data(), b.data(), static_cast<std::size_t>(field.size));
                         if (c != 0) return c < 0;
                         return CompareKeys(keyDefs, keyOffsets, keyFields, collation,
                                            a.data() + field.size, b.data() + field.size) < 0;
                     });
    const int xKeyLength = field.size + keyLength;
    BuiltTable built = BuildTableBytes(x, records, xKeyLength, key);
    WriteWholeFile(xPath, built.bytes);

    std::vector<FieldDef> yFields(x.fields.begin(), x.fields.end() - 1);
    TableHeader y = IndexHeaderFor(x, yFields, filetype::kSecondaryIndexG, key, yPath);
    WriteWholeFile(yPath, BuildIndexFile(y, built.leaves));
}

std::vector<std::string> SecondaryIndexFiles(const std::string& path) {
    std::vector<std::string> found;
    std::string folder = FolderOf(path);
    const std::string listed = folder.empty() ? platform::files().currentFolder() : folder;
    const auto names = platform::files().list(listed);
    if (!names) return found;
    const std::string name = FileNameOf(path);
    const std::size_t dot = name.find_last_of('.');
    const std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    for (const std::string& candidate : *names) {
        const std::size_t d = candidate.find_last_of('.');
        if (d == std::string::npos || !EqualsIgnoreCase(candidate.substr(0, d), base)) continue;
        const std::string ext = UpperAnsi(candidate.substr(d + 1));
        if (ext.size() != 3 || (ext[0] != 'X' && ext[0] != 'Y')) continue;
        if ((ext[1] == 'G' && IsHex(ext[2])) || (IsHex(ext[1]) && IsHex(ext[2]))) {
            std::string full = folder;
            if (!full.empty() && full.back() != '\\' && full.back() != '/' && full.back() != ':') {
                full += '\\';
            }
            found.push_back(full + candidate);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

// ---------------------------------------------------------------------------
// Opening and reading.

std::unique_ptr<TableFile> TableFile::Open(const std::string& path,
                                           const std::vector<std::string>& passwords, Mode mode,
                                           bool anyTableFormat) {
    std::unique_ptr<TableFile> t(new TableFile);
    t->path_ = path;
    std::uint32_t error = 0;
    t->file_ = OpenShared(path, mode == Mode::ReadWrite, &error);
    t->writable_ = t->file_ != nullptr && mode == Mode::ReadWrite;
    if (!t->file_ && mode == Mode::ReadWrite &&
        (error == platform::error::kAccessDenied || error == platform::error::kSharingViolation)) {
        t->file_ = OpenShared(path, false, &error);
    }
    if (!t->file_) {
        if (error == platform::error::kFileNotFound || error == platform::error::kPathNotFound) {
            throw EDBEngineError(dbierr::kNoSuchTable, "Table does not exist.\r\nTable: " + path);
        }
        if (error == platform::error::kSharingViolation || error == platform::error::kLockViolation) {
            throw EDBEngineError(dbierr::kFileBusy, "Table is busy.\r\nTable: " + path);
        }
        ThrowFileError(dbierr::kFileNoAccess,
                       "Cannot open the table (error " + std::to_string(error) + ").", path);
    }

    RangeLock shared(*t->file_, kCommitLockOffset, false, path);
    const auto size = t->file_->size();
    if (!size) ThrowFileError(dbierr::kReadError, "Read failure.", path);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(std::min<std::uint64_t>(*size, hdr::kCommonEnd)));
    if (!bytes.empty() && !ReadExactly(*t->file_, 0, bytes.data(), bytes.size())) {
        ThrowFileError(dbierr::kReadError, "Read failure.", path);
    }
    if (bytes.size() == static_cast<std::size_t>(hdr::kCommonEnd)) {
        const std::uint64_t wanted = std::max<std::uint64_t>(StoredHeaderSize(bytes.data()), hdr::kCommonEnd);
        bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(*size, wanted)));
        if (!ReadExactly(*t->file_, 0, bytes.data(), bytes.size())) {
            ThrowFileError(dbierr::kReadError, "Read failure.", path);
        }
    }
    if (bytes.size() > static_cast<std::size_t>(hdr::kFileType)) {
        const std::uint8_t type = bytes[hdr::kFileType];
        if (!IsDataTableType(type) && !(anyTableFormat && IsSecondaryDataType(type))) {
            ThrowFileError(dbierr::kHeaderCorrupt,
                           "Corrupt table/index header (not a table: file type " + std::to_string(type) + ").",
                           path);
        }
    }
    t->header_ = ParseHeader(bytes, path);
    t->key_ = t->header_.key();
    if (t->key_ != 0) FindPassword(passwords, t->key_, path);
    t->offsets_ = FieldOffsets(t->header_.fields);
    t->collation_ = (t->header_.sortOrder == 0 || EqualsIgnoreCase(t->header_.sortOrderName, "ascii"))
                        ? Collation::Bytes
                        : Collation::CaseFolded;
    t->fixedLength_ = t->header_.hasExtension() ? hdr::kExtensionEnd : hdr::kCommonEnd;
    t->fixed_.assign(bytes.begin(), bytes.begin() + t->fixedLength_);
    t->walkChain();
    return t;
}

TableFile::~TableFile() = default;

bool TableFile::keyed() const {
    return header_.fileType != filetype::kUnkeyedTable && header_.primaryKeyFields > 0;
}

std::uint64_t TableFile::blockOffset(std::uint32_t block) const {
    return header_.headerSize + std::uint64_t(block - 1) * static_cast<std::uint64_t>(header_.blockSize());
}

void TableFile::readHeaderFixed(std::vector<unsigned char>* bytes) {
    bytes->resize(static_cast<std::size_t>(fixedLength_));
    if (!ReadExactly(*file_, 0, bytes->data(), bytes->size())) {
        ThrowFileError(dbierr::kReadError, "Read failure.", path_);
    }
}

void TableFile::adoptCounters(const std::vector<unsigned char>& fixed) {
    const unsigned char* b = fixed.data();
    if (Get16(b + hdr::kRecordSize) != header_.recordSize ||
        Get16(b + hdr::kHeaderSize) != header_.headerSize ||
        Get16(b + hdr::kNumFields) != header_.fields.size() ||
        b[hdr::kMaxTableSize] != header_.maxTableSize) {
        ThrowFileError(dbierr::kHeaderCorrupt,
                       "Corrupt table/index header (its structure changed while it was open).", path_);
    }
    header_.numRecords = Get32(b + hdr::kNumRecords);
    header_.nextBlock = Get16(b + hdr::kNextBlock);
    header_.fileBlocks = Get16(b + hdr::kFileBlocks);
    header_.firstBlock = Get16(b + hdr::kFirstBlock);
    header_.lastBlock = Get16(b + hdr::kLastBlock);
    header_.changeCount1 = b[hdr::kChangeCount1];
    header_.maxBlocks = Get16(b + hdr::kMaxBlocks);
    header_.autoInc = Get32(b + hdr::kAutoInc);
    header_.firstFreeBlock = Get16(b + hdr::kFirstFreeBlock);
}

void TableFile::readBlockHeader(std::uint32_t block, unsigned char out6[6]) {
    if (key_ == 0) {
        if (!ReadExactly(*file_, blockOffset(block), out6, 6)) {
            ThrowFileError(dbierr::kReadError, "Read failure in block " + std::to_string(block) + ".", path_);
        }
        return;
    }
    unsigned char chunk[256];
    if (!ReadExactly(*file_, blockOffset(block), chunk, sizeof chunk)) {
        ThrowFileError(dbierr::kReadError, "Read failure in block " + std::to_string(block) + ".", path_);
    }
    DecipherBlock(chunk, sizeof chunk, key_, block);
    std::memcpy(out6, chunk, 6);
}

void TableFile::readBlockPlain(std::uint32_t block, std::vector<unsigned char>* plain) {
    plain->resize(static_cast<std::size_t>(header_.blockSize()));
    if (!ReadExactly(*file_, blockOffset(block), plain->data(), plain->size())) {
        ThrowFileError(dbierr::kReadError, "Read failure in block " + std::to_string(block) + ".", path_);
    }
    if (key_ != 0) DecipherBlock(plain->data(), plain->size(), key_, block);
}

void TableFile::walkChain() {
    snapshotValid_ = false;
    chain_.clear();
    starts_.clear();
    firstKeys_.clear();
    total_ = 0;
    cachedIndex_ = static_cast<std::size_t>(-1);
    const auto size = file_->size();
    if (!size) ThrowFileError(dbierr::kReadError, "Read failure.", path_);
    const std::uint64_t blockSize = static_cast<std::uint64_t>(header_.blockSize());
    if (*size < header_.headerSize) {
        ThrowFileError(dbierr::kHeaderCorrupt, "Corrupt table/index header (the file is shorter than its header).",
                       path_);
    }
    const std::uint64_t physical = (*size - header_.headerSize) / blockSize;
    if (header_.fileBlocks > physical) {
        ThrowFileError(dbierr::kFileCorrupt,
                       "The table file is truncated: its header counts " +
                           std::to_string(header_.fileBlocks) + " blocks, the file holds " +
                           std::to_string(physical) + ".",
                       path_);
    }
    std::vector<bool> visited(static_cast<std::size_t>(physical) + 1, false);
    std::uint32_t block = header_.firstBlock;
    while (block != 0) {
        if (block > physical) {
            ThrowFileError(dbierr::kFileCorrupt,
                           "Block number " + std::to_string(block) + " is out of range (the file holds " +
                               std::to_string(physical) + " blocks).",
                           path_);
        }
        if (visited[block]) {
            ThrowFileError(dbierr::kFileCorrupt,
                           "The block chain has a cycle (block " + std::to_string(block) +
                               " is reached twice).",
                           path_);
        }
        visited[block] = true;
        unsigned char head[6];
        readBlockHeader(block, head);
        const std::int16_t add = static_cast<std::int16_t>(Get16(head + 4));
        std::uint16_t records = 0;
        if (add >= 0) {
            if (add % header_.recordSize != 0 ||
                6 + static_cast<std::uint64_t>(add) + header_.recordSize > blockSize) {
                ThrowFileError(dbierr::kFileCorrupt,
                               "Block " + std::to_string(block) +
                                   " holds a record count that does not fit the block.",
                               path_);
            }
            records = static_cast<std::uint16_t>(add / header_.recordSize + 1);
        }
        chain_.push_back({static_cast<std::uint16_t>(block), records});
        starts_.push_back(total_);
        total_ += records;
        block = Get16(head);
    }
    snapshotValid_ = true;
}

void TableFile::syncSnapshot() {
    std::vector<unsigned char> now;
    readHeaderFixed(&now);
    if (!snapshotValid_ || now != fixed_) {
        adoptCounters(now);
        fixed_ = now;
        walkChain();
    }
}

bool TableFile::refresh() {
    RangeLock shared(*file_, kCommitLockOffset, false, path_);
    std::vector<unsigned char> now;
    readHeaderFixed(&now);
    if (snapshotValid_ && now == fixed_) return false;
    adoptCounters(now);
    fixed_ = now;
    walkChain();
    return true;
}

bool TableFile::loadBlock(std::size_t chainIndex) {
    RangeLock shared(*file_, kCommitLockOffset, false, path_);
    std::vector<unsigned char> now;
    readHeaderFixed(&now);
    if (!snapshotValid_ || now != fixed_) {
        adoptCounters(now);
        fixed_ = now;
        walkChain();
        return false;
    }
    const ChainEntry& entry = chain_[chainIndex];
    readBlockPlain(entry.block, &cache_);
    const std::int16_t add = static_cast<std::int16_t>(Get16(cache_.data() + 4));
    const int records = add < 0 ? 0 : add / header_.recordSize + 1;
    if (records != entry.records || Get16(cache_.data()) !=
                                        (chainIndex + 1 < chain_.size() ? chain_[chainIndex + 1].block : 0)) {
        walkChain();  // changed without a header update: read it again
        return false;
    }
    cachedIndex_ = chainIndex;
    return true;
}

const unsigned char* TableFile::recordAt(std::uint64_t position) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (position >= total_) return nullptr;
        const auto it = std::upper_bound(starts_.begin(), starts_.end(), position);
        const std::size_t index = static_cast<std::size_t>(it - starts_.begin()) - 1;
        if (index == cachedIndex_ || loadBlock(index)) {
            return cache_.data() + 6 + (position - starts_[index]) * header_.recordSize;
        }
    }
    ThrowFileError(dbierr::kFileCorrupt, "The table keeps changing while it is read.", path_);
}

void TableFile::ensureFirstKeys() {
    if (firstKeys_.size() == chain_.size()) return;
    const int keyFields = this->keyFields();
    const std::size_t keyLength = static_cast<std::size_t>(
        offsets_[static_cast<std::size_t>(keyFields) - 1] + header_.fields[static_cast<std::size_t>(keyFields) - 1].size);
    firstKeys_.clear();
    std::vector<unsigned char> buffer;
    for (const ChainEntry& entry : chain_) {
        if (entry.records == 0) {
            firstKeys_.emplace_back();
            continue;
        }
        std::size_t length = 6 + keyLength;
        if (key_ != 0) length = (length + 255) / 256 * 256;
        buffer.resize(length);
        if (!ReadExactly(*file_, blockOffset(entry.block), buffer.data(), length)) {
            ThrowFileError(dbierr::kReadError, "Read failure in block " + std::to_string(entry.block) + ".",
                           path_);
        }
        if (key_ != 0) DecipherBlock(buffer.data(), length, key_, entry.block);
        firstKeys_.emplace_back(reinterpret_cast<const char*>(buffer.data() + 6), keyLength);
    }
}

void TableFile::checkSecondaryIndexes() {
    if (secondaryChecked_) return;
    const std::vector<std::string> indexes = SecondaryIndexFiles(path_);
    if (!indexes.empty()) {
        throw EDBEngineError(dbierr::kNotSupported,
                             "Table has secondary indexes that this engine cannot maintain, so it is "
                             "not changed (" + FileNameOf(indexes.front()) + ").\r\nTable: " + path_);
    }
    secondaryChecked_ = true;
}

bool TableFile::flush() {
    bool ok = file_->flush();
    if (keyed() && writable_) {
        std::uint32_t error = 0;
        auto index = OpenShared(WithExtension(path_, ".PX"), true, &error);
        if (index) ok = index->flush() && ok;
    }
    return ok;
}

// ---------------------------------------------------------------------------
// Writing.
//
// Order of writes. A post never overwrites a block that a reader could be
// following in a way that leaves it half changed, so that at every moment
// between two writes (and after a writer dies between two writes) the file
// is a valid table holding either the records before the post or those
// after it:
//
// * New bytes go first where nothing points yet: the unused tail of a block
//   beyond its record count, a block past the end of the file, or a block
//   taken off the free list (the header that drops it from the list is
//   written before the block is).
// * A change that must become visible is then published by small writes
//   that each turn one valid table into another: a block header (next,
//   prev, record count: 6 bytes, or the 256-byte first cipher chunk of a
//   protected table, both inside one disk sector) or the fixed part of the
//   file header (the first 0x78 bytes, one sector).
// * A block whose records must move (an insert before its last record, or
//   a split) is never rewritten in place while it is reachable. Its old
//   contents are first copied to a spare block, the chain is pointed at the
//   spare, the block is rewritten while nothing reaches it, and the chain
//   is pointed back. The block keeps its number, so the final file is
//   exactly what an in-place update would give (the primary index entries
//   stay on the same blocks); the spare is freed again, by truncating the
//   file when it is the last block.
// * The file header's counters (record count, block counts, change count)
//   are written last; a reader takes the chain as the truth and tolerates a
//   count that lags it. The primary index is rewritten after that, blocks
//   first and its header last; it is derived data, rebuilt by every post.
// * A post that fails part way (a write refused, the disk full) writes the
//   old bytes back in the reverse order, so every step of the way back is
//   again a valid table, and ends with the table and its primary index as
//   they were: the header's counts agree with the chain and the index with
//   the blocks again, as other readers of these files expect. Only a writer
//   that dies mid-post leaves one of the states in between.
//
// Other processes of this engine additionally see none of the intermediate
// states: a writer holds the commit lock exclusively while it writes, and a
// reader holds it shared while it reads a block (table_locks.h). A
// copy-and-replace of the whole file was rejected: Windows cannot replace a
// file that other programs hold open, and it would break their locks.

void TableFile::invalidate() {
    snapshotValid_ = false;
    firstKeys_.clear();
    cachedIndex_ = static_cast<std::size_t>(-1);
}

void TableFile::writeBytes(std::uint64_t offset, const void* data, std::size_t length) {
    if (undo_.recording && offset < undo_.tableSize) {
        // Bytes past the old end of the file go with the truncation.
        const std::size_t kept = static_cast<std::size_t>(
            std::min<std::uint64_t>(length, undo_.tableSize - offset));
        std::vector<unsigned char> old(kept);
        if (!ReadExactly(*file_, offset, old.data(), kept)) {
            ThrowFileError(dbierr::kReadError, "Read failure.", path_);
        }
        undo_.tableBytes.emplace_back(offset, std::move(old));
    }
    if (!file_->writeAt(offset, data, length)) {
        ThrowFileError(dbierr::kWriteError, "Write failure.", path_);
    }
}

void TableFile::writeBlock(std::uint32_t block, const std::vector<unsigned char>& plain) {
    std::vector<unsigned char> bytes(plain);
    if (key_ != 0) EncipherBlock(bytes.data(), bytes.size(), key_, block);
    writeBytes(blockOffset(block), bytes.data(), bytes.size());
}

void TableFile::writeBlockHeader(std::uint32_t block, const std::vector<unsigned char>& plain) {
    if (key_ == 0) {
        writeBytes(blockOffset(block), plain.data(), 6);
        return;
    }
    unsigned char chunk[256];
    std::memcpy(chunk, plain.data(), sizeof chunk);
    EncipherBlock(chunk, sizeof chunk, key_, block);
    writeBytes(blockOffset(block), chunk, sizeof chunk);
}

// `after` differs from `before` by records added after the last one and by
// the record count: the new records first, the count last.
void TableFile::writeGrownBlock(std::uint32_t block, const std::vector<unsigned char>& before,
                                const std::vector<unsigned char>& after) {
    if (key_ == 0) {
        std::size_t from = 6;
        while (from < after.size() && before[from] == after[from]) ++from;
        std::size_t to = after.size();
        while (to > from && before[to - 1] == after[to - 1]) --to;
        if (to > from) writeBytes(blockOffset(block) + from, after.data() + from, to - from);
        writeBlockHeader(block, after);
        return;
    }
    std::vector<unsigned char> cipher(after);
    EncipherBlock(cipher.data(), cipher.size(), key_, block);
    for (std::size_t chunk = 256; chunk < after.size(); chunk += 256) {
        if (std::memcmp(before.data() + chunk, after.data() + chunk, 256) != 0) {
            writeBytes(blockOffset(block) + chunk, cipher.data() + chunk, 256);
        }
    }
    writeBytes(blockOffset(block), cipher.data(), 256);
}

void TableFile::setLinks(std::uint32_t block, int next, int prev) {
    std::vector<unsigned char> plain(256);
    if (key_ == 0) {
        plain.resize(6);
        if (!ReadExactly(*file_, blockOffset(block), plain.data(), 6)) {
            ThrowFileError(dbierr::kReadError, "Read failure in block " + std::to_string(block) + ".", path_);
        }
    } else {
        if (!ReadExactly(*file_, blockOffset(block), plain.data(), 256)) {
            ThrowFileError(dbierr::kReadError, "Read failure in block " + std::to_string(block) + ".", path_);
        }
        DecipherBlock(plain.data(), 256, key_, block);
    }
    if (next != kKeep) Put16(plain.data(), static_cast<std::uint16_t>(next));
    if (prev != kKeep) Put16(plain.data() + 2, static_cast<std::uint16_t>(prev));
    writeBlockHeader(block, plain);
}

void TableFile::writeHeaderFixed() {
    unsigned char* b = fixed_.data();
    Put32(b + hdr::kNumRecords, header_.numRecords);
    Put16(b + hdr::kNextBlock, header_.nextBlock);
    Put16(b + hdr::kFileBlocks, header_.fileBlocks);
    Put16(b + hdr::kFirstBlock, header_.firstBlock);
    Put16(b + hdr::kLastBlock, header_.lastBlock);
    b[hdr::kChangeCount1] = header_.changeCount1;
    Put16(b + hdr::kMaxBlocks, header_.maxBlocks);
    Put32(b + hdr::kAutoInc, header_.autoInc);
    Put16(b + hdr::kFirstFreeBlock, header_.firstFreeBlock);
    writeBytes(0, fixed_.data(), fixed_.size());
}

// Places `plain` in a block nothing points to and returns its number: one
// from the free list (dropped from the list before it is written) or one
// past the end of the file (written before the header counts it).
std::uint32_t TableFile::newBlock(const std::vector<unsigned char>& plain) {
    const auto size = file_->size();
    if (!size) ThrowFileError(dbierr::kReadError, "Read failure.", path_);
    const std::uint64_t physical = (*size - header_.headerSize) / header_.blockSize();
    if (header_.firstFreeBlock != 0) {
        const std::uint32_t block = header_.firstFreeBlock;
        bool inChain = false;
        for (const ChainEntry& entry : chain_) inChain = inChain || entry.block == block;
        if (block > physical || inChain) {
            ThrowFileError(dbierr::kFileCorrupt, "The list of free blocks is damaged.", path_);
        }
        unsigned char head[6];
        readBlockHeader(block, head);
        header_.firstFreeBlock = Get16(head);
        writeHeaderFixed();
        writeBlock(block, plain);
        return block;
    }
    const std::uint32_t block = std::uint32_t(header_.fileBlocks) + 1;
    if (block > kMaxBlocks) {
        throw EDBEngineError(dbierr::kTableFull, "Table is full.\r\nTable: " + path_);
    }
    writeBlock(block, plain);
    header_.fileBlocks = header_.nextBlock = header_.maxBlocks = static_cast<std::uint16_t>(block);
    return block;
}

// Gives back a block that nothing points to any more.
void TableFile::releaseBlock(std::uint32_t block) {
    if (block == header_.fileBlocks) {
        header_.fileBlocks = header_.nextBlock = header_.maxBlocks =
            static_cast<std::uint16_t>(block - 1);
        writeHeaderFixed();
        file_->truncate(blockOffset(block));  // a failure only leaves an unused tail
        return;
    }
    std::vector<unsigned char> plain(256, 0);
    if (key_ == 0) plain.resize(6);
    if (key_ != 0) {
        if (!ReadExactly(*file_, blockOffset(block), plain.data(), 256)) {
            ThrowFileError(dbierr::kReadError, "Read failure in block " + std::to_string(block) + ".", path_);
        }
        DecipherBlock(plain.data(), 256, key_, block);
    }
    Put16(plain.data(), header_.firstFreeBlock);
    Put16(plain.data() + 2, 0);
    Put16(plain.data() + 4, static_cast<std::uint16_t>(-static_cast<int>(header_.recordSize)));
    writeBlockHeader(block, plain);
    header_.firstFreeBlock = static_cast<std::uint16_t>(block);
    writeHeaderFixed();
}

// Rewrites the reachable block chain_[chainIndex] with `plain` through a
// spare block (see the order of writes above). `lastOfRun` is the block the
// successor must point back to afterwards: the block itself, or the new
// block that follows it after a split.
void TableFile::replaceBlock(std::size_t chainIndex, const std::vector<unsigned char>& plain,
                             std::uint32_t lastOfRun) {
    const std::uint32_t block = chain_[chainIndex].block;
    const std::uint32_t pred = chainIndex > 0 ? chain_[chainIndex - 1].block : 0;
    const std::uint32_t succ = chainIndex + 1 < chain_.size() ? chain_[chainIndex + 1].block : 0;
    auto pointAt = [&](std::uint32_t target, std::uint32_t last) {
        if (pred != 0) {
            setLinks(pred, static_cast<int>(target), kKeep);
        } else {
            header_.firstBlock = static_cast<std::uint16_t>(target);
            writeHeaderFixed();
        }
        if (succ != 0) {
            setLinks(succ, kKeep, static_cast<int>(last));
        } else {
            header_.lastBlock = static_cast<std::uint16_t>(last);
            writeHeaderFixed();
        }
    };
    std::vector<unsigned char> old;
    readBlockPlain(block, &old);
    const std::uint32_t spare = newBlock(old);
    pointAt(spare, spare);
    writeBlock(block, plain);
    pointAt(block, lastOfRun);
    releaseBlock(spare);
}

void TableFile::writePrimaryIndex() {
    const int keyFields = this->keyFields();
    std::vector<FieldDef> keyDefs(header_.fields.begin(), header_.fields.begin() + keyFields);
    const std::string indexPath = WithExtension(path_, ".PX");
    TableHeader index = IndexHeaderFor(header_, keyDefs, filetype::kPrimaryIndex, key_, indexPath);
    std::vector<IndexEntry> leaves;
    for (std::size_t i = 0; i < chain_.size(); ++i) {
        if (chain_[i].records == 0) continue;
        IndexEntry entry;
        entry.key = firstKeys_[i];
        entry.block = chain_[i].block;
        entry.count = chain_[i].records;
        leaves.push_back(entry);
    }
    const std::vector<unsigned char> bytes = BuildIndexFile(index, leaves);
    platform::Files& files = platform::files();
    const auto openIndex = [&](std::uint32_t disposition) {
        return files.open(indexPath, platform::access::kRead | platform::access::kWrite,
                          platform::share::kRead | platform::share::kWrite, disposition);
    };
    bool created = false;
    auto file = openIndex(platform::disposition::kOpenExisting);
    if (!file && (files.lastError() == platform::error::kFileNotFound)) {
        file = openIndex(platform::disposition::kCreateNew);
        created = file != nullptr;
    }
    if (!file) ThrowFileError(dbierr::kFileNoAccess, "Cannot open the primary index.", indexPath);
    if (undo_.recording && !undo_.indexSaved) {
        const auto size = file->size();
        std::vector<unsigned char> old(size ? static_cast<std::size_t>(*size) : 0);
        if (!size || (!old.empty() && !ReadExactly(*file, 0, old.data(), old.size()))) {
            ThrowFileError(dbierr::kReadError, "Read failure.", indexPath);
        }
        undo_.indexSaved = true;
        undo_.indexCreated = created;
        undo_.indexBytes = std::move(old);
    }
    const std::size_t headerSize = index.headerSize;
    if ((bytes.size() > headerSize &&
         !file->writeAt(headerSize, bytes.data() + headerSize, bytes.size() - headerSize)) ||
        !file->writeAt(0, bytes.data(), headerSize) || !file->truncate(bytes.size())) {
        ThrowFileError(dbierr::kWriteError, "Write failure.", indexPath);
    }
}

// Best effort, and the post's own error is the one reported. The way back
// stops at the first write refused, which leaves one of the valid states
// between two writes of the post; the tail is cut only once the header no
// longer counts its blocks.
void TableFile::rollBack() {
    Undo undo = std::move(undo_);
    undo_ = Undo{};
    for (auto it = undo.tableBytes.rbegin(); it != undo.tableBytes.rend(); ++it) {
        if (!file_->writeAt(it->first, it->second.data(), it->second.size())) return;
    }
    if (!file_->truncate(undo.tableSize)) return;
    if (!undo.indexSaved) return;
    platform::Files& files = platform::files();
    const std::string indexPath = WithExtension(path_, ".PX");
    if (undo.indexCreated) {
        files.deleteFile(indexPath);
        return;
    }
    auto index = files.open(indexPath, platform::access::kRead | platform::access::kWrite,
                            platform::share::kRead | platform::share::kWrite,
                            platform::disposition::kOpenExisting);
    if (!index) return;
    if (!undo.indexBytes.empty()) index->writeAt(0, undo.indexBytes.data(), undo.indexBytes.size());
    index->truncate(undo.indexBytes.size());
}

std::uint64_t TableFile::append(std::vector<unsigned char> record) {
    if (!writable_) {
        throw EDBEngineError(dbierr::kFileNoAccess, "Table is read only.\r\nTable: " + path_);
    }
    if (record.size() != header_.recordSize) {
        throw EDBEngineError(dbierr::kInvalidParameter, "Wrong record size.\r\nTable: " + path_);
    }
    checkSecondaryIndexes();
    RangeLock writer(*file_, kWriterLockOffset, true, path_);
    RangeLock commit(*file_, kCommitLockOffset, true, path_);
    try {
        syncSnapshot();
        const auto size = file_->size();
        if (!size) ThrowFileError(dbierr::kReadError, "Read failure.", path_);
        undo_.tableSize = *size;
        undo_.recording = true;
        // New blocks are taken after the header's count: a chain or free
        // list reaching past it would have a live block overwritten or cut.
        for (const ChainEntry& entry : chain_) {
            if (entry.block > header_.fileBlocks) {
                ThrowFileError(dbierr::kFileCorrupt,
                               "Block number " + std::to_string(entry.block) + " lies beyond the " +
                                   std::to_string(header_.fileBlocks) + " blocks the header counts.",
                               path_);
            }
        }
        if (header_.firstFreeBlock > header_.fileBlocks) {
            ThrowFileError(dbierr::kFileCorrupt, "The list of free blocks is damaged.", path_);
        }
        for (std::size_t f = 0; f < header_.fields.size(); ++f) {
            const FieldDef& def = header_.fields[f];
            if (def.type != FieldType::AutoInc) continue;
            unsigned char* p = record.data() + offsets_[f];
            const Value given = DecodeField(def, p);
            if (given.isNull()) {
                header_.autoInc += 1;
                EncodeField(def, Value::Integer(header_.autoInc), p);
            } else if (given.integer() > static_cast<std::int64_t>(header_.autoInc)) {
                header_.autoInc = static_cast<std::uint32_t>(given.integer());
            }
        }

        const std::size_t recordSize = header_.recordSize;
        const std::size_t blockSize = static_cast<std::size_t>(header_.blockSize());
        const std::size_t capacity = (blockSize - 6) / recordSize;
        const int keyFields = this->keyFields();
        std::uint64_t position = 0;

        auto blockWith = [&](const std::vector<const unsigned char*>& records, std::uint32_t next,
                             std::uint32_t prev) {
            std::vector<unsigned char> plain(blockSize, 0);
            Put16(plain.data(), static_cast<std::uint16_t>(next));
            Put16(plain.data() + 2, static_cast<std::uint16_t>(prev));
            Put16(plain.data() + 4, static_cast<std::uint16_t>((static_cast<int>(records.size()) - 1) *
                                                               static_cast<int>(recordSize)));
            for (std::size_t i = 0; i < records.size(); ++i) {
                std::memcpy(plain.data() + 6 + i * recordSize, records[i], recordSize);
            }
            return plain;
        };
        const std::string newKey =
            keyFields > 0 ? std::string(reinterpret_cast<const char*>(record.data()),
                                        static_cast<std::size_t>(offsets_[static_cast<std::size_t>(keyFields) - 1] +
                                                                 header_.fields[static_cast<std::size_t>(keyFields) - 1].size))
                          : std::string();
        if (keyFields > 0) ensureFirstKeys();

        if (chain_.empty()) {
            const std::uint32_t block = newBlock(blockWith({record.data()}, 0, 0));
            header_.firstBlock = header_.lastBlock = static_cast<std::uint16_t>(block);
            chain_.push_back({static_cast<std::uint16_t>(block), 1});
            starts_.push_back(0);
            firstKeys_.push_back(newKey);
            total_ = 1;
        } else {
            // The block that takes the record, and its place there.
            std::size_t index = chain_.size() - 1;
            if (keyFields > 0) {
                std::size_t candidate = chain_.size();
                for (std::size_t i = 0; i < chain_.size(); ++i) {
                    if (chain_[i].records == 0) continue;
                    if (candidate == chain_.size()) candidate = i;  // first non-empty block
                    if (CompareKeys(header_.fields, offsets_, keyFields, collation_,
                                    reinterpret_cast<const unsigned char*>(firstKeys_[i].data()),
                                    record.data()) <= 0) {
                        candidate = i;
                    }
                }
                index = candidate == chain_.size() ? 0 : candidate;
            }
            const std::uint32_t block = chain_[index].block;
            std::vector<unsigned char> before;
            readBlockPlain(block, &before);
            const std::size_t count = chain_[index].records;
            std::size_t at = count;
            if (keyFields > 0) {
                std::size_t lo = 0, hi = count;
                while (lo < hi) {
                    const std::size_t mid = (lo + hi) / 2;
                    const int c = CompareKeys(header_.fields, offsets_, keyFields, collation_,
                                              before.data() + 6 + mid * recordSize, record.data());
                    if (c == 0) {
                        throw EDBEngineError(dbierr::kKeyViolation, "Key violation.\r\nTable: " + path_);
                    }
                    if (c < 0) {
                        lo = mid + 1;
                    } else {
                        hi = mid;
                    }
                }
                at = lo;
            }
            std::vector<const unsigned char*> records;
            for (std::size_t i = 0; i < count; ++i) records.push_back(before.data() + 6 + i * recordSize);
            records.insert(records.begin() + static_cast<std::ptrdiff_t>(at), record.data());
            const std::uint32_t next = Get16(before.data());
            const std::uint32_t prev = Get16(before.data() + 2);

            if (count < capacity) {
                const std::vector<unsigned char> after = blockWith(records, next, prev);
                if (at == count) {
                    writeGrownBlock(block, before, after);
                } else {
                    replaceBlock(index, after, block);
                }
                chain_[index].records = static_cast<std::uint16_t>(count + 1);
                if (keyFields > 0 && at == 0) firstKeys_[index] = newKey;
                for (std::size_t i = index + 1; i < starts_.size(); ++i) ++starts_[i];
                position = starts_[index] + at;
            } else if (index + 1 == chain_.size() && at == count) {
                // The last block is full and the record goes last: a new block.
                const std::uint32_t added = newBlock(blockWith({record.data()}, 0, block));
                setLinks(block, static_cast<int>(added), kKeep);
                header_.lastBlock = static_cast<std::uint16_t>(added);
                starts_.push_back(total_);
                chain_.push_back({static_cast<std::uint16_t>(added), 1});
                firstKeys_.push_back(newKey);
                position = total_;
            } else {
                // Split: the lower half stays, the upper half goes to a new
                // block linked after it.
                const std::size_t keep = records.size() / 2 + records.size() % 2;
                std::vector<const unsigned char*> lower(records.begin(), records.begin() + static_cast<std::ptrdiff_t>(keep));
                std::vector<const unsigned char*> upper(records.begin() + static_cast<std::ptrdiff_t>(keep), records.end());
                const std::string upperKey =
                    keyFields > 0 ? std::string(reinterpret_cast<const char*>(upper.front()), newKey.size())
                                  : std::string();
                const std::string lowerKey =
                    keyFields > 0 ? std::string(reinterpret_cast<const char*>(lower.front()), newKey.size())
                                  : std::string();
                const std::uint32_t added = newBlock(blockWith(upper, next, block));
                replaceBlock(index, blockWith(lower, added, prev), added);
                chain_[index].records = static_cast<std::uint16_t>(lower.size());
                chain_.insert(chain_.begin() + static_cast<std::ptrdiff_t>(index) + 1,
                              {static_cast<std::uint16_t>(added), static_cast<std::uint16_t>(upper.size())});
                if (keyFields > 0) {
                    firstKeys_[index] = lowerKey;
                    firstKeys_.insert(firstKeys_.begin() + static_cast<std::ptrdiff_t>(index) + 1, upperKey);
                }
                starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(index) + 1,
                               starts_[index] + lower.size());
                for (std::size_t i = index + 2; i < starts_.size(); ++i) ++starts_[i];
                position = starts_[index] + at;
            }
            ++total_;
        }
        header_.numRecords = static_cast<std::uint32_t>(total_);
        header_.changeCount1 = static_cast<std::uint8_t>(header_.changeCount1 + 1);
        writeHeaderFixed();
        cachedIndex_ = static_cast<std::size_t>(-1);
        if (keyFields > 0) writePrimaryIndex();
        undo_ = Undo{};
        return position;
    } catch (...) {
        if (undo_.recording) rollBack();
        invalidate();
        throw;
    }
}

}  // namespace engine
