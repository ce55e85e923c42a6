// The header of a Paradox table-format file (.DB, .Xnn, .XGn) or
// index-format file (.PX, .Ynn, .YGn): parsing with validation, and
// building (paradox-format.md, sections 4 and 6.1).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/FieldTypes.h"

namespace engine {

namespace filetype {
constexpr std::uint8_t kKeyedTable = 0;
constexpr std::uint8_t kPrimaryIndex = 1;
constexpr std::uint8_t kUnkeyedTable = 2;
constexpr std::uint8_t kSecondaryData = 3;        // .Xnn, not maintained
constexpr std::uint8_t kSecondaryIndex = 4;       // .Ynn
constexpr std::uint8_t kSecondaryDataInc = 5;     // .Xnn, maintained
constexpr std::uint8_t kSecondaryDataG = 6;       // .XGn, not maintained
constexpr std::uint8_t kSecondaryIndexG = 7;      // .YGn
constexpr std::uint8_t kSecondaryDataGInc = 8;    // .XGn, maintained
}  // namespace filetype

// Offsets of the fixed header fields the engine reads or writes.
namespace hdr {
constexpr int kRecordSize = 0x00;
constexpr int kHeaderSize = 0x02;
constexpr int kFileType = 0x04;
constexpr int kMaxTableSize = 0x05;
constexpr int kNumRecords = 0x06;
constexpr int kNextBlock = 0x0A;
constexpr int kFileBlocks = 0x0C;
constexpr int kFirstBlock = 0x0E;
constexpr int kLastBlock = 0x10;
constexpr int kIndexFieldNumber = 0x15;
constexpr int kIndexRoot = 0x1E;
constexpr int kIndexLevels = 0x20;
constexpr int kNumFields = 0x21;
constexpr int kPrimaryKeyFields = 0x23;
constexpr int kEncryption1 = 0x25;
constexpr int kSortOrder = 0x29;
constexpr int kChangeCount1 = 0x2D;
constexpr int kChangeCount2 = 0x2E;
constexpr int kFileVersionId = 0x39;
constexpr int kMaxBlocks = 0x3A;
constexpr int kAutoInc = 0x49;
constexpr int kFirstFreeBlock = 0x4D;
constexpr int kRealHeaderSize = 0x51;
constexpr int kIndexDirection = 0x55;
constexpr int kFileVerId2 = 0x58;
constexpr int kFileVerId3 = 0x5A;
constexpr int kEncryption2 = 0x5C;
constexpr int kFileUpdateTime = 0x60;
constexpr int kHiFieldId = 0x64;
constexpr int kCodePage = 0x6A;
constexpr int kCommonEnd = 0x58;     // end of the part every file has
constexpr int kExtensionEnd = 0x78;  // end of the v4+ table-format extension
}  // namespace hdr

// The block sizes (in KiB) a table may use.
bool IsValidBlockSizeCode(int kib);

struct TableHeader {
    std::uint16_t recordSize = 0;
    std::uint16_t headerSize = 0x800;
    std::uint8_t fileType = filetype::kUnkeyedTable;
    std::uint8_t maxTableSize = 16;  // block size in KiB
    std::uint32_t numRecords = 0;
    std::uint16_t nextBlock = 0;
    std::uint16_t fileBlocks = 0;
    std::uint16_t firstBlock = 0;
    std::uint16_t lastBlock = 0;
    std::uint8_t indexFieldNumber = 0;
    std::uint16_t indexRoot = 0;     // index files
    std::uint8_t indexLevels = 0;    // index files
    std::uint16_t primaryKeyFields = 0;
    std::uint32_t encryption1 = 0;
    std::uint8_t sortOrder = 0x62;
    std::uint8_t changeCount1 = 0;
    std::uint8_t changeCount2 = 0;
    std::uint8_t fileVersionId = 0x0C;
    std::uint16_t maxBlocks = 0;
    std::uint32_t autoInc = 0;
    std::uint16_t firstFreeBlock = 0;
    std::uint8_t indexDirection = 0;  // X files: 0x01 ascending (v7)
    // Paradox 4+ table-format extension.
    std::uint32_t encryption2 = 0;
    std::uint32_t fileUpdateTime = 0;
    std::uint16_t codePage = 1252;

    std::vector<FieldDef> fields;   // index files: the key fields (no names stored)
    std::string tableName;          // as stored (the file name)
    std::vector<std::uint16_t> fieldNumbers;  // table-format files
    std::string sortOrderName = "ANSIINTL";   // table-format files
    std::string indexName;          // X files only

    bool isIndexFormat() const;     // PX / Y
    bool hasExtension() const;      // v4+ table format: the 0x58-0x77 part
    int blockSize() const { return maxTableSize * 1024; }
    // The cipher key: encryption2 for v4+ table-format files, else encryption1.
    std::uint32_t key() const;
};

// Parses a header from the first bytes of a file (at least the header's own
// headerSize when the file is that long). `path` names the file in errors.
// Throws EDBEngineError (corrupt header) for anything that does not fit.
TableHeader ParseHeader(const std::vector<unsigned char>& bytes, const std::string& path);

// The header size a parse needs to read: headerSize, from the first bytes.
std::uint16_t StoredHeaderSize(const unsigned char* first0x58);

// Builds the header bytes. realHeaderSize is computed; headerSize is raised
// to the next multiple of 0x800 when the content does not fit.
std::vector<unsigned char> BuildHeader(TableHeader& header);

// The length of the stored table name for a file version.
int TableNameLength(std::uint8_t fileVersionId);
// The file version id and fileVerID2 of a table level (3, 4, 5, 7).
std::uint8_t FileVersionIdOfLevel(int level);

// Little-endian helpers.
inline std::uint16_t Get16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t Get32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
inline void Put16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v & 0xFF);
    p[1] = static_cast<unsigned char>(v >> 8);
}
inline void Put32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>((v >> (8 * i)) & 0xFF);
}

}  // namespace engine
