#include "engine/index_file.h"

#include <cstring>
#include <map>
#include <set>

#include "engine/EngineError.h"
#include "engine/file_access.h"
#include "engine/paradox_cipher.h"
#include "engine/record_codec.h"

namespace engine {

namespace {

// The three trailing values of an entry are S-encoded 16-bit numbers.
void PutS16(unsigned char* p, std::uint32_t value) {
    const std::uint16_t v = static_cast<std::uint16_t>((value & 0xFFFF) ^ 0x8000);
    p[0] = static_cast<unsigned char>(v >> 8);
    p[1] = static_cast<unsigned char>(v & 0xFF);
}

std::uint16_t GetS16(const unsigned char* p) {
    return static_cast<std::uint16_t>(((p[0] << 8) | p[1]) ^ 0x8000);
}

[[noreturn]] void CorruptIndex(const std::string& path, const std::string& why) {
    ThrowFileError(dbierr::kIndexCorrupt, "Index is corrupt (" + why + ").", path);
}

}  // namespace

std::vector<unsigned char> BuildIndexFile(TableHeader& header,
                                          const std::vector<IndexEntry>& leaves) {
    const int keyLength = RecordSize(header.fields);
    const int entrySize = keyLength + 6;
    const int blockSize = header.blockSize();
    const std::size_t perBlock = static_cast<std::size_t>((blockSize - 6) / entrySize);

    // levels[0] = level 1 (the leaves); each higher level has one entry per
    // block of the level below, until one block (the root) holds them all.
    std::vector<std::vector<IndexEntry>> levels;
    levels.push_back(leaves);
    while (levels.back().size() > perBlock) {
        const std::vector<IndexEntry>& below = levels.back();
        std::vector<IndexEntry> parent;
        for (std::size_t i = 0; i < below.size(); i += perBlock) {
            IndexEntry entry;
            entry.key = below[i].key;
            for (std::size_t j = i; j < below.size() && j < i + perBlock; ++j) {
                entry.count += below[j].count;
            }
            parent.push_back(entry);
        }
        levels.push_back(parent);
    }

    // Block numbers top-down: the root is block 1, then each level below.
    std::vector<std::size_t> firstBlockOfLevel(levels.size());
    std::size_t next = 1;
    for (std::size_t l = levels.size(); l-- > 0;) {
        firstBlockOfLevel[l] = next;
        next += levels[l].empty() ? 0 : (levels[l].size() + perBlock - 1) / perBlock;
    }
    const std::size_t blockCount = next - 1;
    for (std::size_t l = 1; l < levels.size(); ++l) {
        for (std::size_t i = 0; i < levels[l].size(); ++i) {
            levels[l][i].block = static_cast<std::uint16_t>(firstBlockOfLevel[l - 1] + i);
        }
    }

    header.numRecords = 0;
    for (const auto& level : levels) header.numRecords += static_cast<std::uint32_t>(level.size());
    header.fileBlocks = header.nextBlock = header.maxBlocks = header.lastBlock =
        static_cast<std::uint16_t>(blockCount);
    header.firstBlock = blockCount > 0 ? 1 : 0;
    header.indexRoot = blockCount > 0 ? 1 : 0;
    header.indexLevels = static_cast<std::uint8_t>(levels.size());
    header.primaryKeyFields = 0;
    std::vector<unsigned char> bytes = BuildHeader(header);

    const std::size_t headerSize = bytes.size();
    bytes.resize(headerSize + blockCount * static_cast<std::size_t>(blockSize), 0);
    for (std::size_t l = levels.size(); l-- > 0;) {
        const std::vector<IndexEntry>& entries = levels[l];
        for (std::size_t i = 0; i < entries.size(); i += perBlock) {
            const std::size_t number = firstBlockOfLevel[l] + i / perBlock;
            unsigned char* block = bytes.data() + headerSize + (number - 1) * blockSize;
            const std::size_t n = entries.size() - i < perBlock ? entries.size() - i : perBlock;
            Put16(block, static_cast<std::uint16_t>(number < blockCount ? number + 1 : 0));
            Put16(block + 2, static_cast<std::uint16_t>(number - 1));
            Put16(block + 4, static_cast<std::uint16_t>((n - 1) * entrySize));
            for (std::size_t j = 0; j < n; ++j) {
                const IndexEntry& entry = entries[i + j];
                unsigned char* e = block + 6 + j * entrySize;
                std::memcpy(e, entry.key.data(),
                            entry.key.size() < static_cast<std::size_t>(keyLength)
                                ? entry.key.size()
                                : static_cast<std::size_t>(keyLength));
                PutS16(e + keyLength, entry.block);
                PutS16(e + keyLength + 2, entry.count);
                PutS16(e + keyLength + 4, 0);
            }
            if (header.encryption1 != 0) {
                EncipherBlock(block, static_cast<std::size_t>(blockSize), header.encryption1,
                              static_cast<std::uint32_t>(number));
            }
        }
    }
    return bytes;
}

IndexContents ReadIndexFile(const std::string& path) {
    std::vector<unsigned char> bytes = ReadWholeFile(path);
    IndexContents contents;
    contents.header = ParseHeader(bytes, path);
    const TableHeader& h = contents.header;
    if (!h.isIndexFormat()) CorruptIndex(path, "not an index file");
    const std::size_t blockSize = static_cast<std::size_t>(h.blockSize());
    const std::size_t physical = (bytes.size() - h.headerSize) / blockSize;
    if (h.fileBlocks > physical) CorruptIndex(path, "the file is truncated");
    const int keyLength = h.recordSize - 6;

    // Every block of the chain, deciphered, by block number.
    std::map<std::uint16_t, std::vector<IndexEntry>> blocks;
    std::vector<std::uint16_t> chain;
    std::uint16_t number = h.firstBlock;
    std::uint16_t previous = 0;
    while (number != 0) {
        if (number > h.fileBlocks) CorruptIndex(path, "block number out of range");
        if (blocks.count(number)) CorruptIndex(path, "cycle in the block chain");
        std::vector<unsigned char> block(bytes.begin() + h.headerSize + (number - 1) * blockSize,
                                         bytes.begin() + h.headerSize + number * blockSize);
        if (h.encryption1 != 0) DecipherBlock(block.data(), blockSize, h.encryption1, number);
        const std::int16_t add = static_cast<std::int16_t>(Get16(block.data() + 4));
        if (Get16(block.data() + 2) != previous) CorruptIndex(path, "broken back link");
        std::vector<IndexEntry> entries;
        if (add >= 0) {
            if (add % h.recordSize != 0 ||
                6 + static_cast<std::size_t>(add) + h.recordSize > blockSize) {
                CorruptIndex(path, "entry count does not fit the block");
            }
            const int n = add / h.recordSize + 1;
            for (int i = 0; i < n; ++i) {
                const unsigned char* e = block.data() + 6 + i * h.recordSize;
                IndexEntry entry;
                entry.key.assign(reinterpret_cast<const char*>(e), static_cast<std::size_t>(keyLength));
                entry.block = GetS16(e + keyLength);
                entry.count = GetS16(e + keyLength + 2);
                entries.push_back(entry);
            }
        }
        blocks[number] = entries;
        chain.push_back(number);
        previous = number;
        number = Get16(block.data());
    }
    if (chain.empty()) {
        contents.levels.emplace_back();
        return contents;
    }
    if (h.indexLevels < 1 || !blocks.count(h.indexRoot)) CorruptIndex(path, "no root block");

    // Walk down from the root, one level at a time.
    std::vector<std::uint16_t> current{h.indexRoot};
    std::set<std::uint16_t> seen{h.indexRoot};
    std::vector<std::vector<IndexEntry>> topDown;
    for (int level = h.indexLevels; level >= 1; --level) {
        std::vector<IndexEntry> entries;
        std::vector<std::uint16_t> below;
        for (std::uint16_t b : current) {
            for (const IndexEntry& e : blocks[b]) {
                entries.push_back(e);
                if (level > 1) {
                    if (!blocks.count(e.block) || seen.count(e.block)) {
                        CorruptIndex(path, "entry points to a missing block");
                    }
                    seen.insert(e.block);
                    std::uint32_t sum = 0;
                    for (const IndexEntry& child : blocks[e.block]) sum += child.count;
                    if ((sum & 0xFFFF) != e.count) CorruptIndex(path, "counts do not add up");
                    below.push_back(e.block);
                }
            }
        }
        topDown.push_back(entries);
        current = below;
    }
    if (seen.size() != blocks.size()) CorruptIndex(path, "blocks outside the tree");
    contents.levels.assign(topDown.rbegin(), topDown.rend());
    return contents;
}

}  // namespace engine
