// The record encoding of Paradox tables: every field is stored most
// significant byte first and transformed so that an unsigned byte-wise
// comparison orders values like the values themselves, and so that an
// all-zero field is blank (paradox-format.md, section 3).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/FieldTypes.h"

namespace engine {

// Decodes the field at `src` (def.size bytes).
Value DecodeField(const FieldDef& def, const unsigned char* src);
// Encodes `value` into `dst` (def.size bytes). A Null value writes zeros.
// Throws EDatabaseError for a value of the wrong kind and EDBEngineError
// (out of range) for a value the type cannot hold.
void EncodeField(const FieldDef& def, const Value& value, unsigned char* dst);

// BCD: the decimal text of the 17 stored bytes, and back. The text is
// [-]digits[.digits] with exactly `decimals` digits after the point.
std::string BcdToText(const unsigned char* src, int decimals);
// Returns false for text that is not a decimal number or does not fit.
bool TextToBcd(const std::string& text, int decimals, unsigned char* dst);

// Windows-1252 letter case.
unsigned char UpperAnsi(unsigned char c);
std::string UpperAnsi(const std::string& text);
bool EqualsIgnoreCase(const std::string& a, const std::string& b);

// Byte offsets of the fields in a record, and the record size.
std::vector<int> FieldOffsets(const std::vector<FieldDef>& fields);
int RecordSize(const std::vector<FieldDef>& fields);

// How Alpha key fields compare. With the plain "ascii" sort order the
// encoded bytes are compared as they are; with the other (international)
// sort orders an Alpha field compares first without regard to letter case
// and then by its bytes, the closest this engine comes to the language
// driver's collation (see the engine notes on collation).
enum class Collation { Bytes, CaseFolded };

// Compares the first `keyFields` fields of two encoded records.
int CompareKeys(const std::vector<FieldDef>& fields, const std::vector<int>& offsets,
                int keyFields, Collation collation, const unsigned char* a,
                const unsigned char* b);

// Compares two encoded Alpha values of `size` bytes without regard to case,
// then (when `tiebreak`) by their bytes.
int CompareAlpha(const unsigned char* a, const unsigned char* b, int size, bool caseFolded,
                 bool tiebreak);

// Calendar conversions of Date (day 1 = 0001-01-01, proleptic Gregorian)
// and Time (milliseconds since midnight) values.
std::int64_t DayNumber(int year, int month, int day);
void CalendarDate(std::int64_t dayNumber, int* year, int* month, int* day);

}  // namespace engine
