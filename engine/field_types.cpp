#include "engine/FieldTypes.h"

#include <cstring>

namespace engine {

bool IsBlobType(FieldType type) {
    switch (type) {
        case FieldType::Memo:
        case FieldType::Binary:
        case FieldType::FormattedMemo:
        case FieldType::Ole:
        case FieldType::Graphic:
            return true;
        default:
            return false;
    }
}

bool IsKnownFieldType(std::uint8_t code) {
    switch (code) {
        case 0x01: case 0x02: case 0x03: case 0x04: case 0x05: case 0x06: case 0x09:
        case 0x0C: case 0x0D: case 0x0E: case 0x0F: case 0x10:
        case 0x14: case 0x15: case 0x16: case 0x17: case 0x18:
            return true;
        default:
            return false;
    }
}

const char* FieldTypeLetter(FieldType type) {
    switch (type) {
        case FieldType::Alpha: return "A";
        case FieldType::Date: return "D";
        case FieldType::Short: return "S";
        case FieldType::Long: return "I";
        case FieldType::Money: return "$";
        case FieldType::Number: return "N";
        case FieldType::Logical: return "L";
        case FieldType::Memo: return "M";
        case FieldType::Binary: return "B";
        case FieldType::FormattedMemo: return "F";
        case FieldType::Ole: return "O";
        case FieldType::Graphic: return "G";
        case FieldType::Time: return "T";
        case FieldType::Timestamp: return "@";
        case FieldType::AutoInc: return "+";
        case FieldType::Bcd: return "#";
        case FieldType::Bytes: return "Y";
    }
    return "?";
}

int FixedFieldSize(FieldType type) {
    switch (type) {
        case FieldType::Date: return 4;
        case FieldType::Short: return 2;
        case FieldType::Long: return 4;
        case FieldType::Money: return 8;
        case FieldType::Number: return 8;
        case FieldType::Logical: return 1;
        case FieldType::Time: return 4;
        case FieldType::Timestamp: return 8;
        case FieldType::AutoInc: return 4;
        case FieldType::Bcd: return 17;
        default: return 0;
    }
}

FieldDef FieldDef::Alpha(const std::string& name, int length) {
    FieldDef def;
    def.name = name;
    def.type = FieldType::Alpha;
    def.size = length;
    return def;
}

FieldDef FieldDef::Of(const std::string& name, FieldType type) {
    FieldDef def;
    def.name = name;
    def.type = type;
    def.size = FixedFieldSize(type);
    return def;
}

FieldDef FieldDef::BcdField(const std::string& name, int decimals) {
    FieldDef def = Of(name, FieldType::Bcd);
    def.decimals = decimals;
    return def;
}

Value Value::Text(std::string text) {
    Value v;
    v.kind_ = Kind::Text;
    v.text_ = std::move(text);
    return v;
}

Value Value::Integer(std::int64_t value) {
    Value v;
    v.kind_ = Kind::Integer;
    v.integer_ = value;
    return v;
}

Value Value::Float(double value) {
    Value v;
    v.kind_ = Kind::Float;
    v.number_ = value;
    return v;
}

Value Value::Logical(bool value) {
    Value v;
    v.kind_ = Kind::Logical;
    v.integer_ = value ? 1 : 0;
    return v;
}

Value Value::Bytes(std::string bytes) {
    Value v;
    v.kind_ = Kind::Bytes;
    v.text_ = std::move(bytes);
    return v;
}

Value Value::Blob() {
    Value v;
    v.kind_ = Kind::Blob;
    return v;
}

bool Value::operator==(const Value& other) const {
    if (kind_ != other.kind_) return false;
    switch (kind_) {
        case Kind::Null:
        case Kind::Blob:
            return true;
        case Kind::Text:
        case Kind::Bytes:
            return text_ == other.text_;
        case Kind::Integer:
        case Kind::Logical:
            return integer_ == other.integer_;
        case Kind::Float:
            return std::memcmp(&number_, &other.number_, sizeof number_) == 0 ||
                   number_ == other.number_;
    }
    return false;
}

}  // namespace engine
