#include "engine/table_header.h"

#include <cstring>

#include "engine/EngineError.h"
#include "engine/record_codec.h"

namespace engine {

namespace {

[[noreturn]] void Corrupt(const std::string& path, const std::string& why) {
    ThrowFileError(dbierr::kHeaderCorrupt, "Corrupt table/index header (" + why + ").", path);
}

bool IsIndexFormatType(std::uint8_t fileType) {
    return fileType == filetype::kPrimaryIndex || fileType == filetype::kSecondaryIndex ||
           fileType == filetype::kSecondaryIndexG;
}

// Checks one field-info entry and turns it into a field definition.
FieldDef FieldFromInfo(std::uint8_t code, std::uint8_t sizeByte, const std::string& path,
                       std::size_t index) {
    const std::string which = "field " + std::to_string(index + 1);
    if (!IsKnownFieldType(code)) Corrupt(path, which + " has the unknown type " + std::to_string(code));
    FieldDef def;
    def.type = static_cast<FieldType>(code);
    switch (def.type) {
        case FieldType::Alpha:
        case FieldType::Bytes:
            if (sizeByte == 0) Corrupt(path, which + " has the size 0");
            def.size = sizeByte;
            break;
        case FieldType::Bcd:
            if (sizeByte > 32) Corrupt(path, which + " has more than 32 decimals");
            def.size = 17;
            def.decimals = sizeByte;
            break;
        case FieldType::Memo:
        case FieldType::Binary:
        case FieldType::FormattedMemo:
        case FieldType::Ole:
        case FieldType::Graphic:
            if (sizeByte < 10) Corrupt(path, which + " is a BLOB field shorter than 10 bytes");
            def.size = sizeByte;
            break;
        default:
            if (sizeByte != FixedFieldSize(def.type)) {
                Corrupt(path, which + " has the wrong size for its type");
            }
            def.size = sizeByte;
            break;
    }
    return def;
}

}  // namespace

bool IsValidBlockSizeCode(int kib) {
    return kib == 1 || kib == 2 || kib == 3 || kib == 4 || kib == 8 || kib == 16 || kib == 32;
}

bool TableHeader::isIndexFormat() const { return IsIndexFormatType(fileType); }

bool TableHeader::hasExtension() const { return !isIndexFormat() && fileVersionId >= 5; }

std::uint32_t TableHeader::key() const { return hasExtension() ? encryption2 : encryption1; }

int TableNameLength(std::uint8_t fileVersionId) { return fileVersionId >= 0x0C ? 261 : 79; }

std::uint8_t FileVersionIdOfLevel(int level) {
    switch (level) {
        case 3: return 0x03;
        case 4: return 0x09;
        case 5: return 0x0B;
        default: return 0x0C;
    }
}

std::uint16_t StoredHeaderSize(const unsigned char* first0x58) {
    return Get16(first0x58 + hdr::kHeaderSize);
}

TableHeader ParseHeader(const std::vector<unsigned char>& bytes, const std::string& path) {
    if (bytes.size() < static_cast<std::size_t>(hdr::kCommonEnd)) {
        Corrupt(path, "the file is shorter than a header");
    }
    const unsigned char* b = bytes.data();
    TableHeader h;
    h.recordSize = Get16(b + hdr::kRecordSize);
    h.headerSize = Get16(b + hdr::kHeaderSize);
    h.fileType = b[hdr::kFileType];
    h.maxTableSize = b[hdr::kMaxTableSize];
    h.numRecords = Get32(b + hdr::kNumRecords);
    h.nextBlock = Get16(b + hdr::kNextBlock);
    h.fileBlocks = Get16(b + hdr::kFileBlocks);
    h.firstBlock = Get16(b + hdr::kFirstBlock);
    h.lastBlock = Get16(b + hdr::kLastBlock);
    h.indexFieldNumber = b[hdr::kIndexFieldNumber];
    h.indexRoot = Get16(b + hdr::kIndexRoot);
    h.indexLevels = b[hdr::kIndexLevels];
    const std::uint16_t numFields = Get16(b + hdr::kNumFields);
    h.primaryKeyFields = Get16(b + hdr::kPrimaryKeyFields);
    h.encryption1 = Get32(b + hdr::kEncryption1);
    h.sortOrder = b[hdr::kSortOrder];
    h.changeCount1 = b[hdr::kChangeCount1];
    h.changeCount2 = b[hdr::kChangeCount2];
    h.fileVersionId = b[hdr::kFileVersionId];
    h.maxBlocks = Get16(b + hdr::kMaxBlocks);
    h.autoInc = Get32(b + hdr::kAutoInc);
    h.firstFreeBlock = Get16(b + hdr::kFirstFreeBlock);
    h.indexDirection = b[hdr::kIndexDirection];

    if (h.fileType > filetype::kSecondaryDataGInc) {
        Corrupt(path, "unknown file type " + std::to_string(h.fileType));
    }
    if (h.fileVersionId < 3 || h.fileVersionId > 0x0C) {
        Corrupt(path, "unknown file version " + std::to_string(h.fileVersionId));
    }
    if (!IsValidBlockSizeCode(h.maxTableSize)) {
        Corrupt(path, "unknown block size code " + std::to_string(h.maxTableSize));
    }
    const int infoStart = h.hasExtension() ? hdr::kExtensionEnd : hdr::kCommonEnd;
    if (h.headerSize < infoStart) Corrupt(path, "the header size is too small");
    if (bytes.size() < h.headerSize) Corrupt(path, "the file is shorter than its header");
    if (h.hasExtension()) {
        h.encryption2 = Get32(b + hdr::kEncryption2);
        h.fileUpdateTime = Get32(b + hdr::kFileUpdateTime);
        h.codePage = Get16(b + hdr::kCodePage);
    }
    if (numFields == 0 || numFields > 255) {
        Corrupt(path, "the field count " + std::to_string(numFields) + " is out of range");
    }
    const std::size_t end = h.headerSize;
    std::size_t p = static_cast<std::size_t>(infoStart);
    if (p + 2u * numFields > end) Corrupt(path, "the field count does not fit the header");
    int fieldBytes = 0;
    for (std::size_t i = 0; i < numFields; ++i) {
        h.fields.push_back(FieldFromInfo(b[p], b[p + 1], path, i));
        fieldBytes += h.fields.back().size;
        p += 2;
    }
    const int expected = h.isIndexFormat() ? fieldBytes + 6 : fieldBytes;
    if (h.recordSize != expected) {
        Corrupt(path, "the record size " + std::to_string(h.recordSize) +
                          " does not match the fields (" + std::to_string(expected) + ")");
    }
    if (h.recordSize + 6 > h.blockSize()) Corrupt(path, "the record size exceeds the block size");
    if (!h.isIndexFormat() && h.primaryKeyFields > numFields) {
        Corrupt(path, "more key fields than fields");
    }

    // Variable part: table-name pointer, field-name pointers, table name,
    // field names (table format only), field numbers, sort-order name.
    p += 4;
    if (!h.isIndexFormat()) p += 4u * numFields;
    const std::size_t nameLength = static_cast<std::size_t>(TableNameLength(h.fileVersionId));
    if (p + nameLength > end) Corrupt(path, "the field count does not fit the header");
    {
        std::size_t n = 0;
        while (n < nameLength && b[p + n] != 0) ++n;
        h.tableName.assign(reinterpret_cast<const char*>(b + p), n);
    }
    p += nameLength;
    if (h.isIndexFormat()) return h;

    for (std::size_t i = 0; i < numFields; ++i) {
        std::size_t n = 0;
        while (p + n < end && b[p + n] != 0) ++n;
        if (p + n >= end) Corrupt(path, "the field names do not fit the header");
        h.fields[i].name.assign(reinterpret_cast<const char*>(b + p), n);
        p += n + 1;
    }
    // What follows is informative only (BDE-encrypted tables may carry
    // crypt information here that this engine does not interpret).
    if (p + 2u * numFields <= end) {
        for (std::size_t i = 0; i < numFields; ++i) h.fieldNumbers.push_back(Get16(b + p + 2 * i));
        std::size_t q = p + 2u * numFields;
        std::size_t n = 0;
        while (q + n < end && b[q + n] != 0) ++n;
        if (q + n < end) {
            h.sortOrderName.assign(reinterpret_cast<const char*>(b + q), n);
            q += n + 1;
            if (h.fileType == filetype::kSecondaryData || h.fileType == filetype::kSecondaryDataInc ||
                h.fileType == filetype::kSecondaryDataG ||
                h.fileType == filetype::kSecondaryDataGInc) {
                std::size_t m = 0;
                while (q + m < end && b[q + m] != 0) ++m;
                if (q + m < end) h.indexName.assign(reinterpret_cast<const char*>(b + q), m);
            }
        } else {
            h.sortOrderName.clear();
        }
    } else {
        h.sortOrderName.clear();
    }
    return h;
}

std::vector<unsigned char> BuildHeader(TableHeader& h) {
    const bool index = h.isIndexFormat();
    const bool extension = h.hasExtension();
    const std::size_t n = h.fields.size();

    // Variable part first, to know the size.
    std::vector<unsigned char> tail;
    auto put = [&tail](const void* data, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        tail.insert(tail.end(), p, p + size);
    };
    for (const FieldDef& def : h.fields) {
        const unsigned char info[2] = {
            static_cast<unsigned char>(def.type),
            static_cast<unsigned char>(def.type == FieldType::Bcd ? def.decimals : def.size)};
        put(info, 2);
    }
    tail.insert(tail.end(), 4, 0);                     // table-name pointer
    if (!index) tail.insert(tail.end(), 4 * n, 0);     // field-name pointers
    std::vector<unsigned char> name(static_cast<std::size_t>(TableNameLength(h.fileVersionId)), 0);
    std::memcpy(name.data(), h.tableName.data(),
                h.tableName.size() < name.size() - 1 ? h.tableName.size() : name.size() - 1);
    put(name.data(), name.size());
    if (!index) {
        for (const FieldDef& def : h.fields) put(def.name.c_str(), def.name.size() + 1);
        if (h.fileVersionId >= 5) {
            for (std::size_t i = 0; i < n; ++i) {
                unsigned char number[2];
                Put16(number, i < h.fieldNumbers.size() ? h.fieldNumbers[i]
                                                        : static_cast<std::uint16_t>(i + 1));
                put(number, 2);
            }
            put(h.sortOrderName.c_str(), h.sortOrderName.size() + 1);
            if (!h.indexName.empty()) put(h.indexName.c_str(), h.indexName.size() + 1);
        }
    }
    const std::size_t start = extension ? hdr::kExtensionEnd : hdr::kCommonEnd;
    const std::size_t real = start + tail.size();
    std::size_t size = h.headerSize < 0x800 ? 0x800 : h.headerSize;
    while (size < real) size += 0x800;
    h.headerSize = static_cast<std::uint16_t>(size);

    std::vector<unsigned char> bytes(size, 0);
    unsigned char* b = bytes.data();
    h.recordSize = static_cast<std::uint16_t>(RecordSize(h.fields) + (index ? 6 : 0));
    Put16(b + hdr::kRecordSize, h.recordSize);
    Put16(b + hdr::kHeaderSize, h.headerSize);
    b[hdr::kFileType] = h.fileType;
    b[hdr::kMaxTableSize] = h.maxTableSize;
    Put32(b + hdr::kNumRecords, h.numRecords);
    Put16(b + hdr::kNextBlock, h.nextBlock);
    Put16(b + hdr::kFileBlocks, h.fileBlocks);
    Put16(b + hdr::kFirstBlock, h.firstBlock);
    Put16(b + hdr::kLastBlock, h.lastBlock);
    b[hdr::kIndexFieldNumber] = h.indexFieldNumber;
    if (index) {
        Put16(b + hdr::kIndexRoot, h.indexRoot);
        b[hdr::kIndexLevels] = h.indexLevels;
    }
    Put16(b + hdr::kNumFields, static_cast<std::uint16_t>(n));
    Put16(b + hdr::kPrimaryKeyFields, index ? 0 : h.primaryKeyFields);
    Put32(b + hdr::kEncryption1, extension ? 0xFF00FF00u : h.encryption1);
    b[hdr::kSortOrder] = h.sortOrder;
    b[hdr::kChangeCount1] = h.changeCount1;
    b[hdr::kChangeCount2] = h.changeCount2;
    b[hdr::kFileVersionId] = h.fileVersionId;
    Put16(b + hdr::kMaxBlocks, h.maxBlocks);
    Put32(b + hdr::kAutoInc, h.autoInc);
    Put16(b + hdr::kFirstFreeBlock, h.firstFreeBlock);
    Put16(b + hdr::kRealHeaderSize, static_cast<std::uint16_t>(real));
    b[hdr::kIndexDirection] = h.indexDirection;
    if (extension) {
        const std::uint16_t verId = static_cast<std::uint16_t>(0x0100 | h.fileVersionId);
        Put16(b + hdr::kFileVerId2, verId);
        Put16(b + hdr::kFileVerId3, verId);
        Put32(b + hdr::kEncryption2, h.encryption2);
        Put32(b + hdr::kFileUpdateTime, h.fileUpdateTime);
        Put16(b + hdr::kHiFieldId, static_cast<std::uint16_t>(n + 1));
        Put16(b + hdr::kCodePage, h.codePage);
    }
    std::memcpy(b + start, tail.data(), tail.size());
    return bytes;
}

}  // namespace engine
