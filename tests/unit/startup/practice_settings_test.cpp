// The practice settings upkeep: the file changes of every start and the
// practice profile read from the file.
#include <gtest/gtest.h>

#include <vector>

#include "startup/Main_DataModules.h"
#include "startup/Phases.h"
#include "practice_machine.h"

namespace {

// A key of the practice settings file after the starts; a null value means
// the key must be absent.
struct Key {
    const char* section;
    const char* key;
    const char* value;
};

struct UpkeepCase {
    const char* name;
    const char* before;  // the practice settings file
    int starts;
    platform::LocalTime today;
    char country;
    const char* scheme;
    char format;
    std::vector<Key> after;
};

constexpr platform::LocalTime kBeforeCutOff{2009, 10, 31, 23, 59, 0, 0};
constexpr platform::LocalTime kCutOff{2009, 11, 1, 0, 0, 0, 0};
constexpr platform::LocalTime kLater{2024, 3, 14, 9, 0, 0, 0};

const UpkeepCase kUpkeepCases[] = {
    {"new practice", "[WebEDI]\r\nUser=x\r\n[Computers]\r\nPC1=1\r\n", 1, kLater, 'E', "DPB", 'X',
     {{"Virelle", "Country", nullptr}, {"Transmission", "Format", "X"},
      {"WebEDI", "User", nullptr}, {"Computers", "PC1", nullptr}, {"RACAL", "Site", nullptr}}},
    {"registration without country", "[Registration]\r\nName=Smile\r\n", 1, kLater, 'E', "DPB", 'X',
     {{"Virelle", "Country", "E"}}},
    {"run date without country", "[Virelle]\r\nDate=01/02/2008\r\n", 1, kLater, 'E', "DPB", 'X',
     {{"Virelle", "Country", "E"}}},
    {"empty registration section is no registration", "[Registration]\r\n", 1, kLater, 'E', "DPB",
     'X', {{"Virelle", "Country", nullptr}}},
    {"country E format E copies the RACAL site once",
     "[Virelle]\r\nCountry=E\r\n[Transmission]\r\nFormat=E\r\nSite=77\r\n", 2, kLater, 'E', "DPB",
     'X', {{"RACAL", "Site", "77"}, {"Transmission", "Format", "X"}}},
    {"S empty format and serial becomes N, RACAL gets the empty site",
     "[Virelle]\r\nCountry=S\r\n[WebEDI]\r\nUser=x\r\n", 1, kLater, 'S', "DPD", 'N',
     {{"Transmission", "Format", "N"}, {"RACAL", "Site", ""}, {"WebEDI", "User", "x"}}},
    {"S with a serial and no format key reads format E",
     "[Virelle]\r\nCountry=S\r\n[Transmission]\r\nSerial=123\r\n", 1, kLater, 'S', "DPD", 'E',
     {{"Transmission", "Format", nullptr}, {"RACAL", "Site", ""}}},
    {"S keeps its format E and an existing RACAL site",
     "[Virelle]\r\nCountry=S\r\n[Transmission]\r\nFormat=E\r\nSite=12\r\n[RACAL]\r\nSite=9\r\n", 1,
     kLater, 'S', "DPD", 'E', {{"Transmission", "Format", "E"}, {"RACAL", "Site", "9"}}},
    {"S with format Q is X in memory only",
     "[Virelle]\r\nCountry=S\r\n[Transmission]\r\nFormat=Q\r\n", 1, kLater, 'S', "DPD", 'X',
     {{"Transmission", "Format", "Q"}, {"RACAL", "Site", nullptr}}},
    {"S with a present but empty format and a serial",
     "[Virelle]\r\nCountry=S\r\n[Transmission]\r\nFormat=\r\nSerial=123\r\n", 1, kLater, 'S', "DPD",
     'X', {{"Transmission", "Format", ""}, {"RACAL", "Site", nullptr}}},
    {"I forces format X", "[Virelle]\r\nCountry=I\r\n[Transmission]\r\nFormat=N\r\n", 1, kLater, 'I',
     "RSI", 'X', {{"Transmission", "Format", "X"}, {"RACAL", "Site", ""}}},
    {"present but empty country reads as E", "[Virelle]\r\nCountry=\r\n", 1, kLater, 'E', "DPB", 'X',
     {{"Virelle", "Country", ""}}},
    {"J without status", "[Virelle]\r\nCountry=J\r\n", 1, kLater, 'J', "DPB", 'X',
     {{"Patient", "Status", "PIDXLS"}}},
    {"J without status, second start", "[Virelle]\r\nCountry=J\r\n", 2, kLater, 'J', "DPB", 'X',
     {{"Patient", "Status", "PIDXLS"}}},
    {"J status nnxy", "[Virelle]\r\nCountry=J\r\n[Patient]\r\nStatus=nnxy\r\n", 1, kLater, 'J', "DPB",
     'X', {{"Patient", "Status", "NXY"}}},
    {"J status nnxy, second start", "[Virelle]\r\nCountry=J\r\n[Patient]\r\nStatus=nnxy\r\n", 2,
     kLater, 'J', "DPB", 'X', {{"Patient", "Status", "XY"}}},
    {"J status without N is left as written",
     "[Virelle]\r\nCountry=J\r\n[Patient]\r\nStatus=pidx\r\n", 1, kLater, 'J', "DPB", 'X',
     {{"Patient", "Status", "pidx"}}},
    {"W keeps the status", "[Virelle]\r\nCountry=W\r\n[Patient]\r\nStatus=nxy\r\n", 1, kLater, 'W',
     "DPB", 'X', {{"Patient", "Status", "nxy"}}},
    {"site 487 clears BDA", "[Registration]\r\nSite=487\r\n[Medical]\r\nBDA=1\r\n", 1, kLater, 'E',
     "DPB", 'X', {{"Medical", "BDA", "0"}}},
    {"other site keeps BDA", "[Registration]\r\nSite=488\r\n[Medical]\r\nBDA=1\r\n", 1, kLater, 'E',
     "DPB", 'X', {{"Medical", "BDA", "1"}}},
    {"txtconnexions before the cut-off with an account",
     "[SMS]\r\nUsername=u\r\nPassword=p\r\n", 1, kBeforeCutOff, 'E', "DPB", 'X',
     {{"SMS", "txtconnexions", "1"}}},
    {"txtconnexions before the cut-off without a password", "[SMS]\r\nUsername=u\r\n", 1,
     kBeforeCutOff, 'E', "DPB", 'X', {{"SMS", "txtconnexions", "0"}}},
    {"txtconnexions 2 before the cut-off is settled",
     "[SMS]\r\ntxtconnexions=2\r\nUsername=u\r\nPassword=p\r\n", 1, kBeforeCutOff, 'E', "DPB", 'X',
     {{"SMS", "txtconnexions", "1"}}},
    {"txtconnexions chosen before the cut-off is kept", "[SMS]\r\ntxtconnexions=0\r\nUsername=u\r\nPassword=p\r\n",
     1, kBeforeCutOff, 'E', "DPB", 'X', {{"SMS", "txtconnexions", "0"}}},
    {"txtconnexions from the cut-off on is not written", "[SMS]\r\nUsername=u\r\nPassword=p\r\n", 1,
     kCutOff, 'E', "DPB", 'X', {{"SMS", "txtconnexions", nullptr}}},
};

void Start(int times) {
    TFRM_Main_DataModules module;
    for (int i = 0; i < times; ++i) {
        ResetPracticeProfile();
        KeepPracticeSettings(module);
    }
}

TEST(PracticeSettings, UpkeepWritesItsRulesAndSetsTheProfile) {
    for (const UpkeepCase& c : kUpkeepCases) {
        SCOPED_TRACE(c.name);
        PracticeMachine practice;
        practice.machine.clock().setLocalTime(c.today);
        practice.machine.writeFile("C:\\Virelle\\VRLPRC.INI", c.before);
        Start(c.starts);

        EXPECT_EQ(CountryCode, c.country);
        EXPECT_EQ(SchemeCode, c.scheme);
        EXPECT_EQ(TransmissionFormat, c.format);
        const IniFile file = practice.PracticeSettings();
        for (const Key& key : c.after) {
            SCOPED_TRACE(std::string(key.section) + " " + key.key);
            if (key.value == nullptr) {
                EXPECT_FALSE(file.ValueExists(key.section, key.key));
            } else {
                EXPECT_EQ(file.ReadString(key.section, key.key, "<absent>"), key.value);
            }
        }
    }
}

struct ProfileCase {
    const char* name;
    const char* settings;
    bool iom, a1dpb, patientLock, sms, newClaim;
    int site;
    bool e, s, w, i, j;
};

const ProfileCase kProfileCases[] = {
    {"E with IOM", "[Virelle]\r\nCountry=England\r\nIOM=1\r\n", true, false, false, false, false, 0,
     true, false, false, false, false},
    {"W ignores IOM", "[Virelle]\r\nCountry=W\r\nIOM=1\r\n", false, false, false, false, false, 0,
     false, false, true, false, false},
    {"flags", "[Virelle]\r\nCountry=S\r\nA1DPB=1\r\nNewClaim=1\r\n[Patient]\r\nLock=1\r\n"
              "[SMS]\r\ntxtconnexions=1\r\n",
     false, true, true, true, true, 0, false, true, false, false, false},
    {"site in hexadecimal", "[Registration]\r\nSite=0x10\r\n", false, false, false, false, false, 16,
     true, false, false, false, false},
    {"site not a number", "[Virelle]\r\nCountry=I\r\n[Registration]\r\nSite=abc\r\n", false, false,
     false, false, false, 0, false, false, false, true, false},
    {"lower-case country is no known country", "[Virelle]\r\nCountry=j\r\n", false, false, false,
     false, false, 0, false, false, false, false, false},
};

TEST(PracticeSettings, ProfileFlagsComeFromTheFile) {
    for (const ProfileCase& c : kProfileCases) {
        SCOPED_TRACE(c.name);
        PracticeMachine practice;
        practice.machine.writeFile("C:\\Virelle\\VRLPRC.INI", c.settings);
        Start(1);
        EXPECT_EQ(IomFlag, c.iom);
        EXPECT_EQ(A1dpbFlag, c.a1dpb);
        EXPECT_EQ(PatientLockFlag, c.patientLock);
        EXPECT_EQ(SmsFlag, c.sms);
        EXPECT_EQ(NewClaim, c.newClaim);
        EXPECT_EQ(SiteNumber, c.site);
        EXPECT_EQ(CountryE, c.e);
        EXPECT_EQ(CountryS, c.s);
        EXPECT_EQ(CountryW, c.w);
        EXPECT_EQ(CountryI, c.i);
        EXPECT_EQ(CountryJ, c.j);
    }
}

TEST(PracticeSettings, CheckpointsTellNewFromEstablishedPractices) {
    struct Case {
        const char* name;
        const char* settings;
        std::vector<std::string> logged;
    };
    const std::vector<std::string> rest = {"9.1418",   "9.1419",   "9.14191", "9.14192",
                                           "9.14193",  "9.14194",  "9.14195", "9.14196"};
    auto with = [&rest](std::vector<std::string> head) {
        head.insert(head.end(), rest.begin(), rest.end());
        return head;
    };
    const Case cases[] = {
        {"new practice", "", with({"9.1415", "9.1417"})},
        {"registered practice", "[Registration]\r\nSite=1\r\n", with({"9.1415", "9.1416"})},
        {"country known", "[Virelle]\r\nCountry=S\r\n", with({})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PracticeMachine practice("VRL.EXE");
        practice.machine.writeFile("C:\\Virelle\\VRLPRC.INI", c.settings);
        Start(1);
        EXPECT_EQ(practice.LoggedMessages(), c.logged);
    }
}

TEST(PracticeSettings, RefusedWriteRaisesTheSettingsError) {
    PracticeMachine practice;
    practice.machine.writeFile("C:\\Virelle\\VRLPRC.INI", "[Registration]\r\nSite=1\r\n");
    practice.machine.refuseWrites("C:\\Virelle\\VRLPRC.INI");
    TFRM_Main_DataModules module;
    try {
        KeepPracticeSettings(module);
        ADD_FAILURE() << "the refused write of Country=E went unnoticed";
    } catch (const EIniFileError& error) {
        EXPECT_STREQ(error.what(), "Unable to write to C:\\Virelle\\VRLPRC.INI");
    }
}

}  // namespace
