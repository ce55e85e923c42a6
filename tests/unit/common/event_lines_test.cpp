#include <gtest/gtest.h>

#include "common/EventLog.h"

namespace {

TEST(SplitLines, AcceptsEveryLineEnd) {
    using Lines = std::vector<std::string>;
    struct Case {
        const char* name;
        std::string text;
        Lines lines;
    };
    const Case cases[] = {
        {"empty", "", {}},
        {"crlf", "a\r\nb\r\n", {"a", "b"}},
        {"no final end", "a\r\nb", {"a", "b"}},
        {"lf", "a\nb\n", {"a", "b"}},
        {"cr", "a\rb\r", {"a", "b"}},
        {"lf cr is two ends", "a\n\rb", {"a", "", "b"}},
        {"empty lines kept", "\r\n\r\nx", {"", "", "x"}},
        {"nul bytes are text", std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SplitLines(c.text), c.lines);
    }
}

}  // namespace
