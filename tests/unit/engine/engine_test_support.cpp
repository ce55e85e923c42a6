#include "EngineTestSupport.h"

#include <cstdlib>

namespace enginetest {

EngineTest::EngineTest() { machine.makeFolder("C:\\DATA"); }

::testing::AssertionResult SameValue(const engine::FieldDef& def, const engine::Value& value,
                                     const PxCell& cell) {
    using engine::FieldType;
    auto fail = [&](const std::string& what) {
        return ::testing::AssertionFailure() << def.name << ": " << what;
    };
    // pxlib peculiarity (paradox-format.md 3.2): an all-zero 4-byte integer
    // field (I, D, T, +) is not reported blank but as -2147483648.
    const bool fourByteInteger = def.type == FieldType::Long || def.type == FieldType::Date ||
                                 def.type == FieldType::Time || def.type == FieldType::AutoInc;
    if (fourByteInteger && value.isNull() && !cell.isNull && cell.integer == -2147483648L) {
        return ::testing::AssertionSuccess();
    }
    if (value.isNull() != cell.isNull) {
        return fail(std::string("engine says ") + (value.isNull() ? "blank" : "not blank") +
                    ", pxlib says " + (cell.isNull ? "blank" : "not blank"));
    }
    if (value.isNull()) return ::testing::AssertionSuccess();
    switch (def.type) {
        case FieldType::Alpha:
        case FieldType::Bytes:
            if (value.text() != cell.text) return fail("'" + value.text() + "' != '" + cell.text + "'");
            break;
        case FieldType::Bcd:
            if (std::strtod(value.text().c_str(), nullptr) != std::strtod(cell.text.c_str(), nullptr)) {
                return fail(value.text() + " != " + cell.text);
            }
            break;
        case FieldType::Logical:
            if (value.logical() != (cell.integer != 0)) return fail("logical differs");
            break;
        case FieldType::Number:
        case FieldType::Money:
        case FieldType::Timestamp:
            if (value.number() != cell.number) {
                return fail(std::to_string(value.number()) + " != " + std::to_string(cell.number));
            }
            break;
        default:
            if (value.integer() != cell.integer) {
                return fail(std::to_string(value.integer()) + " != " + std::to_string(cell.integer));
            }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace enginetest
