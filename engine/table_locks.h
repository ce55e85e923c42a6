// Byte-range locks that coordinate the engine's readers and writers of one
// table file, in every process and on every machine that opens it.
//
// Two one-byte regions far beyond any data (table files are limited to
// 65535 blocks of at most 32 KiB, about 2 GiB, so the regions never cover
// data bytes, and a lock there never blocks a plain read or write of the
// file, which matters on Windows where byte-range locks are mandatory):
//
//   writer region  exclusive, held by a writer for a whole post: writers of
//                  one table take turns.
//   commit region  exclusive, held by a writer while it changes the file;
//                  shared, held by a reader while it reads the header and
//                  one block. A reader of this engine therefore never reads
//                  a block while a writer is changing it.
//
// The locks fail at once rather than wait (LockFileEx with
// LOCKFILE_FAIL_IMMEDIATELY), so taking one retries for a bounded time and
// then reports the table as busy.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Files.h"

namespace engine {

constexpr std::uint64_t kWriterLockOffset = 0x7FFFFF00;
constexpr std::uint64_t kCommitLockOffset = 0x7FFFFF01;

// How long a lock is retried before the table counts as busy, and how
// often. Tests shorten it.
struct LockTiming {
    std::uint32_t timeoutMs = 10000;
    std::uint32_t retryMs = 5;
};
LockTiming& CurrentLockTiming();

// A held lock on one region; released by its destructor. Throws
// EDBEngineError (table busy) naming `path` when the lock cannot be had.
class RangeLock {
public:
    RangeLock(platform::OpenFile& file, std::uint64_t offset, bool exclusive,
              const std::string& path);
    ~RangeLock();
    RangeLock(const RangeLock&) = delete;
    RangeLock& operator=(const RangeLock&) = delete;

private:
    platform::OpenFile& file_;
    std::uint64_t offset_;
};

}  // namespace engine
