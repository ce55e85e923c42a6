// The engine's error types, shaped after the database layer the program was
// written against: EDatabaseError for misuse of the data-access objects
// (unknown field, no index for the fields asked for), EDBEngineError for
// what the engine itself reports (damaged file, wrong password, key
// violation, table busy). Both carry the message a user is shown; the
// engine error also carries the engine's result code.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Exception.h"

namespace engine {

// The engine's result codes: the category in the high byte, the code in the
// low byte, with the values of the Borland Database Engine so that code
// written against it keeps its meaning.
using DBIResult = std::uint16_t;

namespace dbierr {
constexpr DBIResult kNone = 0;
constexpr DBIResult kHeaderCorrupt = 0x2301;    // corrupt table/index header
constexpr DBIResult kFileCorrupt = 0x2302;      // corrupt file, other than the header
constexpr DBIResult kIndexCorrupt = 0x2305;     // index is corrupt
constexpr DBIResult kReadError = 0x2401;        // read failure
constexpr DBIResult kWriteError = 0x2402;       // write failure
constexpr DBIResult kFileNoAccess = 0x2405;     // no access to the file
constexpr DBIResult kRecordTooBig = 0x2505;     // record too big for the table
constexpr DBIResult kTableFull = 0x2507;        // table is full
constexpr DBIResult kKeyViolation = 0x2601;     // key violation
constexpr DBIResult kOutOfRange = 0x2701;       // value out of range
constexpr DBIResult kInvalidParameter = 0x2702; // invalid parameter
constexpr DBIResult kNoSuchFile = 0x2704;       // no such file
constexpr DBIResult kInvalidHandle = 0x2706;    // invalid handle
constexpr DBIResult kNoSuchIndex = 0x270D;      // index does not exist
constexpr DBIResult kInvalidFieldType = 0x2710; // invalid field type
constexpr DBIResult kInvalidFieldDesc = 0x2711; // invalid field descriptor
constexpr DBIResult kUnknownDriver = 0x271D;    // driver not known
constexpr DBIResult kInvalidPassword = 0x271F;  // invalid password
constexpr DBIResult kInvalidDirectory = 0x2722; // invalid directory
constexpr DBIResult kNoSuchTable = 0x2728;      // no such table
constexpr DBIResult kFileBusy = 0x2803;         // table is busy (locked by another writer)
constexpr DBIResult kNotSupported = 0x3001;     // capability not supported
}  // namespace dbierr

// Misuse of the data-access objects.
class EDatabaseError : public Exception {
public:
    explicit EDatabaseError(const std::string& message) : Exception(message) {}
};

// An error reported by the engine. what() is the engine's message: its first
// line says what went wrong, the next names the file or table concerned.
class EDBEngineError : public EDatabaseError {
public:
    EDBEngineError(DBIResult errorCode, const std::string& message)
        : EDatabaseError(message), errorCode_(errorCode) {}

    DBIResult ErrorCode() const { return errorCode_; }

private:
    DBIResult errorCode_;
};

// Throws the engine error `code` with `text` followed by a line naming the file.
[[noreturn]] void ThrowFileError(DBIResult code, const std::string& text, const std::string& path);

}  // namespace engine
