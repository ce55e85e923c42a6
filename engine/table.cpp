#include "engine/Table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Session.h"
#include "engine/TableFile.h"
#include "engine/cursor_registry.h"
#include "engine/record_codec.h"
#include "platform/Platform.h"

namespace engine {

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
// The day number of 9999-12-31, the last day the calendar texts show.
constexpr std::int64_t kLastDayNumber = 3652059;

std::string Trim(const std::string& text) {
    std::size_t from = 0, to = text.size();
    while (from < to && static_cast<unsigned char>(text[from]) <= ' ') ++from;
    while (to > from && static_cast<unsigned char>(text[to - 1]) <= ' ') --to;
    return text.substr(from, to - from);
}

std::vector<std::string> SplitNames(const std::string& names) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= names.size()) {
        const std::size_t semicolon = names.find(';', start);
        const std::size_t end = semicolon == std::string::npos ? names.size() : semicolon;
        const std::string part = Trim(names.substr(start, end - start));
        if (!part.empty()) parts.push_back(part);
        if (semicolon == std::string::npos) break;
        start = semicolon + 1;
    }
    return parts;
}

std::string TwoDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

std::string DateText(std::int64_t dayNumber) {
    int year = 0, month = 0, day = 0;
    CalendarDate(dayNumber, &year, &month, &day);
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", day, month, year);
    return text;
}

std::string TimeText(std::int64_t ms) {
    const std::int64_t seconds = ms / 1000;
    return TwoDigits(static_cast<int>(seconds / 3600)) + ":" +
           TwoDigits(static_cast<int>(seconds / 60 % 60)) + ":" + TwoDigits(static_cast<int>(seconds % 60));
}

std::string FloatText(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

// The text of a value as Field::AsString gives it.
std::string ValueText(const FieldDef& def, const Value& value) {
    switch (value.kind()) {
        case Value::Kind::Null:
        case Value::Kind::Blob:
            return std::string();
        case Value::Kind::Text:
        case Value::Kind::Bytes:
            return value.text();
        case Value::Kind::Logical:
            return value.logical() ? "True" : "False";
        case Value::Kind::Integer:
            if (def.type == FieldType::Date) return DateText(value.integer());
            if (def.type == FieldType::Time) return TimeText(value.integer());
            return std::to_string(value.integer());
        case Value::Kind::Float:
            if (def.type == FieldType::Timestamp) {
                // Only moments from 0001-01-01 to 9999-12-31 have a date to
                // show; anything else (damage) reads as blank.
                const double stored = std::floor(value.number());
                if (!(stored >= kMsPerDay && stored < (kLastDayNumber + 1) * double(kMsPerDay)))
                    return std::string();
                const std::int64_t ms = static_cast<std::int64_t>(stored);
                const std::int64_t day = ms / kMsPerDay;
                const std::int64_t rest = ms % kMsPerDay;
                return rest == 0 ? DateText(day) : DateText(day) + " " + TimeText(rest);
            }
            return FloatText(value.number());
    }
    return std::string();
}

[[noreturn]] void NotValid(const std::string& text, const char* what) {
    throw EDatabaseError("'" + text + "' is not a valid " + what + " value");
}

bool ParseInteger(const std::string& text, std::int64_t* out) {
    const std::string t = Trim(text);
    if (t.empty()) return false;
    char* end = nullptr;
    const long long v = std::strtoll(t.c_str(), &end, 10);
    if (end == nullptr || *end != '\0') return false;
    *out = v;
    return true;
}

bool ParseFloat(const std::string& text, double* out) {
    const std::string t = Trim(text);
    if (t.empty()) return false;
    for (char c : t) {
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) {
            return false;
        }
    }
    char* end = nullptr;
    const double v = std::strtod(t.c_str(), &end);
    if (end == nullptr || *end != '\0') return false;
    *out = v;
    return true;
}

bool ParseBoolean(const std::string& text, bool* out) {
    const std::string t = UpperAnsi(Trim(text));
    if (t == "TRUE" || t == "T" || t == "YES" || t == "Y" || t == "1") {
        *out = true;
        return true;
    }
    if (t == "FALSE" || t == "F" || t == "NO" || t == "N" || t == "0") {
        *out = false;
        return true;
    }
    return false;
}

// "DD/MM/YYYY" to a day number.
bool ParseDate(const std::string& text, std::int64_t* out) {
    int day = 0, month = 0, year = 0;
    char extra = 0;
    if (std::sscanf(text.c_str(), "%d/%d/%d%c", &day, &month, &year, &extra) != 3) return false;
    if (month < 1 || month > 12 || day < 1 || year < 1 || year > 9999) return false;
    const std::int64_t number = DayNumber(year, month, day);
    int y = 0, m = 0, d = 0;
    CalendarDate(number, &y, &m, &d);
    if (y != year || m != month || d != day) return false;
    *out = number;
    return true;
}

// "HH:MM[:SS]" to milliseconds.
bool ParseTime(const std::string& text, std::int64_t* out) {
    int hour = 0, minute = 0, second = 0;
    char extra = 0;
    const int n = std::sscanf(text.c_str(), "%d:%d:%d%c", &hour, &minute, &second, &extra);
    if (n != 2 && n != 3) return false;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return false;
    *out = ((hour * 60 + minute) * 60 + second) * 1000LL;
    return true;
}

// The value a text stands for in a field of the given type.
Value ValueOfText(const FieldDef& def, const std::string& text) {
    if (text.empty()) return Value::Null();
    switch (def.type) {
        case FieldType::Alpha:
            return Value::Text(text);
        case FieldType::Bytes:
            return Value::Bytes(text);
        case FieldType::Bcd: {
            unsigned char probe[17];
            if (!TextToBcd(Trim(text), def.decimals, probe)) NotValid(text, "BCD");
            return Value::Text(Trim(text));
        }
        case FieldType::Short:
        case FieldType::Long:
        case FieldType::AutoInc: {
            std::int64_t v = 0;
            if (!ParseInteger(text, &v)) NotValid(text, "integer");
            return Value::Integer(v);
        }
        case FieldType::Date: {
            std::int64_t v = 0;
            if (!ParseDate(Trim(text), &v)) NotValid(text, "date");
            return Value::Integer(v);
        }
        case FieldType::Time: {
            std::int64_t v = 0;
            if (!ParseTime(Trim(text), &v)) NotValid(text, "time");
            return Value::Integer(v);
        }
        case FieldType::Timestamp: {
            const std::string t = Trim(text);
            const std::size_t space = t.find(' ');
            std::int64_t day = 0, ms = 0;
            if (!ParseDate(t.substr(0, space), &day)) NotValid(text, "date and time");
            if (space != std::string::npos && !ParseTime(Trim(t.substr(space + 1)), &ms)) {
                NotValid(text, "date and time");
            }
            return Value::Float(static_cast<double>(day * kMsPerDay + ms));
        }
        case FieldType::Number:
        case FieldType::Money: {
            double v = 0;
            if (!ParseFloat(text, &v)) NotValid(text, "floating point");
            return Value::Float(v);
        }
        case FieldType::Logical: {
            bool v = false;
            if (!ParseBoolean(text, &v)) NotValid(text, "boolean");
            return Value::Logical(v);
        }
        default:
            throw EDBEngineError(dbierr::kNotSupported,
                                 "BLOB fields cannot be written by this engine.\r\nField: " + def.name);
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Field

const std::string& Field::FieldName() const { return table_->file()->fields()[index_].name; }

FieldType Field::DataType() const { return table_->file()->fields()[index_].type; }

int Field::Size() const {
    const FieldDef& def = table_->file()->fields()[index_];
    return def.type == FieldType::Bcd ? def.decimals : def.size;
}

Value Field::value() const {
    const unsigned char* record = table_->currentRecord();
    if (record == nullptr) return Value::Null();
    const TableFile* file = table_->file();
    return DecodeField(file->fields()[index_], record + file->offsets()[index_]);
}

void Field::setValue(const Value& value) {
    unsigned char* record = table_->editRecord();
    const TableFile* file = table_->file();
    EncodeField(file->fields()[index_], value, record + file->offsets()[index_]);
}

bool Field::IsNull() const { return value().isNull(); }

std::string Field::AsString() const { return ValueText(table_->file()->fields()[index_], value()); }

std::int32_t Field::AsInteger() const {
    const Value v = value();
    switch (v.kind()) {
        case Value::Kind::Null:
        case Value::Kind::Blob:
            return 0;
        case Value::Kind::Integer:
        case Value::Kind::Logical:
            return static_cast<std::int32_t>(v.integer());
        case Value::Kind::Float:
            return static_cast<std::int32_t>(std::llround(v.number()));
        case Value::Kind::Text:
        case Value::Kind::Bytes: {
            std::int64_t parsed = 0;
            if (!ParseInteger(v.text(), &parsed)) NotValid(v.text(), "integer");
            return static_cast<std::int32_t>(parsed);
        }
    }
    return 0;
}

double Field::AsFloat() const {
    const Value v = value();
    switch (v.kind()) {
        case Value::Kind::Integer:
        case Value::Kind::Logical:
            return static_cast<double>(v.integer());
        case Value::Kind::Float:
            return v.number();
        case Value::Kind::Text:
        case Value::Kind::Bytes: {
            double parsed = 0;
            if (!ParseFloat(v.text(), &parsed)) NotValid(v.text(), "floating point");
            return parsed;
        }
        default:
            return 0;
    }
}

bool Field::AsBoolean() const {
    const Value v = value();
    switch (v.kind()) {
        case Value::Kind::Integer:
        case Value::Kind::Logical:
            return v.integer() != 0;
        case Value::Kind::Float:
            return v.number() != 0;
        case Value::Kind::Text:
        case Value::Kind::Bytes: {
            bool parsed = false;
            if (!ParseBoolean(v.text(), &parsed)) NotValid(v.text(), "boolean");
            return parsed;
        }
        default:
            return false;
    }
}

void Field::SetAsString(const std::string& text) {
    table_->editRecord();  // refuses outside an append before converting
    setValue(ValueOfText(table_->file()->fields()[index_], text));
}

void Field::SetAsInteger(std::int32_t value) {
    const FieldDef& def = table_->file()->fields()[index_];
    switch (def.type) {
        case FieldType::Alpha:
        case FieldType::Bcd:
            setValue(Value::Text(std::to_string(value)));
            return;
        case FieldType::Number:
        case FieldType::Money:
        case FieldType::Timestamp:
            setValue(Value::Float(value));
            return;
        case FieldType::Logical:
            setValue(Value::Logical(value != 0));
            return;
        default:
            setValue(Value::Integer(value));
    }
}

void Field::SetAsFloat(double value) {
    const FieldDef& def = table_->file()->fields()[index_];
    switch (def.type) {
        case FieldType::Alpha:
        case FieldType::Bcd:
            setValue(Value::Text(FloatText(value)));
            return;
        case FieldType::Short:
        case FieldType::Long:
        case FieldType::AutoInc:
        case FieldType::Date:
        case FieldType::Time:
            setValue(Value::Integer(std::llround(value)));
            return;
        case FieldType::Logical:
            setValue(Value::Logical(value != 0));
            return;
        default:
            setValue(Value::Float(value));
    }
}

void Field::SetAsBoolean(bool value) {
    const FieldDef& def = table_->file()->fields()[index_];
    switch (def.type) {
        case FieldType::Logical:
            setValue(Value::Logical(value));
            return;
        case FieldType::Alpha:
            setValue(Value::Text(value ? "True" : "False"));
            return;
        default:
            SetAsInteger(value ? 1 : 0);
    }
}

void Field::Clear() { setValue(Value::Null()); }

// ---------------------------------------------------------------------------
// FieldDefList

void FieldDefList::Update() {
    if (table_.Active()) {
        defs_ = table_.file()->fields();
        return;
    }
    Database& database = table_.database();
    if (!database.Connected()) database.Open();
    auto file = TableFile::Open(table_.filePath(), database.session().Passwords(),
                                TableFile::Mode::Read);
    defs_ = file->fields();
}

int FieldDefList::IndexOf(const std::string& name) const {
    for (std::size_t i = 0; i < defs_.size(); ++i) {
        if (EqualsIgnoreCase(defs_[i].name, name)) return static_cast<int>(i);
    }
    return -1;
}

const FieldDef* FieldDefList::Find(const std::string& name) const {
    const int i = IndexOf(name);
    return i < 0 ? nullptr : &defs_[static_cast<std::size_t>(i)];
}

// ---------------------------------------------------------------------------
// Table

Table::Table(Database& database) : database_(database), fieldDefs_(*this) { database_.attach(this); }

Table::~Table() {
    Close();
    database_.detach(this);
}

void Table::requireActive(const char* what) const {
    if (!Active()) throw EDatabaseError(std::string("Cannot ") + what + " a closed dataset");
}

void Table::requireClosed(const char* what) const {
    if (Active()) throw EDatabaseError(std::string("Cannot change ") + what + " of an open dataset");
}

void Table::SetTableName(const std::string& name) {
    requireClosed("the table name");
    tableName_ = name;
}

void Table::SetIndexFieldNames(const std::string& names) {
    requireClosed("the index field names");
    indexFieldNames_ = names;
}

std::string Table::filePath() const {
    std::string name = tableName_;
    const std::size_t slash = name.find_last_of("\\/:");
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) name += ".DB";
    if (slash != std::string::npos) return name;
    return database_.Directory() + name;
}

bool Table::Exists() {
    if (Active()) return true;
    if (tableName_.empty()) return false;
    if (!database_.Connected()) database_.Open();
    const auto attributes = platform::files().attributes(filePath());
    return attributes && (*attributes & platform::attr::kDirectory) == 0;
}

void Table::Open() {
    if (Active()) return;
    if (tableName_.empty()) throw EDatabaseError("Missing TableName property");
    if (!database_.Connected()) database_.Open();
    file_ = TableFile::Open(filePath(), database_.session().Passwords(), TableFile::Mode::ReadWrite);
    try {
        fields_.clear();
        for (std::size_t i = 0; i < file_->fields().size(); ++i) fields_.emplace_back(*this, i);
        fieldDefs_.assign(file_->fields());
        buildOrder();
    } catch (...) {
        fields_.clear();
        file_.reset();
        throw;
    }
    handle_ = RegisterCursor(this);
    state_ = State::Browse;
    First();
}

void Table::Close() {
    if (!Active()) return;
    UnregisterCursor(handle_);
    handle_ = 0;
    state_ = State::Inactive;
    fields_.clear();
    file_.reset();
    order_.clear();
    sorted_ = false;
    haveCurrent_ = false;
    eof_ = true;
    modified_ = false;
}

void Table::buildOrder() {
    sorted_ = false;
    order_.clear();
    orderFields_.clear();
    const std::vector<std::string> names = SplitNames(indexFieldNames_);
    if (names.empty()) return;
    bool primary = static_cast<int>(names.size()) <= file_->keyFields();
    for (std::size_t i = 0; i < names.size(); ++i) {
        int found = -1;
        for (std::size_t f = 0; f < file_->fields().size(); ++f) {
            if (EqualsIgnoreCase(file_->fields()[f].name, names[i])) found = static_cast<int>(f);
        }
        if (found < 0 || IsBlobType(file_->fields()[static_cast<std::size_t>(found)].type)) {
            throw EDatabaseError("No index for fields '" + indexFieldNames_ + "'");
        }
        if (found != static_cast<int>(i)) primary = false;
        orderFields_.push_back(static_cast<std::size_t>(found));
    }
    if (primary) return;
    sorted_ = true;
    // Sort keys: the order fields' encoded bytes, Alpha in upper case.
    const std::uint64_t count = file_->recordCount();
    std::vector<std::pair<std::string, std::uint64_t>> keys;
    keys.reserve(static_cast<std::size_t>(count));
    for (std::uint64_t p = 0; p < count; ++p) {
        const unsigned char* record = file_->recordAt(p);
        if (record == nullptr) break;
        std::string key;
        for (std::size_t f : orderFields_) {
            const FieldDef& def = file_->fields()[f];
            const char* bytes = reinterpret_cast<const char*>(record + file_->offsets()[f]);
            std::string part(bytes, static_cast<std::size_t>(def.size));
            key += def.type == FieldType::Alpha ? UpperAnsi(part) : part;
        }
        keys.emplace_back(std::move(key), p);
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& entry : keys) order_.push_back(entry.second);
}

std::uint64_t Table::physical(std::uint64_t position) const {
    return sorted_ ? order_[static_cast<std::size_t>(position)] : position;
}

void Table::loadCurrent() {
    const std::uint64_t count = sorted_ ? order_.size() : file_->recordCount();
    haveCurrent_ = false;
    if (position_ >= count) return;
    const unsigned char* record = file_->recordAt(physical(position_));
    if (record == nullptr) return;
    current_.assign(record, record + file_->recordSize());
    haveCurrent_ = true;
}

void Table::checkBrowseMode() {
    if (state_ != State::Insert) return;
    if (modified_) {
        Post();
    } else {
        Cancel();
    }
}

const unsigned char* Table::currentRecord() {
    if (state_ == State::Insert) return edit_.data();
    return haveCurrent_ ? current_.data() : nullptr;
}

unsigned char* Table::editRecord() {
    if (state_ != State::Insert) throw EDatabaseError("Dataset not in edit or insert mode");
    modified_ = true;
    return edit_.data();
}

bool Table::flushToDisk() { return file_ && file_->flush(); }

Field* Table::FindField(const std::string& name) {
    for (Field& field : fields_) {
        if (EqualsIgnoreCase(field.FieldName(), name)) return &field;
    }
    return nullptr;
}

Field& Table::FieldByName(const std::string& name) {
    Field* field = FindField(name);
    if (field == nullptr) throw EDatabaseError("Field '" + name + "' not found");
    return *field;
}

void Table::First() {
    requireActive("navigate");
    checkBrowseMode();
    if (file_->refresh() && sorted_) buildOrder();
    position_ = 0;
    const std::uint64_t count = sorted_ ? order_.size() : file_->recordCount();
    eof_ = count == 0;
    loadCurrent();
}

void Table::Next() {
    requireActive("navigate");
    checkBrowseMode();
    if (eof_) return;
    const std::uint64_t count = sorted_ ? order_.size() : file_->recordCount();
    if (position_ + 1 < count) {
        ++position_;
        loadCurrent();
    } else {
        eof_ = true;
    }
}

bool Table::IsEmpty() { return RecordCount() == 0; }

std::int64_t Table::RecordCount() {
    requireActive("count the records of");
    if (state_ == State::Browse && file_->refresh()) {
        if (sorted_) buildOrder();
        loadCurrent();
    }
    return static_cast<std::int64_t>(sorted_ ? order_.size() : file_->recordCount());
}

bool Table::Locate(const std::string& fieldName, const std::string& value, LocateOptions options) {
    return Locate(fieldName, std::vector<std::string>{value}, options);
}

bool Table::Locate(const std::string& fieldNames, const std::vector<std::string>& values,
                   LocateOptions options) {
    requireActive("search");
    checkBrowseMode();
    const std::vector<std::string> names = SplitNames(fieldNames);
    if (names.empty() || names.size() != values.size()) {
        throw EDatabaseError("Locate needs one value per field");
    }
    std::vector<std::size_t> indexes;
    for (const std::string& name : names) {
        Field* field = FindField(name);
        if (field == nullptr) throw EDatabaseError("Field '" + name + "' not found");
        indexes.push_back(static_cast<std::size_t>(field - fields_.data()));
    }
    const bool folded = (options & loCaseInsensitive) != 0;
    const bool partial = (options & loPartialKey) != 0;
    std::vector<std::string> wanted(values);
    if (folded) {
        for (std::string& w : wanted) w = UpperAnsi(w);
    }
    auto matches = [&](const std::string& text, const std::string& want) {
        if (partial ? text.size() < want.size() : text.size() != want.size()) return false;
        for (std::size_t i = 0; i < want.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            if ((folded ? UpperAnsi(c) : c) != static_cast<unsigned char>(want[i])) return false;
        }
        return true;
    };
    if (file_->refresh() && sorted_) buildOrder();
    const std::uint64_t count = sorted_ ? order_.size() : file_->recordCount();
    const std::vector<FieldDef>& defs = file_->fields();
    std::string text;
    for (std::uint64_t p = 0; p < count; ++p) {
        const unsigned char* record = file_->recordAt(physical(p));
        if (record == nullptr) break;
        bool all = true;
        for (std::size_t k = 0; k < indexes.size() && all; ++k) {
            const FieldDef& def = defs[indexes[k]];
            const unsigned char* bytes = record + file_->offsets()[indexes[k]];
            if (def.type == FieldType::Alpha) {
                std::size_t length = 0;
                while (length < static_cast<std::size_t>(def.size) && bytes[length] != 0) ++length;
                text.assign(reinterpret_cast<const char*>(bytes), length);
            } else {
                text = ValueText(def, DecodeField(def, bytes));
            }
            all = matches(text, wanted[k]);
        }
        if (all) {
            position_ = p;
            eof_ = false;
            loadCurrent();
            return true;
        }
    }
    return false;
}

void Table::Append() {
    requireActive("append to");
    checkBrowseMode();
    edit_.assign(static_cast<std::size_t>(file_->recordSize()), 0);
    state_ = State::Insert;
    modified_ = false;
}

void Table::Post() {
    if (state_ != State::Insert) return;
    if (BeforePost) BeforePost(*this);
    const std::uint64_t at = file_->append(edit_);
    state_ = State::Browse;
    modified_ = false;
    if (sorted_) {
        buildOrder();
        position_ = static_cast<std::uint64_t>(
            std::find(order_.begin(), order_.end(), at) - order_.begin());
    } else {
        position_ = at;
    }
    eof_ = false;
    loadCurrent();
    if (AfterPost) AfterPost(*this);
}

void Table::Cancel() {
    if (state_ != State::Insert) return;
    state_ = State::Browse;
    modified_ = false;
}

}  // namespace engine
