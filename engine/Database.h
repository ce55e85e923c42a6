// A database connection, shaped after the database layer's database
// object: a name, the driver ("STANDARD", the Paradox driver) and its
// parameter lines, of which "PATH=" names the folder of the tables.
#pragma once

#include <string>
#include <vector>

namespace engine {

class Session;
class Table;

class Database {
public:
    explicit Database(Session& session);
    Database();  // on the default session
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::string& DatabaseName() const { return databaseName_; }
    void SetDatabaseName(const std::string& name) { databaseName_ = name; }
    const std::string& DriverName() const { return driverName_; }
    void SetDriverName(const std::string& name) { driverName_ = name; }
    // The parameter lines ("PATH=C:\Virelle\Data\").
    std::vector<std::string>& Params() { return params_; }
    const std::vector<std::string>& Params() const { return params_; }

    // Connects: opens the session when it is not open, checks the driver
    // and the folder of PATH= (EDBEngineError when either is wrong).
    void Open();
    // Closes every table of the connection, then the connection.
    void Close();
    bool Connected() const { return connected_; }

    Session& session() { return session_; }
    // The folder of the tables, ending with a backslash when not empty
    // (empty: the current folder). Valid while connected.
    const std::string& Directory() const { return directory_; }

    void attach(Table* table);
    void detach(Table* table);
    // Called by the session as it closes.
    void sessionClosing() { Close(); }

private:
    Session& session_;
    std::string databaseName_;
    std::string driverName_ = "STANDARD";
    std::vector<std::string> params_;
    std::vector<Table*> tables_;
    std::string directory_;
    bool connected_ = false;
};

}  // namespace engine
