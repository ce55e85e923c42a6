#include <gtest/gtest.h>

#include <functional>

#include "common/IniFile.h"
#include "unit/common/CommonTestSupport.h"

namespace {

using commontest::SimWorld;

const char kIni[] = "C:\\Virelle\\VRL.INI";

TEST(IniFile, ReadsTextWithTheDefaultOnlyForAMissingKey) {
    SimWorld world;
    world.machine.writeFile(kIni, "[Virelle]\r\nWD=F:\r\nEmpty=\r\n");
    const IniFile ini(kIni);
    EXPECT_EQ(ini.ReadString("virelle", "wd", "none"), "F:");
    EXPECT_EQ(ini.ReadString("Virelle", "Empty", "none"), "");
    EXPECT_EQ(ini.ReadString("Virelle", "Missing", "none"), "none");
    EXPECT_EQ(ini.ReadString("Other", "WD", "none"), "none");
    EXPECT_EQ(IniFile("C:\\NOFILE.INI").ReadString("Virelle", "WD", "none"), "none");
}

TEST(IniFile, ReadsIntegersAndFlags) {
    SimWorld world;
    world.machine.writeFile(kIni,
                            "[S]\r\nDec=42\r\nHex=0x1F\r\nNeg=-3\r\nWord=yes\r\nEmpty=\r\n"
                            "Two=2\r\nZero=0\r\n");
    const IniFile ini(kIni);
    struct Case {
        const char* key;
        int integer;  // read with default 7
        bool flag;    // read with default true
    };
    const Case cases[] = {
        {"Dec", 42, true},   {"Hex", 31, true},   {"Neg", -3, true},  {"Word", 7, true},
        {"Empty", 7, true},  {"Two", 2, true},    {"Zero", 0, false}, {"Missing", 7, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(ini.ReadInteger("S", c.key, 7), c.integer);
        EXPECT_EQ(ini.ReadBool("S", c.key, true), c.flag);
    }
    EXPECT_FALSE(ini.ReadBool("S", "Word", false));
}

TEST(IniFile, WritesFlagsIntegersAndDatesAsText) {
    SimWorld world;
    world.machine.makeFolder("C:\\Virelle");
    IniFile ini(kIni);
    ini.WriteBool("S", "On", true);
    ini.WriteBool("S", "Off", false);
    ini.WriteInteger("S", "Count", -12);
    ini.WriteDate("RunOnce", "SDR134", Date{2012, 3, 14});
    ini.WriteString("S", "Text", "a=b");
    EXPECT_EQ(ini.ReadString("S", "On", ""), "1");
    EXPECT_EQ(ini.ReadString("S", "Off", ""), "0");
    EXPECT_EQ(ini.ReadString("S", "Count", ""), "-12");
    EXPECT_EQ(ini.ReadString("RunOnce", "SDR134", ""), "14/03/2012");
    EXPECT_EQ(ini.ReadDate("RunOnce", "SDR134", Date{}), (Date{2012, 3, 14}));
    EXPECT_EQ(ini.ReadString("S", "Text", ""), "a=b");
}

TEST(IniFile, ReadsAnEmptyOrInvalidDateAsTheDefault) {
    SimWorld world;
    world.machine.writeFile(kIni, "[RunOnce]\r\nA=\r\nB=31/02/2012\r\nC=2012-03-14\r\nD=1/3/2012\r\n");
    const IniFile ini(kIni);
    const Date fallback{1999, 12, 31};
    EXPECT_EQ(ini.ReadDate("RunOnce", "A", fallback), fallback);
    EXPECT_EQ(ini.ReadDate("RunOnce", "B", fallback), fallback);
    EXPECT_EQ(ini.ReadDate("RunOnce", "C", fallback), fallback);
    EXPECT_EQ(ini.ReadDate("RunOnce", "D", fallback), (Date{2012, 3, 1}));
    EXPECT_EQ(ini.ReadDate("RunOnce", "Missing", fallback), fallback);
}

TEST(IniFile, KnowsSectionsByTheirKeys) {
    SimWorld world;
    world.machine.writeFile(kIni, "[Network]\r\nDrive=F:\r\nRemotePath=\\\\S\\D\r\n[Empty]\r\n");
    IniFile ini(kIni);
    EXPECT_TRUE(ini.SectionExists("NETWORK"));
    EXPECT_FALSE(ini.SectionExists("Empty"));  // a section holds at least one key
    EXPECT_FALSE(ini.SectionExists("Missing"));
    EXPECT_TRUE(ini.ValueExists("Network", "remotepath"));
    EXPECT_FALSE(ini.ValueExists("Network", "Remote"));
    EXPECT_EQ(ini.ReadSection("Network"), (std::vector<std::string>{"Drive", "RemotePath"}));

    ini.DeleteKey("Network", "Drive");
    EXPECT_EQ(ini.ReadSection("Network"), std::vector<std::string>{"RemotePath"});
    ini.EraseSection("network");
    EXPECT_FALSE(ini.SectionExists("Network"));
    ini.EraseSection("Missing");  // nothing to erase is no failure
}

TEST(IniFile, ARefusedWriteRaisesUnableToWrite) {
    using Change = std::function<void(IniFile&)>;
    struct Case {
        const char* name;
        Change change;
    };
    const Case cases[] = {
        {"text", [](IniFile& ini) { ini.WriteString("S", "K", "v"); }},
        {"integer", [](IniFile& ini) { ini.WriteInteger("S", "K", 1); }},
        {"flag", [](IniFile& ini) { ini.WriteBool("S", "K", true); }},
        {"date", [](IniFile& ini) { ini.WriteDate("S", "K", Date{2012, 3, 14}); }},
        {"section erase", [](IniFile& ini) { ini.EraseSection("S"); }},
        {"key delete", [](IniFile& ini) { ini.DeleteKey("S", "K"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimWorld world;
        world.machine.writeFile(kIni, "[S]\r\nK=old\r\n");
        world.machine.refuseWrites(kIni);
        IniFile ini(kIni);
        try {
            c.change(ini);
            ADD_FAILURE() << "no error raised";
        } catch (const Exception& error) {  // what the start-up's catch-all sees
            EXPECT_STREQ(error.what(), "Unable to write to C:\\Virelle\\VRL.INI");
            EXPECT_NE(dynamic_cast<const EIniFileError*>(&error), nullptr);
        }
        EXPECT_EQ(world.machine.readFile(kIni), "[S]\r\nK=old\r\n");
    }
}

TEST(IniFile, GarbageBytesReadAsDefaults) {
    SimWorld world;
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 37 + 11) % 256);
    junk += "\r\n[S]\r\nGood=5\r\n=novalue\r\n[\r\nBad=\x01\xFF\r\n";
    world.machine.writeFile(kIni, junk);
    IniFile ini(kIni);
    EXPECT_EQ(ini.ReadInteger("S", "Good", 0), 5);
    EXPECT_EQ(ini.ReadInteger("S", "Bad", 9), 9);
    EXPECT_FALSE(ini.ReadBool("S", "Bad", false));
    EXPECT_EQ(ini.ReadDate("S", "Bad", Date{}), Date{});
    ini.ReadSection("S");
    ini.WriteString("S", "New", "1");
    EXPECT_EQ(ini.ReadInteger("S", "New", 0), 1);
}

}  // namespace
