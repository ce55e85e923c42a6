#include "engine/Database.h"

#include <algorithm>

#include "engine/EngineError.h"
#include "engine/Session.h"
#include "engine/Table.h"
#include "engine/cursor_registry.h"
#include "engine/record_codec.h"

namespace engine {

namespace {

std::string Trim(const std::string& text) {
    std::size_t from = 0, to = text.size();
    while (from < to && static_cast<unsigned char>(text[from]) <= ' ') ++from;
    while (to > from && static_cast<unsigned char>(text[to - 1]) <= ' ') --to;
    return text.substr(from, to - from);
}

}  // namespace

Database::Database(Session& session) : session_(session) { session_.attach(this); }

Database::Database() : Database(DefaultSession()) {}

Database::~Database() {
    Close();
    session_.detach(this);
}

void Database::Open() {
    if (connected_) return;
    if (!EqualsIgnoreCase(driverName_, "STANDARD")) {
        throw EDBEngineError(dbierr::kUnknownDriver,
                             "Driver not known to the engine: " + driverName_ + ".\r\nDatabase: " +
                                 databaseName_);
    }
    std::string path;
    for (const std::string& line : params_) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos && EqualsIgnoreCase(Trim(line.substr(0, equals)), "PATH")) {
            path = Trim(line.substr(equals + 1));
        }
    }
    if (!path.empty() && !FolderExists(path)) {
        throw EDBEngineError(dbierr::kInvalidDirectory,
                             "Invalid directory: the database folder does not exist.\r\nPath: " + path);
    }
    session_.Open();
    if (!path.empty() && path.back() != '\\' && path.back() != '/' && path.back() != ':') path += '\\';
    directory_ = path;
    connected_ = true;
}

void Database::Close() {
    const std::vector<Table*> open(tables_);
    for (Table* table : open) table->Close();
    connected_ = false;
}

void Database::attach(Table* table) {
    if (std::find(tables_.begin(), tables_.end(), table) == tables_.end()) tables_.push_back(table);
}

void Database::detach(Table* table) {
    tables_.erase(std::remove(tables_.begin(), tables_.end(), table), tables_.end());
}

}  // namespace engine
