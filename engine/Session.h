// The engine session, shaped after the database layer's session object:
// the network control folder all programs of a practice share, the private
// folder of this program and user, the list of passwords that open
// protected tables, and open / close. A session owns no files itself; its
// databases and tables do.
#pragma once

#include <string>
#include <vector>

namespace engine {

class Database;

class Session {
public:
    Session() = default;
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The network control folder. The engine coordinates writers through
    // byte-range locks on the table files themselves; the folder is checked
    // when the session opens (it must exist when set) and kept for callers.
    const std::string& NetFileDir() const { return netFileDir_; }
    void SetNetFileDir(const std::string& folder) { netFileDir_ = folder; }
    // The private folder (empty: the current folder).
    const std::string& PrivateDir() const { return privateDir_; }
    void SetPrivateDir(const std::string& folder) { privateDir_ = folder; }

    void AddPassword(const std::string& password);
    void RemoveAllPasswords() { passwords_.clear(); }
    const std::vector<std::string>& Passwords() const { return passwords_; }

    // Opens the session; EDBEngineError when a folder set does not exist.
    void Open();
    // Closes every database of the session, then the session.
    void Close();
    bool Active() const { return active_; }

    // Databases register themselves.
    void attach(Database* database);
    void detach(Database* database);

private:
    std::string netFileDir_;
    std::string privateDir_;
    std::vector<std::string> passwords_;
    std::vector<Database*> databases_;
    bool active_ = false;
};

// The program's default session.
Session& DefaultSession();

}  // namespace engine
