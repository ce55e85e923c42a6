// The handles of open tables, for the engine entries that take a cursor.
#pragma once

#include "engine/Dbi.h"

namespace engine {

class Table;

hDBICur RegisterCursor(Table* table);
void UnregisterCursor(hDBICur handle);
// Null for a handle that is not an open table's.
Table* CursorTable(hDBICur handle);

// True when the folder exists (a trailing backslash is allowed).
bool FolderExists(const std::string& folder);

}  // namespace engine
