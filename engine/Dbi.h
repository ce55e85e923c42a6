// The engine's cursor entry that the data module's AfterPost handler calls
// (in the original engine, IDAPI32.DLL's export by ordinal 65, taking one
// cursor handle).
#pragma once

#include <cstdint>

#include "engine/EngineError.h"

namespace engine {

// A cursor handle: the handle of an open Table (Table::Handle()).
using hDBICur = std::uint32_t;

// Writes everything posted through the cursor's table to the disk
// (FlushFileBuffers on the table file and its primary index). Returns
// dbierr::kNone, dbierr::kInvalidHandle for a handle that is not an open
// table's, or dbierr::kWriteError when the disk refuses.
DBIResult DbiSaveChanges(hDBICur cursor);

}  // namespace engine
