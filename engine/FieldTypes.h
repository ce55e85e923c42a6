// Field types, field definitions and field values of Paradox tables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace engine {

// The type codes of the field-info array of a table header.
enum class FieldType : std::uint8_t {
    Alpha = 0x01,          // A n: text of n bytes, zero-padded
    Date = 0x02,           // D: days, 0001-01-01 = 1
    Short = 0x03,          // S: 16-bit integer
    Long = 0x04,           // I: 32-bit integer
    Money = 0x05,          // $: double
    Number = 0x06,         // N: double
    Logical = 0x09,        // L
    Memo = 0x0C,           // M: BLOB (leader + 10 bytes in the record)
    Binary = 0x0D,         // B: BLOB
    FormattedMemo = 0x0E,  // F: BLOB
    Ole = 0x0F,            // O: BLOB
    Graphic = 0x10,        // G: BLOB
    Time = 0x14,           // T: milliseconds since midnight
    Timestamp = 0x15,      // @: milliseconds, day 1 = 0001-01-01 (a double)
    AutoInc = 0x16,        // +: 32-bit integer, assigned on append
    Bcd = 0x17,            // #: 17 bytes, 32 packed digits
    Bytes = 0x18,          // Y n: raw bytes
};

// True for the types whose data lives in the .MB file (recognised, skipped).
bool IsBlobType(FieldType type);
// True for a type code this engine knows.
bool IsKnownFieldType(std::uint8_t code);
// The Paradox letter of a type ("A", "N", "$", "#", ...).
const char* FieldTypeLetter(FieldType type);

// One field of a table. `size` is the number of record bytes; for BCD it is
// always 17 and `decimals` holds the number of digits after the point (the
// byte the header stores for a BCD field).
struct FieldDef {
    std::string name;
    FieldType type = FieldType::Alpha;
    int size = 0;
    int decimals = 0;

    static FieldDef Alpha(const std::string& name, int length);
    static FieldDef Of(const std::string& name, FieldType type);  // fixed-size types
    static FieldDef BcdField(const std::string& name, int decimals);
};

// The record size of a fixed-size type, 0 for the sized ones (A, Y, BLOBs).
int FixedFieldSize(FieldType type);

// A field value as the engine hands it out and takes it in.
//   Text     Alpha fields, BCD fields (a decimal text such as "-12.50")
//   Integer  Short, Long, AutoInc, Date (day number), Time (milliseconds)
//   Float    Number, Money, Timestamp (milliseconds)
//   Logical  Logical
//   Bytes    Bytes fields (raw)
//   Blob     a BLOB field that holds data (its contents are not read)
// Paradox does not tell an empty Alpha value from a blank one: both are Null.
class Value {
public:
    enum class Kind { Null, Text, Integer, Float, Logical, Bytes, Blob };

    Value() = default;
    static Value Null() { return Value(); }
    static Value Text(std::string text);
    static Value Integer(std::int64_t value);
    static Value Float(double value);
    static Value Logical(bool value);
    static Value Bytes(std::string bytes);
    static Value Blob();

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }
    const std::string& text() const { return text_; }  // Text and Bytes
    std::int64_t integer() const { return integer_; }
    double number() const { return number_; }
    bool logical() const { return integer_ != 0; }

    bool operator==(const Value& other) const;
    bool operator!=(const Value& other) const { return !(*this == other); }

private:
    Kind kind_ = Kind::Null;
    std::string text_;
    std::int64_t integer_ = 0;
    double number_ = 0;
};

using Row = std::vector<Value>;

}  // namespace engine
