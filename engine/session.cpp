#include "engine/Session.h"

#include <algorithm>

#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/cursor_registry.h"

namespace engine {

namespace {
constexpr DBIResult kNetInitError = 0x2C01;  // network initialization failed
}  // namespace

Session::~Session() {
    // Databases outlive their session only by mistake; forget them.
    for (Database* database : databases_) database->Close();
}

void Session::AddPassword(const std::string& password) {
    if (std::find(passwords_.begin(), passwords_.end(), password) == passwords_.end()) {
        passwords_.push_back(password);
    }
}

void Session::Open() {
    if (active_) return;
    if (!netFileDir_.empty() && !FolderExists(netFileDir_)) {
        throw EDBEngineError(kNetInitError,
                             "Network initialization failed: the network control folder does "
                             "not exist.\r\nPath: " + netFileDir_);
    }
    if (!privateDir_.empty() && !FolderExists(privateDir_)) {
        throw EDBEngineError(dbierr::kInvalidDirectory,
                             "Invalid directory: the private folder does not exist.\r\nPath: " +
                                 privateDir_);
    }
    active_ = true;
}

void Session::Close() {
    const std::vector<Database*> open(databases_);
    for (Database* database : open) database->sessionClosing();
    active_ = false;
}

void Session::attach(Database* database) {
    if (std::find(databases_.begin(), databases_.end(), database) == databases_.end()) {
        databases_.push_back(database);
    }
}

void Session::detach(Database* database) {
    databases_.erase(std::remove(databases_.begin(), databases_.end(), database), databases_.end());
}

Session& DefaultSession() {
    static Session session;
    return session;
}

}  // namespace engine
