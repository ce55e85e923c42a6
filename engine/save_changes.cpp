#include <map>

#include "engine/Dbi.h"
#include "engine/Table.h"
#include "engine/cursor_registry.h"
#include "platform/Platform.h"

namespace engine {

namespace {

std::map<hDBICur, Table*>& Cursors() {
    static std::map<hDBICur, Table*> cursors;
    return cursors;
}

}  // namespace

hDBICur RegisterCursor(Table* table) {
    static hDBICur next = 0;
    do {
        ++next;
    } while (next == 0 || Cursors().count(next) != 0);
    Cursors()[next] = table;
    return next;
}

void UnregisterCursor(hDBICur handle) { Cursors().erase(handle); }

Table* CursorTable(hDBICur handle) {
    const auto it = Cursors().find(handle);
    return it == Cursors().end() ? nullptr : it->second;
}

bool FolderExists(const std::string& folder) {
    std::string path = folder;
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    const auto attributes = platform::files().attributes(path);
    return attributes && (*attributes & platform::attr::kDirectory) != 0;
}

DBIResult DbiSaveChanges(hDBICur cursor) {
    Table* table = CursorTable(cursor);
    if (table == nullptr || !table->Active()) return dbierr::kInvalidHandle;
    return table->flushToDisk() ? dbierr::kNone : dbierr::kWriteError;
}

}  // namespace engine
