#include "engine/record_codec.h"

#include <cstring>

#include "engine/EngineError.h"

namespace engine {

namespace {

bool AllZero(const unsigned char* p, int n) {
    for (int i = 0; i < n; ++i) {
        if (p[i] != 0) return false;
    }
    return true;
}

// Integers: two's complement, top bit flipped, big-endian.
std::int64_t DecodeInteger(const unsigned char* p, int n) {
    std::uint64_t raw = 0;
    for (int i = 0; i < n; ++i) raw = (raw << 8) | p[i];
    const std::uint64_t top = std::uint64_t(1) << (8 * n - 1);
    raw ^= top;
    // Sign-extend from 8n bits.
    if (raw & top) return static_cast<std::int64_t>(raw | ~((top << 1) - 1));
    return static_cast<std::int64_t>(raw);
}

void EncodeInteger(std::int64_t value, unsigned char* p, int n) {
    std::uint64_t raw = static_cast<std::uint64_t>(value);
    raw ^= std::uint64_t(1) << (8 * n - 1);
    for (int i = n - 1; i >= 0; --i) {
        p[i] = static_cast<unsigned char>(raw & 0xFF);
        raw >>= 8;
    }
}

// Doubles: IEEE big-endian; sign bit set for non-negative values, all bits
// inverted for negative ones.
double DecodeDouble(const unsigned char* p) {
    std::uint64_t raw = 0;
    for (int i = 0; i < 8; ++i) raw = (raw << 8) | p[i];
    if (raw & (std::uint64_t(1) << 63)) {
        raw &= ~(std::uint64_t(1) << 63);
    } else {
        raw = ~raw;
    }
    double value;
    std::memcpy(&value, &raw, sizeof value);
    return value;
}

void EncodeDouble(double value, unsigned char* p) {
    if (value == 0) value = 0;  // -0.0 is stored like +0.0
    std::uint64_t raw;
    std::memcpy(&raw, &value, sizeof raw);
    if (raw & (std::uint64_t(1) << 63)) {
        raw = ~raw;
    } else {
        raw |= std::uint64_t(1) << 63;
    }
    for (int i = 7; i >= 0; --i) {
        p[i] = static_cast<unsigned char>(raw & 0xFF);
        raw >>= 8;
    }
}

[[noreturn]] void WrongKind(const FieldDef& def) {
    throw EDatabaseError("Invalid value for field '" + def.name + "'");
}

[[noreturn]] void OutOfRange(const FieldDef& def) {
    throw EDBEngineError(dbierr::kOutOfRange,
                         "Field value out of range.\r\nField: " + def.name);
}

}  // namespace

std::string BcdToText(const unsigned char* src, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > 32) decimals = 32;
    const bool negative = (src[0] & 0x80) == 0;
    char digits[32];
    for (int i = 0; i < 32; ++i) {
        unsigned char byte = src[1 + i / 2];
        if (negative) byte = static_cast<unsigned char>(~byte);
        const int nibble = (i % 2 == 0) ? (byte >> 4) : (byte & 0x0F);
        digits[i] = static_cast<char>('0' + (nibble > 9 ? 9 : nibble));
    }
    const int integerDigits = 32 - decimals;
    std::string text;
    int first = 0;
    while (first < integerDigits - 1 && digits[first] == '0') ++first;
    text.assign(digits + first, digits + integerDigits);
    if (text.empty()) text = "0";
    if (decimals > 0) {
        text += '.';
        text.append(digits + integerDigits, digits + 32);
    }
    bool zero = true;
    for (char c : text) {
        if (c >= '1' && c <= '9') zero = false;
    }
    if (negative && !zero) text.insert(text.begin(), '-');
    return text;
}

bool TextToBcd(const std::string& text, int decimals, unsigned char* dst) {
    if (decimals < 0 || decimals > 32) return false;
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string whole, fraction;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') whole += text[i++];
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') fraction += text[i++];
    }
    if (i != text.size() || (whole.empty() && fraction.empty())) return false;
    while (whole.size() > 1 && whole[0] == '0') whole.erase(0, 1);
    const int integerDigits = 32 - decimals;
    if (static_cast<int>(whole.size()) > integerDigits && whole != "0") return false;
    fraction.resize(static_cast<std::size_t>(decimals), '0');  // extra digits are cut off
    char digits[32];
    for (int k = 0; k < 32; ++k) digits[k] = '0';
    if (whole != "0" || integerDigits > 0) {
        for (std::size_t k = 0; k < whole.size() && integerDigits > 0; ++k) {
            digits[integerDigits - whole.size() + k] = whole[k];
        }
    }
    for (int k = 0; k < decimals; ++k) digits[integerDigits + k] = fraction[k];
    bool zero = true;
    for (char c : digits) {
        if (c != '0') zero = false;
    }
    if (zero) negative = false;
    dst[0] = static_cast<unsigned char>(0x40 | decimals | (negative ? 0 : 0x80));
    for (int k = 0; k < 16; ++k) {
        unsigned char byte =
            static_cast<unsigned char>(((digits[2 * k] - '0') << 4) | (digits[2 * k + 1] - '0'));
        dst[1 + k] = negative ? static_cast<unsigned char>(~byte) : byte;
    }
    return true;
}

Value DecodeField(const FieldDef& def, const unsigned char* src) {
    if (AllZero(src, def.size)) return Value::Null();
    switch (def.type) {
        case FieldType::Alpha: {
            int length = 0;
            while (length < def.size && src[length] != 0) ++length;
            return Value::Text(std::string(reinterpret_cast<const char*>(src),
                                           static_cast<std::size_t>(length)));
        }
        case FieldType::Short:
            return Value::Integer(DecodeInteger(src, 2));
        case FieldType::Date:
        case FieldType::Long:
        case FieldType::Time:
        case FieldType::AutoInc:
            return Value::Integer(DecodeInteger(src, 4));
        case FieldType::Money:
        case FieldType::Number:
        case FieldType::Timestamp:
            return Value::Float(DecodeDouble(src));
        case FieldType::Logical:
            return Value::Logical(src[0] != 0x80);
        case FieldType::Bcd:
            return Value::Text(BcdToText(src, def.decimals));
        case FieldType::Bytes:
            return Value::Bytes(std::string(reinterpret_cast<const char*>(src),
                                            static_cast<std::size_t>(def.size)));
        case FieldType::Memo:
        case FieldType::Binary:
        case FieldType::FormattedMemo:
        case FieldType::Ole:
        case FieldType::Graphic:
            return Value::Blob();
    }
    return Value::Null();
}

void EncodeField(const FieldDef& def, const Value& value, unsigned char* dst) {
    std::memset(dst, 0, static_cast<std::size_t>(def.size));
    if (value.isNull()) return;
    switch (def.type) {
        case FieldType::Alpha: {
            if (value.kind() != Value::Kind::Text) WrongKind(def);
            const std::string& text = value.text();
            const std::size_t n =
                text.size() < static_cast<std::size_t>(def.size) ? text.size() : def.size;
            std::memcpy(dst, text.data(), n);
            return;
        }
        case FieldType::Short:
            if (value.kind() != Value::Kind::Integer) WrongKind(def);
            if (value.integer() < -32767 || value.integer() > 32767) OutOfRange(def);
            EncodeInteger(value.integer(), dst, 2);
            return;
        case FieldType::Date:
        case FieldType::Long:
        case FieldType::Time:
        case FieldType::AutoInc:
            if (value.kind() != Value::Kind::Integer) WrongKind(def);
            if (value.integer() < -2147483647LL || value.integer() > 2147483647LL) {
                OutOfRange(def);
            }
            EncodeInteger(value.integer(), dst, 4);
            return;
        case FieldType::Money:
        case FieldType::Number:
        case FieldType::Timestamp:
            if (value.kind() == Value::Kind::Float) {
                EncodeDouble(value.number(), dst);
            } else if (value.kind() == Value::Kind::Integer) {
                EncodeDouble(static_cast<double>(value.integer()), dst);
            } else {
                WrongKind(def);
            }
            return;
        case FieldType::Logical:
            if (value.kind() != Value::Kind::Logical) WrongKind(def);
            dst[0] = value.logical() ? 0x81 : 0x80;
            return;
        case FieldType::Bcd:
            if (value.kind() != Value::Kind::Text) WrongKind(def);
            if (!TextToBcd(value.text(), def.decimals, dst)) OutOfRange(def);
            return;
        case FieldType::Bytes: {
            if (value.kind() != Value::Kind::Bytes && value.kind() != Value::Kind::Text) {
                WrongKind(def);
            }
            const std::string& bytes = value.text();
            const std::size_t n =
                bytes.size() < static_cast<std::size_t>(def.size) ? bytes.size() : def.size;
            std::memcpy(dst, bytes.data(), n);
            return;
        }
        case FieldType::Memo:
        case FieldType::Binary:
        case FieldType::FormattedMemo:
        case FieldType::Ole:
        case FieldType::Graphic:
            throw EDBEngineError(dbierr::kNotSupported,
                                 "BLOB fields cannot be written by this engine.\r\nField: " +
                                     def.name);
    }
}

unsigned char UpperAnsi(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
    switch (c) {
        case 0x9A: return 0x8A;  // s caron
        case 0x9C: return 0x8C;  // oe
        case 0x9E: return 0x8E;  // z caron
        case 0xFF: return 0x9F;  // y diaeresis
        default: return c;
    }
}

std::string UpperAnsi(const std::string& text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(UpperAnsi(static_cast<unsigned char>(c)));
    return upper;
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (UpperAnsi(static_cast<unsigned char>(a[i])) !=
            UpperAnsi(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::vector<int> FieldOffsets(const std::vector<FieldDef>& fields) {
    std::vector<int> offsets;
    offsets.reserve(fields.size());
    int offset = 0;
    for (const FieldDef& def : fields) {
        offsets.push_back(offset);
        offset += def.size;
    }
    return offsets;
}

int RecordSize(const std::vector<FieldDef>& fields) {
    int size = 0;
    for (const FieldDef& def : fields) size += def.size;
    return size;
}

int CompareAlpha(const unsigned char* a, const unsigned char* b, int size, bool caseFolded,
                 bool tiebreak) {
    if (caseFolded) {
        for (int i = 0; i < size; ++i) {
            const unsigned char x = UpperAnsi(a[i]);
            const unsigned char y = UpperAnsi(b[i]);
            if (x != y) return x < y ? -1 : 1;
        }
        if (!tiebreak) return 0;
    }
    const int c = std::memcmp(a, b, static_cast<std::size_t>(size));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int CompareKeys(const std::vector<FieldDef>& fields, const std::vector<int>& offsets,
                int keyFields, Collation collation, const unsigned char* a,
                const unsigned char* b) {
    for (int f = 0; f < keyFields; ++f) {
        const FieldDef& def = fields[static_cast<std::size_t>(f)];
        const int offset = offsets[static_cast<std::size_t>(f)];
        const bool folded = def.type == FieldType::Alpha && collation == Collation::CaseFolded;
        const int c = CompareAlpha(a + offset, b + offset, def.size, folded, true);
        if (c != 0) return c;
    }
    return 0;
}

namespace {
bool IsLeap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
const int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
}  // namespace

std::int64_t DayNumber(int year, int month, int day) {
    // Days before `year` since 0001-01-01, then days of the year.
    const std::int64_t y = year - 1;
    std::int64_t days = y * 365 + y / 4 - y / 100 + y / 400;
    for (int m = 1; m < month; ++m) {
        days += kMonthDays[m - 1] + (m == 2 && IsLeap(year) ? 1 : 0);
    }
    return days + day;
}

void CalendarDate(std::int64_t dayNumber, int* year, int* month, int* day) {
    std::int64_t n = dayNumber - 1;  // days since 0001-01-01
    std::int64_t y = 1;
    const std::int64_t c400 = n / 146097;
    n %= 146097;
    y += 400 * c400;
    std::int64_t c100 = n / 36524;
    if (c100 == 4) c100 = 3;
    n -= c100 * 36524;
    y += 100 * c100;
    const std::int64_t c4 = n / 1461;
    n %= 1461;
    y += 4 * c4;
    std::int64_t c1 = n / 365;
    if (c1 == 4) c1 = 3;
    n -= c1 * 365;
    y += c1;
    int m = 1;
    while (m <= 12) {
        const int length = kMonthDays[m - 1] + (m == 2 && IsLeap(y) ? 1 : 0);
        if (n < length) break;
        n -= length;
        ++m;
    }
    *year = static_cast<int>(y);
    *month = m;
    *day = static_cast<int>(n + 1);
}

}  // namespace engine
