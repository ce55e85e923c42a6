// Phase 9: the data drive's network connection recorded in [Network] of the
// machine settings file, and re-created from it when the letter has lost
// its root, on both platform families.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/IniFile.h"
#include "startup/NetworkDrive.h"
#include "starting_machine.h"

namespace {

using platform::RegistryRoot;
using startup_test::FamilyName;
using startup_test::kNt;
using startup_test::kWin9x;
using startup_test::StartingMachine;

const std::uint32_t kFamilies[] = {kNt, kWin9x};

const char kOldRecord[] =
    "[Virelle]\r\nWD=G:\r\n[Network]\r\nDrive=Q\r\nProviderName=Old\r\nRemotePath=\\\\OLD\\DATA\r\n"
    "UserName=old\r\nConnectionType=7\r\nProviderType=7\r\n";
const char kGRecord[] =
    "[Virelle]\r\nWD=G:\r\n[Network]\r\nDrive=G\r\nProviderName=Microsoft Windows Network\r\n"
    "RemotePath=\\\\SRV\\PRACTICE\r\nUserName=reception\r\nConnectionType=1\r\n"
    "ProviderType=131072\r\n";

// Windows' remembered connection of a letter, under the family's own key.
std::string RememberedKey(std::uint32_t family, char letter) {
    return std::string(family == kNt ? "Network\\" : "Network\\Persistent\\") + letter;
}

// The section [Network] of a settings text, as the file holds it.
std::string NetworkSectionOf(const std::string& text) {
    const std::size_t at = text.find("[Network]\r\n");
    if (at == std::string::npos) return "";
    const std::size_t end = text.find("\r\n[", at);
    return text.substr(at, end == std::string::npos ? std::string::npos : end + 2 - at);
}

std::string NetworkSection(StartingMachine& m) {
    return NetworkSectionOf(m.machine.readFile(MachineIniPath).value_or(""));
}

void RunSitesAndNetwork(StartingMachine& m, const std::string& driveSetting) {
    m.SetDataDrive(driveSetting);
    m.RunPhases({8, 9});
}

TEST(NetworkDrive, FixedDiskForgetsTheRecordAndOtherDrivesKeepIt) {
    struct Case {
        const char* name;
        const char* driveSetting;
        bool recordKept;
        const char* checkpoint;  // after 9.1 and 9.11; nullptr: none
    };
    const Case cases[] = {
        {"local disk c:", "c:", false, "9.111"},
        {"local disk D:\\", "D:\\", false, "9.111"},
        {"CD-ROM", "E:", true, nullptr},
        {"removable disk", "A:", true, nullptr},
        {"RAM disk", "R:", true, nullptr},
    };
    for (const std::uint32_t family : kFamilies) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(FamilyName(family)) + ": " + c.name);
            StartingMachine m("VRL.EXE", family);
            m.machine.addDrive('D');
            m.machine.addDrive('E', platform::drive::kCdRom);
            m.machine.addDrive('A', platform::drive::kRemovable);
            m.machine.addDrive('R', platform::drive::kRamDisk);
            m.machine.writeFile(MachineIniPath, kOldRecord);
            RunSitesAndNetwork(m, c.driveSetting);
            EXPECT_EQ(NetworkSection(m).empty(), !c.recordKept);
            if (c.recordKept) {
                EXPECT_EQ(NetworkSection(m), NetworkSectionOf(kOldRecord));
            }
            std::vector<std::string> logged = {"9.1", "9.11"};
            if (c.checkpoint != nullptr) logged.push_back(c.checkpoint);
            EXPECT_EQ(m.LoggedCheckpoints(), logged);
        }
    }
}

TEST(NetworkDrive, SiteDriveSKeepsTheTypeOfC) {
    StartingMachine m;
    m.machine.writeFile(MachineIniPath, kOldRecord);
    m.machine.writeFile("C:\\Virelle\\VRLPRC.INI", "[MultiSite]\r\nCount=2\r\n");
    m.screen.ExpectModal("Select Site", [](toolkit::sim::Driver& d) { d.Enter(); });
    RunSitesAndNetwork(m, "C:");
    EXPECT_EQ(DataRoot, "S:");
    EXPECT_EQ(NetworkSection(m), "");
}

TEST(NetworkDrive, MappedLetterIsRecordedFromWindowsOwnRecord) {
    struct Value {
        const char* name;
        std::optional<std::string> text;
        std::optional<std::uint32_t> number;
    };
    struct Case {
        const char* name;
        std::vector<Value> remembered;  // under the family's key
        bool underOtherFamilysKey;
        const char* provider;
        const char* user;
        int connectionType, providerType;
    };
    const Case cases[] = {
        {"full record",
         {{"ProviderName", "Microsoft Windows Network", {}}, {"UserName", "reception", {}},
          {"ConnectionType", {}, 1}, {"ProviderType", {}, 0x20000}},
         false, "Microsoft Windows Network", "reception", 1, 131072},
        {"no record", {}, false, "", "", 0, 0},
        {"record of the other family's key only",
         {{"ProviderName", "Microsoft Windows Network", {}}, {"ConnectionType", {}, 1}},
         true, "", "", 0, 0},
        {"user name that is no text is passed over",
         {{"ProviderName", "NetWare", {}}, {"UserName", {}, 5}, {"ConnectionType", {}, 1},
          {"ProviderType", {}, 0x30000}},
         false, "NetWare", "", 1, 196608},
        {"integer that is text ends the reading",
         {{"ProviderName", "NetWare", {}}, {"UserName", "anne", {}},
          {"ConnectionType", "one", {}}, {"ProviderType", {}, 0x30000}},
         false, "NetWare", "anne", 0, 0},
    };
    for (const std::uint32_t family : kFamilies) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(FamilyName(family)) + ": " + c.name);
            StartingMachine m("VRL.EXE", family);
            m.machine.mapNetworkDrive('G', "\\\\srv\\practice");
            m.machine.writeFile(MachineIniPath, kOldRecord);
            const std::uint32_t keyFamily =
                c.underOtherFamilysKey ? (family == kNt ? kWin9x : kNt) : family;
            for (const Value& v : c.remembered) {
                if (v.text) {
                    m.machine.registry().setString(RegistryRoot::CurrentUser,
                                                   RememberedKey(keyFamily, 'G'), v.name, *v.text);
                } else {
                    m.machine.registry().setNumber(RegistryRoot::CurrentUser,
                                                   RememberedKey(keyFamily, 'G'), v.name, *v.number);
                }
            }
            RunSitesAndNetwork(m, "g:");
            // The whole section anew, keys in this order.
            EXPECT_EQ(NetworkSection(m), std::string("[Network]\r\nDrive=G\r\nProviderName=") +
                                             c.provider + "\r\nRemotePath=\\\\SRV\\PRACTICE\r\n" +
                                             "UserName=" + c.user + "\r\nConnectionType=" +
                                             std::to_string(c.connectionType) +
                                             "\r\nProviderType=" +
                                             std::to_string(c.providerType) + "\r\n");
            EXPECT_EQ(m.LoggedCheckpoints(), (std::vector<std::string>{"9.1", "9.11", "9.112"}));
        }
    }
}

TEST(NetworkDrive, SharePathIsRecordedWithoutTheRegistry) {
    StartingMachine m("VRL.EXE");
    m.machine.addShare("\\\\SRV\\PRACTICE");
    m.machine.registry().refuse(RegistryRoot::CurrentUser, "Network", sim::Refusal::All);
    RunSitesAndNetwork(m, "\\\\srv\\practice");
    EXPECT_EQ(NetworkSection(m),
              "[Network]\r\nDrive=\r\nProviderName=\r\nRemotePath=\\\\SRV\\PRACTICE\r\nUserName=\r\n"
              "ConnectionType=0\r\nProviderType=0\r\n");
}

// The letter G: had been mapped to \\SRV\PRACTICE and recorded; the mapping
// is gone, so the letter has no root.
struct LostMapping {
    explicit LostMapping(std::uint32_t family) : m("VRL.EXE", family) {
        m.machine.mapNetworkDrive('G', "\\\\SRV\\PRACTICE");
        m.machine.writeFile("G:\\Virelle\\VRLPRC.INI", "[Virelle]\r\n");
        m.machine.removeLetter('G');
        m.machine.writeFile(MachineIniPath, kGRecord);
    }
    StartingMachine m;
};

TEST(NetworkDrive, LostMappingIsConnectedAgainFromTheRecord) {
    for (const std::uint32_t family : kFamilies) {
        SCOPED_TRACE(FamilyName(family));
        LostMapping lost(family);
        StartingMachine& m = lost.m;
        const std::uint64_t before = m.machine.clock().elapsed();
        RunSitesAndNetwork(m, "G:");

        ASSERT_EQ(m.machine.network().cancelCalls().size(), 1u);
        const auto& cancel = m.machine.network().cancelCalls()[0];
        EXPECT_EQ(cancel.name, "\\\\SRV\\PRACTICE");
        EXPECT_EQ(cancel.flags, platform::net::kUpdateProfile);
        EXPECT_TRUE(cancel.force);
        ASSERT_EQ(m.machine.network().addCalls().size(), 1u);
        const auto& add = m.machine.network().addCalls()[0];
        EXPECT_EQ(add.resource.scope, 2u);
        EXPECT_EQ(add.resource.type, 1u);
        EXPECT_EQ(add.resource.displayType, 0u);
        EXPECT_EQ(add.resource.usage, 1u);
        EXPECT_EQ(add.resource.localName, "G:");
        EXPECT_EQ(add.resource.remoteName, "\\\\SRV\\PRACTICE");
        EXPECT_EQ(add.resource.comment, "");
        EXPECT_EQ(add.resource.provider, "");
        EXPECT_EQ(add.password, "");
        EXPECT_EQ(add.userName, "");
        EXPECT_EQ(add.flags, 9u);

        EXPECT_TRUE(m.machine.exists("G:\\Virelle\\VRLPRC.INI")) << "the drive is back";
        // A pause of a second on the simulated clock, served in small steps
        // rather than one blocking sleep.
        EXPECT_GE(m.machine.clock().elapsed() - before, 1000u);
        for (const std::uint32_t slept : m.machine.system().sleeps()) EXPECT_LT(slept, 1000u);
        EXPECT_EQ(NetworkSection(m), NetworkSectionOf(kGRecord)) << "record untouched";
        EXPECT_EQ(m.LoggedCheckpoints(), (std::vector<std::string>{"9.1", "9.11", "9.113"}));
    }
}

TEST(NetworkDrive, RefusedReconnectionStopsWithTheShareAndTheLetter) {
    struct Case {
        const char* name;
        const char* remotePath;
        const char* shown;
    };
    const Case cases[] = {
        {"server and share", "\\\\SRV\\PRACTICE", "PRACTICE on 'SRV'"},
        {"share with a folder", "\\\\SRV\\PRACTICE\\2024", "PRACTICE\\2024 on 'SRV'"},
        {"no backslash after the first two", "\\\\SRV", "\\\\SRV"},
        {"empty remote path", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LostMapping lost(kNt);
        StartingMachine& m = lost.m;
        m.machine.writeFile(MachineIniPath, std::string("[Network]\r\nDrive=G\r\nRemotePath=") +
                                                c.remotePath + "\r\n");
        m.machine.network().setAddConnectionResult(platform::error::kBadNetName);
        m.screen.AnswerMessageBox(toolkit::id::kOk);
        const std::uint64_t before = m.machine.clock().elapsed();
        EXPECT_THROW(RunSitesAndNetwork(m, "g:"), EStartupStop);
        ASSERT_EQ(m.screen.MessageBoxes().size(), 1u);
        EXPECT_EQ(m.screen.MessageBoxes()[0].text,
                  std::string("The network drive ") + c.shown +
                      " (G:) can not be accessed.\r\rPlease restart computer to re-establish "
                      "connection.");
        EXPECT_EQ(m.screen.MessageBoxes()[0].flags & 0xFF, toolkit::mb::kIconError);
        EXPECT_LT(m.machine.clock().elapsed() - before, 1000u) << "no settling pause";
    }
}

TEST(NetworkDrive, LetterWithoutRootAndWithoutRecord) {
    StartingMachine m("VRL.EXE");
    m.machine.addLetterWithoutRoot('G');
    m.machine.writeFile(MachineIniPath, "[Virelle]\r\nWD=g:\r\n");
    m.screen.AnswerMessageBox(toolkit::id::kOk);
    EXPECT_THROW(RunSitesAndNetwork(m, "g:"), EStartupStop);
    ASSERT_EQ(m.screen.MessageBoxes().size(), 1u);
    EXPECT_EQ(m.screen.MessageBoxes()[0].text, "The drive \"G:\" can not be accessed.");
    EXPECT_EQ(m.screen.MessageBoxes()[0].flags & 0xFF, toolkit::mb::kIconError);
    EXPECT_TRUE(m.machine.network().addCalls().empty());
}

TEST(NetworkDrive, UnreachableSharePathIsLeftToTheFolderTest) {
    StartingMachine m("VRL.EXE");
    m.machine.writeFile(MachineIniPath,
                        "[Network]\r\nDrive=\r\nProviderName=\r\nRemotePath=\\\\SRV\\PRACTICE\r\n");
    m.SetDataDrive("\\\\SRV\\PRACTICE");
    ASSERT_EQ(DataDriveType, platform::drive::kNoRootDir);
    EXPECT_NO_THROW(m.RunPhases({8, 9}));
    EXPECT_TRUE(m.machine.network().cancelCalls().empty());
    EXPECT_TRUE(m.machine.network().addCalls().empty());
    EXPECT_TRUE(m.screen.MessageBoxes().empty());
}

TEST(NetworkDrive, RefusedRecordGoesToTheCatchAllHandler) {
    StartingMachine m("VRL.EXE");
    m.machine.mapNetworkDrive('G', "\\\\SRV\\PRACTICE");
    m.machine.writeFile(MachineIniPath, "[Virelle]\r\nWD=G:\r\n");
    m.machine.refuseWrites(MachineIniPath);
    m.screen.AnswerMessageBox(toolkit::id::kOk);
    EXPECT_THROW(RunSitesAndNetwork(m, "G:"), EStartupStop);
    ASSERT_EQ(m.screen.MessageBoxes().size(), 1u);
    EXPECT_EQ(m.screen.MessageBoxes()[0].text,
              "Unable to initialize program:\r\rUnable to write to C:\\Virelle\\VRL.INI");
}

}  // namespace
