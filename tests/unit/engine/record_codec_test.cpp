// The record encoding against the examples of paradox-format.md section
// 10.2 (verified with pxlib) and the BCD and calendar rules.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/EngineError.h"
#include "engine/record_codec.h"

namespace {

using engine::FieldDef;
using engine::FieldType;
using engine::Value;

std::vector<unsigned char> Encode(const FieldDef& def, const Value& value) {
    std::vector<unsigned char> bytes(static_cast<std::size_t>(def.size), 0xEE);
    engine::EncodeField(def, value, bytes.data());
    return bytes;
}

struct EncodingCase {
    const char* name;
    FieldDef def;
    Value value;
    std::vector<unsigned char> bytes;
};

class EncodingTest : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(EncodingTest, EncodesAndDecodes) {
    const EncodingCase& c = GetParam();
    EXPECT_EQ(c.bytes, Encode(c.def, c.value));
    EXPECT_EQ(c.value, engine::DecodeField(c.def, c.bytes.data()));
}

const FieldDef kShort = FieldDef::Of("S", FieldType::Short);
const FieldDef kLong = FieldDef::Of("I", FieldType::Long);
const FieldDef kNumber = FieldDef::Of("N", FieldType::Number);
const FieldDef kMoney = FieldDef::Of("M", FieldType::Money);
const FieldDef kLogical = FieldDef::Of("L", FieldType::Logical);
const FieldDef kAlpha = FieldDef::Alpha("A", 5);

INSTANTIATE_TEST_SUITE_P(
    Reference, EncodingTest,
    ::testing::Values(
        EncodingCase{"short 1", kShort, Value::Integer(1), {0x80, 0x01}},
        EncodingCase{"short 256", kShort, Value::Integer(256), {0x81, 0x00}},
        EncodingCase{"short 0", kShort, Value::Integer(0), {0x80, 0x00}},
        EncodingCase{"short -1", kShort, Value::Integer(-1), {0x7F, 0xFF}},
        EncodingCase{"long 1", kLong, Value::Integer(1), {0x80, 0x00, 0x00, 0x01}},
        EncodingCase{"long 65536", kLong, Value::Integer(65536), {0x80, 0x01, 0x00, 0x00}},
        EncodingCase{"long -2", kLong, Value::Integer(-2), {0x7F, 0xFF, 0xFF, 0xFE}},
        EncodingCase{"number 1.0", kNumber, Value::Float(1.0), {0xBF, 0xF0, 0, 0, 0, 0, 0, 0}},
        EncodingCase{"number 1.5", kNumber, Value::Float(1.5), {0xBF, 0xF8, 0, 0, 0, 0, 0, 0}},
        EncodingCase{"number 100.5", kNumber, Value::Float(100.5), {0xC0, 0x59, 0x20, 0, 0, 0, 0, 0}},
        EncodingCase{"money 1234.56", kMoney, Value::Float(1234.56),
                     {0xC0, 0x93, 0x4A, 0x3D, 0x70, 0xA3, 0xD7, 0x0A}},
        EncodingCase{"number 0.0", kNumber, Value::Float(0.0), {0x80, 0, 0, 0, 0, 0, 0, 0}},
        EncodingCase{"number -1.0", kNumber, Value::Float(-1.0),
                     {0x40, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        EncodingCase{"number -2.25", kNumber, Value::Float(-2.25),
                     {0x3F, 0xFD, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        EncodingCase{"true", kLogical, Value::Logical(true), {0x81}},
        EncodingCase{"false", kLogical, Value::Logical(false), {0x80}},
        EncodingCase{"alpha", kAlpha, Value::Text("abc"), {'a', 'b', 'c', 0, 0}},
        EncodingCase{"alpha full", kAlpha, Value::Text("abcde"), {'a', 'b', 'c', 'd', 'e'}},
        EncodingCase{"blank short", kShort, Value::Null(), {0, 0}},
        EncodingCase{"blank number", kNumber, Value::Null(), {0, 0, 0, 0, 0, 0, 0, 0}},
        EncodingCase{"blank logical", kLogical, Value::Null(), {0}},
        EncodingCase{"blank alpha", kAlpha, Value::Null(), {0, 0, 0, 0, 0}}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name) {
            if (!isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        return name;
    });

TEST(RecordCodec, NegativeZeroIsStoredAsZero) {
    EXPECT_EQ(Encode(kNumber, Value::Float(0.0)), Encode(kNumber, Value::Float(-0.0)));
}

TEST(RecordCodec, EmptyTextIsBlank) {
    EXPECT_TRUE(engine::DecodeField(kAlpha, Encode(kAlpha, Value::Text("")).data()).isNull());
}

TEST(RecordCodec, LongerTextIsCut) {
    EXPECT_EQ(Value::Text("abcde"), engine::DecodeField(kAlpha, Encode(kAlpha, Value::Text("abcdefg")).data()));
}

TEST(RecordCodec, ValuesOutOfRangeAreEngineErrors) {
    EXPECT_THROW(Encode(kShort, Value::Integer(-32768)), engine::EDBEngineError);
    EXPECT_THROW(Encode(kShort, Value::Integer(40000)), engine::EDBEngineError);
    EXPECT_THROW(Encode(kLong, Value::Integer(-2147483648LL)), engine::EDBEngineError);
    EXPECT_NO_THROW(Encode(kShort, Value::Integer(-32767)));
}

TEST(RecordCodec, ValuesOfTheWrongKindAreRefused) {
    EXPECT_THROW(Encode(kShort, Value::Text("1")), engine::EDatabaseError);
    EXPECT_THROW(Encode(kLogical, Value::Integer(1)), engine::EDatabaseError);
}

TEST(RecordCodec, BcdAsPxlibStoresIt) {
    // Bytes observed from pxlib 0.6.8 for a BCD field with 2 decimals.
    unsigned char bytes[17];
    ASSERT_TRUE(engine::TextToBcd("12.34", 2, bytes));
    const unsigned char positive[17] = {0xC2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x12, 0x34};
    EXPECT_EQ(0, std::memcmp(positive, bytes, 17));
    ASSERT_TRUE(engine::TextToBcd("-1", 2, bytes));
    unsigned char negative[17];
    std::memset(negative, 0xFF, 17);
    negative[0] = 0x42;
    negative[15] = 0xFE;
    EXPECT_EQ(0, std::memcmp(negative, bytes, 17));
    EXPECT_EQ("-1.00", engine::BcdToText(bytes, 2));
    ASSERT_TRUE(engine::TextToBcd("123456789012.5", 2, bytes));
    EXPECT_EQ("123456789012.50", engine::BcdToText(bytes, 2));
    ASSERT_TRUE(engine::TextToBcd("7", 0, bytes));
    EXPECT_EQ("7", engine::BcdToText(bytes, 0));
    EXPECT_FALSE(engine::TextToBcd("1x", 2, bytes));
    EXPECT_FALSE(engine::TextToBcd("1", 32, bytes));
    EXPECT_TRUE(engine::TextToBcd("0.5", 32, bytes));
}

TEST(RecordCodec, DayNumbersCountFromTheFirstOfJanuaryOfYearOne) {
    EXPECT_EQ(1, engine::DayNumber(1, 1, 1));
    EXPECT_EQ(36160, engine::DayNumber(100, 1, 1));  // Mitchell's example
    for (std::int64_t n : {1LL, 59LL, 60LL, 365LL, 366LL, 730120LL, 738916LL, 2000000LL}) {
        int y, m, d;
        engine::CalendarDate(n, &y, &m, &d);
        EXPECT_EQ(n, engine::DayNumber(y, m, d)) << n;
    }
    int y, m, d;
    engine::CalendarDate(engine::DayNumber(2024, 2, 29), &y, &m, &d);
    EXPECT_EQ(2024, y);
    EXPECT_EQ(2, m);
    EXPECT_EQ(29, d);
}

TEST(RecordCodec, CaseFoldingFollowsWindows1252) {
    EXPECT_EQ("ABC\xC9\x8A", engine::UpperAnsi(std::string("abc\xE9\x9A")));
    EXPECT_TRUE(engine::EqualsIgnoreCase("Claim", "CLAIM"));
    EXPECT_FALSE(engine::EqualsIgnoreCase("Claim", "Claims"));
}

TEST(RecordCodec, KeysCompareCaseFoldedThenByBytes) {
    const std::vector<FieldDef> fields{FieldDef::Alpha("A", 3)};
    const std::vector<int> offsets{0};
    const unsigned char lower[3] = {'a', 'b', 0}, upper[3] = {'A', 'C', 0};
    EXPECT_LT(engine::CompareKeys(fields, offsets, 1, engine::Collation::CaseFolded, lower, upper), 0);
    EXPECT_GT(engine::CompareKeys(fields, offsets, 1, engine::Collation::Bytes, lower, upper), 0);
}

}  // namespace
