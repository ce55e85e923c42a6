#include <gtest/gtest.h>

#include "common/SystemHelpers.h"
#include "common/Text.h"

namespace {

TEST(AnsiCase, FoldsAsciiAndCodePage1252Letters) {
    struct Case {
        const char* name;
        std::string lower;
        std::string upper;
    };
    const Case cases[] = {
        {"ascii", "system c:\\data", "SYSTEM C:\\DATA"},
        {"latin-1 accents", "\xE0\xE9\xFE", "\xC0\xC9\xDE"},
        {"caron, ligature and y diaeresis", "\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"},
        {"digits and punctuation unchanged", "0-9_[]", "0-9_[]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AnsiUpperCase(c.lower), c.upper);
        EXPECT_EQ(AnsiLowerCase(c.upper), c.lower);
    }
}

TEST(AnsiCase, LeavesNonLettersOfTheUpperHalfAlone) {
    // Division and multiplication signs sit among the letters; sharp s has
    // no capital in code page 1252.
    EXPECT_EQ(AnsiUpperCase("\xF7\xDF"), "\xF7\xDF");
    EXPECT_EQ(AnsiLowerCase("\xD7"), "\xD7");
}

TEST(IsBlank, TreatsEveryCodeUpTo32AsBlank) {
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank(" \t \r\n"));
    EXPECT_TRUE(IsBlank(std::string("\0\x1F ", 3)));
    EXPECT_FALSE(IsBlank("  x "));
    EXPECT_FALSE(IsBlank("\xA0"));  // a no-break space is code 160
}

TEST(FileBaseName, TakesTheNameAfterTheLastBackslashOrColonWithoutExtension) {
    struct Case {
        const char* path;
        const char* base;
    };
    const Case cases[] = {
        {"C:\\Virelle\\VRL_DPD134.exe", "VRL_DPD134"},
        {"VRL.EXE", "VRL"},
        {"a.b.txt", "a.b"},
        {"C:\\DIR.X\\FILE", "FILE"},
        {"C:FILE.TXT", "FILE"},
        {"NOEXT", "NOEXT"},
        {".ini", ""},
        {"C:\\Virelle\\", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FileBaseName(c.path), c.base);
    }
}

}  // namespace
