// Index-format files: the primary index .PX of a keyed table and the .Ynn /
// .YGn part of a secondary index (paradox-format.md, sections 6 and 7.3).
//
// An index file is a B-tree in blocks of the data-block shape (next, prev,
// addDataSize, then entries). An entry is the key bytes followed by three
// S-encoded 16-bit values: the block it points to, a record count and a
// third value that is 0. Level-1 entries point to data blocks (one per
// block, in chain order, with the block's first key and record count);
// higher levels point to index blocks. The layout written here is the one
// pxlib writes and reads: the root in block 1, then the levels below it,
// all blocks in one chain, numRecords counting the entries of all blocks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/table_header.h"

namespace engine {

struct IndexEntry {
    std::string key;            // encoded key bytes
    std::uint16_t block = 0;    // data block (level 1) or index block
    std::uint32_t count = 0;    // records below this entry
};

// Builds the bytes of a whole index file. `header` supplies the key fields,
// file type, version, block size, sort order, table name and cipher key
// (encryption1); its counters are filled in. `leaves` are the level-1
// entries in chain order. Blocks are enciphered when the key is not 0.
std::vector<unsigned char> BuildIndexFile(TableHeader& header,
                                          const std::vector<IndexEntry>& leaves);

// An index file as read back: its header and, per level (index 0 = level
// 1), the entries of that level in chain order.
struct IndexContents {
    TableHeader header;
    std::vector<std::vector<IndexEntry>> levels;
};

// Reads and checks an index file (chain, levels, counts, entry sizes).
// Throws EDBEngineError (corrupt index) naming `path`.
IndexContents ReadIndexFile(const std::string& path);

}  // namespace engine
