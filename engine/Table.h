// A table of a database connection, shaped after the database layer's
// table object: table name and index field names, exists / open / close,
// field definitions, fields with text and integer access, locate,
// append / post with BeforePost and AfterPost, first / next / end, empty,
// and the cursor handle the engine's save-changes entry takes.
//
//   engine::Table control(vrl);
//   control.SetTableName("CONTROL.DB");
//   control.Open();
//   if (!control.Locate("Name", "Claim", engine::loCaseInsensitive)) {
//       control.Append();
//       control.FieldByName("Name").SetAsString("Claim");
//       control.Post();
//   }
//   control.Close();
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/Dbi.h"
#include "engine/FieldTypes.h"

namespace engine {

class Database;
class Table;
class TableFile;

// One field of an open table. Reads show the current record (or, while a
// record is being appended, the new record); writes are allowed only while
// a record is being appended.
class Field {
public:
    Field(Table& table, std::size_t index) : table_(&table), index_(index) {}

    const std::string& FieldName() const;
    FieldType DataType() const;
    int Size() const;  // Alpha and Bytes: length; BCD: decimals; else record bytes

    bool IsNull() const;
    // Text of the value: Alpha as stored; integers in decimal; Date as
    // DD/MM/YYYY; Time as HH:MM:SS; Timestamp as DD/MM/YYYY HH:MM:SS;
    // Number and Money with up to 15 significant digits and "."; Logical as
    // True / False; BCD as its decimal text; a blank value and BLOB fields
    // as "".
    std::string AsString() const;
    // Integer fields as they are, Number / Money rounded, text converted
    // (EDatabaseError when it is no integer), Logical 1 / 0, blank 0.
    std::int32_t AsInteger() const;
    double AsFloat() const;
    bool AsBoolean() const;

    // An empty text clears the field. Text is converted to the field's type
    // (EDatabaseError when it does not convert); Alpha text longer than the
    // field is cut.
    void SetAsString(const std::string& text);
    void SetAsInteger(std::int32_t value);
    void SetAsFloat(double value);
    void SetAsBoolean(bool value);
    void Clear();

    Value value() const;
    void setValue(const Value& value);

private:
    Table* table_;
    std::size_t index_;
};

// The table's field definitions, read from the table file by Update()
// (also while the table is closed).
class FieldDefList {
public:
    explicit FieldDefList(Table& table) : table_(table) {}
    void Update();
    int Count() const { return static_cast<int>(defs_.size()); }
    const FieldDef& Items(int index) const { return defs_.at(static_cast<std::size_t>(index)); }
    // -1 when there is no field of that name (names compare without case).
    int IndexOf(const std::string& name) const;
    const FieldDef* Find(const std::string& name) const;

    void assign(const std::vector<FieldDef>& defs) { defs_ = defs; }

private:
    Table& table_;
    std::vector<FieldDef> defs_;
};

enum LocateOption : unsigned {
    loCaseInsensitive = 1,
    loPartialKey = 2,
};
using LocateOptions = unsigned;

class Table {
public:
    using Handler = std::function<void(Table&)>;
    enum class State { Inactive, Browse, Insert };

    explicit Table(Database& database);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    Database& database() { return database_; }

    // The table's file name in the database folder ("CONTROL.DB"; without
    // an extension ".DB" is meant), or a full path. Only while closed.
    const std::string& TableName() const { return tableName_; }
    void SetTableName(const std::string& name);
    // The fields that order the records, separated by ";" (empty: the
    // primary order). Fields forming a leading part of the primary key give
    // the table's own order; other fields order the records by their values
    // (Alpha without regard to case, as a case-insensitive index would).
    // Only while closed.
    const std::string& IndexFieldNames() const { return indexFieldNames_; }
    void SetIndexFieldNames(const std::string& names);

    // True when the table's .DB file exists (the table's contents are
    // checked when it is opened). Connects the database when needed.
    bool Exists();
    // Opens the table (connecting the database when needed) on its first
    // record. EDBEngineError for a missing, damaged or protected table.
    void Open();
    void Close();
    bool Active() const { return state_ != State::Inactive; }
    State state() const { return state_; }

    FieldDefList& FieldDefs() { return fieldDefs_; }
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    Field& Fields(int index) { return fields_.at(static_cast<std::size_t>(index)); }
    // Null when the table is closed or has no such field.
    Field* FindField(const std::string& name);
    // EDatabaseError when there is no such field.
    Field& FieldByName(const std::string& name);

    // Moves to the first record, in the table's order, whose fields (";"
    // separated) have the given texts; true when found. Without
    // loCaseInsensitive the texts must match exactly; with loPartialKey a
    // field only has to begin with its text. The current record stays when
    // nothing is found.
    bool Locate(const std::string& fieldNames, const std::vector<std::string>& values,
                LocateOptions options = 0);
    bool Locate(const std::string& fieldName, const std::string& value,
                LocateOptions options = 0);

    // Starts a new, blank record; Post writes it to the table.
    void Append();
    // Writes the record being appended: BeforePost, the write (a key
    // violation or any other engine error leaves the record being
    // appended), AfterPost. Nothing when no record is being appended.
    void Post();
    // Drops the record being appended.
    void Cancel();

    // Navigation in the table's order. First re-reads the table, so that
    // records other programs have added are seen.
    void First();
    void Next();
    bool Eof() const { return eof_; }
    bool IsEmpty();
    std::int64_t RecordCount();

    // The cursor handle (0 while closed), for DbiSaveChanges.
    hDBICur Handle() const { return handle_; }

    Handler BeforePost;
    Handler AfterPost;

    // For the engine and the fields.
    TableFile* file() { return file_.get(); }
    std::string filePath() const;
    const unsigned char* currentRecord();
    unsigned char* editRecord();
    bool flushToDisk();

private:
    void requireActive(const char* what) const;
    void requireClosed(const char* what) const;
    void buildOrder();
    std::uint64_t physical(std::uint64_t position) const;
    void loadCurrent();
    void checkBrowseMode();

    Database& database_;
    std::string tableName_;
    std::string indexFieldNames_;
    FieldDefList fieldDefs_;
    std::unique_ptr<TableFile> file_;
    std::vector<Field> fields_;
    State state_ = State::Inactive;
    hDBICur handle_ = 0;

    // Order of the records when IndexFieldNames names other fields than a
    // leading part of the primary key: positions in chain order, sorted.
    std::vector<std::size_t> orderFields_;
    bool sorted_ = false;
    std::vector<std::uint64_t> order_;

    std::uint64_t position_ = 0;  // in the table's order
    bool eof_ = true;
    std::vector<unsigned char> current_;
    bool haveCurrent_ = false;
    std::vector<unsigned char> edit_;
    bool modified_ = false;
};

}  // namespace engine
