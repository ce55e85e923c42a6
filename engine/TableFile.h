// A Paradox table file (.DB) opened for reading or for appending, and the
// creation of whole tables with their primary and secondary indexes.
//
// All file work goes through platform::files(), so the same code runs on
// the Win32 backend and on the simulated machine.
//
// Reading: the header is checked field by field and the block chain is
// walked from the first block, with every block number checked against the
// file and a cycle check, before any record is handed out; a damaged file
// raises EDBEngineError naming the file and is never read out of bounds.
// Records are addressed by their position in chain order (which is key
// order for a keyed table); blocks are read when first needed.
//
// Writing: see the comment at TableFile::append for the order of writes
// that keeps every block a reader can reach whole at every moment.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/FieldTypes.h"
#include "engine/record_codec.h"
#include "engine/table_header.h"
#include "platform/Files.h"

namespace engine {

// The layout of a table to create.
struct TableLayout {
    std::vector<FieldDef> fields;
    int keyFields = 0;           // leading fields forming the primary key; 0 = unkeyed
    int blockSizeKiB = 16;       // 1, 2, 3, 4, 8, 16 or 32
    int level = 7;               // Paradox table level: 3, 4, 5 or 7
    std::string password;        // empty: not protected
    std::uint16_t codePage = 1252;
    std::uint8_t sortOrder = 0x62;
    std::string sortOrderName = "ANSIINTL";
    std::string tableName;       // stored in the header; default: the file name
};

// A case-insensitive (or case-sensitive) secondary index on one field.
struct SecondaryIndexSpec {
    std::string field;
    std::string name;            // the index name stored in the X file
    bool caseInsensitive = true;
    int number = 0;              // .XG<number> / .YG<number>
};

// Creates `path` (a .DB) with `rows` and, for a keyed layout, its .PX.
// Rows of a keyed table are stored in key order; a duplicate key is a key
// violation. Existing files of those names are replaced. The output depends
// only on the arguments (no time stamps, no uninitialised bytes).
void CreateTable(const std::string& path, const TableLayout& layout,
                 const std::vector<Row>& rows);

// Builds the maintained secondary index pair .XGn / .YGn of an existing
// keyed table (enciphered like the table). Any earlier pair of that number
// is replaced.
void CreateSecondaryIndex(const std::string& path, const SecondaryIndexSpec& request,
                          const std::vector<std::string>& passwords);

// The secondary index files that belong to a table (.Xnn, .Ynn, .XGn,
// .YGn), as found in its folder.
std::vector<std::string> SecondaryIndexFiles(const std::string& path);

class TableFile {
public:
    enum class Mode { Read, ReadWrite };

    // Opens a table. A protected table needs one of `passwords`; a missing or
    // wrong password raises EDBEngineError. ReadWrite falls back to
    // read-only access when the file cannot be written (append then fails).
    // `anyTableFormat` also admits the X file of a secondary index.
    static std::unique_ptr<TableFile> Open(const std::string& path,
                                           const std::vector<std::string>& passwords,
                                           Mode mode, bool anyTableFormat = false);
    ~TableFile();

    const std::string& path() const { return path_; }
    const TableHeader& header() const { return header_; }
    const std::vector<FieldDef>& fields() const { return header_.fields; }
    const std::vector<int>& offsets() const { return offsets_; }
    int recordSize() const { return header_.recordSize; }
    int keyFields() const { return keyed() ? header_.primaryKeyFields : 0; }
    bool keyed() const;
    bool encrypted() const { return key_ != 0; }
    bool writable() const { return writable_; }
    Collation collation() const { return collation_; }

    // Records in the table as last seen.
    std::uint64_t recordCount() const { return total_; }

    // Looks for changes made through other handles (other programs); true
    // when the table changed since it was last seen.
    bool refresh();

    // The encoded record at `position` (0-based, chain order). The pointer
    // stays valid until the next call on this object. Null past the end.
    const unsigned char* recordAt(std::uint64_t position);

    // Appends one encoded record (recordSize() bytes), in key order for a
    // keyed table (a duplicate key raises a key violation). Fills in a blank
    // AutoInc field. Returns the record's position.
    std::uint64_t append(std::vector<unsigned char> record);

    // Pushes everything written to the disk (FlushFileBuffers).
    bool flush();

    // The physical block numbers of the chain and their record counts, as
    // last seen (for tests and the index builders).
    struct ChainEntry {
        std::uint16_t block = 0;
        std::uint16_t records = 0;
    };
    const std::vector<ChainEntry>& chain() const { return chain_; }

private:
    TableFile() = default;

    std::uint64_t blockOffset(std::uint32_t block) const;
    void readHeaderFixed(std::vector<unsigned char>* bytes);
    void adoptCounters(const std::vector<unsigned char>& fixed);
    void walkChain();
    void syncSnapshot();
    void readBlockPlain(std::uint32_t block, std::vector<unsigned char>* plain);
    void readBlockHeader(std::uint32_t block, unsigned char out6[6]);
    bool loadBlock(std::size_t chainIndex);
    void ensureFirstKeys();
    void checkSecondaryIndexes();

    // Writing.
    void writeBytes(std::uint64_t offset, const void* data, std::size_t length);
    void writeBlock(std::uint32_t block, const std::vector<unsigned char>& plain);
    void writeBlockHeader(std::uint32_t block, const std::vector<unsigned char>& plain);
    void writeGrownBlock(std::uint32_t block, const std::vector<unsigned char>& before,
                         const std::vector<unsigned char>& after);
    void setLinks(std::uint32_t block, int next, int prev);
    void writeHeaderFixed();
    std::uint32_t newBlock(const std::vector<unsigned char>& plain);
    void releaseBlock(std::uint32_t block);
    void replaceBlock(std::size_t chainIndex, const std::vector<unsigned char>& plain,
                      std::uint32_t lastOfRun);
    void writePrimaryIndex();
    void invalidate();
    void rollBack();

    std::string path_;
    std::unique_ptr<platform::OpenFile> file_;
    bool writable_ = false;
    TableHeader header_;
    std::vector<int> offsets_;
    std::uint32_t key_ = 0;
    Collation collation_ = Collation::Bytes;
    int fixedLength_ = 0;                   // bytes of the header's fixed part
    std::vector<unsigned char> fixed_;      // that part, as last seen or written
    bool snapshotValid_ = false;

    std::vector<ChainEntry> chain_;
    std::vector<std::uint64_t> starts_;     // position of each block's first record
    std::uint64_t total_ = 0;
    std::vector<std::string> firstKeys_;    // keyed tables, loaded by writers
    bool secondaryChecked_ = false;

    std::size_t cachedIndex_ = static_cast<std::size_t>(-1);
    std::vector<unsigned char> cache_;

    // What the post under way has overwritten, so that a post that fails
    // part way puts the table and its primary index back as they were:
    // the two stay in step, and a reader that trusts the header's counts
    // over the chain finds them true again.
    struct Undo {
        bool recording = false;
        std::uint64_t tableSize = 0;
        std::vector<std::pair<std::uint64_t, std::vector<unsigned char>>> tableBytes;
        bool indexSaved = false;
        bool indexCreated = false;
        std::vector<unsigned char> indexBytes;
    };
    Undo undo_;
};

}  // namespace engine
