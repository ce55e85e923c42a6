// The simulated machine's profiles, registry, network, shell and system,
// where the contract cases do not reach.
#include <gtest/gtest.h>

#include "platform/sim/SimMachine.h"

namespace {

using platform::RegistryRoot;
namespace error = platform::error;

TEST(SimProfiles, AFileHeldByAnotherProgramReadsAsMissingAndRefusesWrites) {
    sim::Machine m;
    m.writeFile("C:\\VRL.INI", "[S]\r\nK=v\r\n");
    auto held = m.holdOpen("C:\\VRL.INI", platform::access::kRead, platform::share::kNone);
    EXPECT_EQ(m.profiles().read("C:\\VRL.INI", "S", "K", "dflt"), "dflt");
    EXPECT_FALSE(m.profiles().write("C:\\VRL.INI", "S", "K", "w"));
    EXPECT_FALSE(m.profiles().eraseSection("C:\\VRL.INI", "Missing"));
    held.reset();
    EXPECT_EQ(m.profiles().read("C:\\VRL.INI", "S", "K", "dflt"), "v");
}

TEST(SimProfiles, AWriteTheFullDiskCannotTakeLeavesTheOldText) {
    sim::Machine m;
    m.addDrive('T');
    m.writeFile("T:\\VRL.INI", "[S]\r\nK=v\r\n");
    m.fillDiskAfter('T', 4);
    EXPECT_FALSE(m.profiles().write("T:\\VRL.INI", "S", "Long", std::string(50, 'x')));
    EXPECT_EQ(m.readFile("T:\\VRL.INI"), "[S]\r\nK=v\r\n");
}

TEST(SimProfiles, EditsKeepCommentsAndTheOtherLines) {
    sim::Machine m;
    m.writeFile("C:\\P.INI", "; practice\r\n[A]\r\nX=1\r\n\r\n[B]\r\nY=2\r\n");
    ASSERT_TRUE(m.profiles().write("C:\\P.INI", "a", "z", "3"));
    ASSERT_TRUE(m.profiles().write("C:\\P.INI", "b", "y", "4"));
    ASSERT_TRUE(m.profiles().write("C:\\P.INI", "New", "K", ""));
    EXPECT_EQ(m.readFile("C:\\P.INI"),
              "; practice\r\n[A]\r\nX=1\r\nz=3\r\n\r\n[B]\r\nY=4\r\n[New]\r\nK=\r\n");
}

TEST(SimProfiles, OddLinesParseAsWindowsReadsThem) {
    sim::Machine m;
    m.writeFile("C:\\O.INI",
                "K0=before any section\r[S]\nNoEquals\r\n[Broken\r\n=no name\r\n"
                "K1=a=b\r\nK2=\x01\x02\r\nK3=x\0y\r\n");
    auto& p = m.profiles();
    EXPECT_EQ(p.read("C:\\O.INI", "S", "NoEquals", "dflt"), "dflt");
    EXPECT_EQ(p.read("C:\\O.INI", "S", "K1", ""), "a=b");
    EXPECT_EQ(p.read("C:\\O.INI", "S", "K2", ""), "\x01\x02");
    EXPECT_EQ(p.keys("C:\\O.INI", "S"),
              (std::vector<std::string>{"NoEquals", "[Broken", "K1", "K2", "K3"}));
    EXPECT_EQ(p.sections("C:\\O.INI"), std::vector<std::string>{"S"});
}

TEST(SimRegistry, RefusedKeysKeepWritersOutAndLetReadersIn) {
    sim::Machine m;
    const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    m.registry().setString(RegistryRoot::LocalMachine, run, "VRL_BOOT", "old");
    m.registry().refuse(RegistryRoot::LocalMachine, "Software", sim::Refusal::Writes);

    EXPECT_FALSE(m.registry().open(RegistryRoot::LocalMachine, run,
                                   platform::regaccess::kAllAccess, true));
    EXPECT_EQ(m.registry().lastError(), error::kAccessDenied);
    EXPECT_FALSE(m.registry().open(RegistryRoot::LocalMachine, "Software\\New",
                                   platform::regaccess::kAllAccess, true));
    EXPECT_FALSE(m.registry().keyExists(RegistryRoot::LocalMachine, "Software\\New"));
    auto reader = m.registry().open(RegistryRoot::LocalMachine, run, platform::regaccess::kRead,
                                    false);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->read("vrl_boot")->data, "old");
    EXPECT_FALSE(reader->writeString("VRL_BOOT", "new"));

    m.registry().refuse(RegistryRoot::LocalMachine, "Software", sim::Refusal::All);
    EXPECT_FALSE(m.registry().open(RegistryRoot::LocalMachine, run, platform::regaccess::kRead,
                                   false));
    // The other hive is not touched.
    EXPECT_TRUE(m.registry().open(RegistryRoot::CurrentUser, "Software\\X",
                                  platform::regaccess::kAllAccess, true));
}

TEST(SimNetwork, ConnectionsFollowTheLettersAndTheirShares) {
    sim::Machine m;
    m.mapNetworkDrive('F', "\\\\SERVER\\DATA");
    m.addShare("\\\\SRV\\PRACTICE");
    m.addLetterWithoutRoot('G');
    auto& net = m.network();
    struct Case {
        const char* name;
        std::uint32_t code;
        const char* remote;
    };
    const Case cases[] = {
        {"F:", 0, "\\\\SERVER\\DATA"},
        {"C:", error::kNotConnected, ""},
        {"Q:", error::kBadDevice, ""},
        {"F", error::kBadDevice, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string remote;
        EXPECT_EQ(net.getConnection(c.name, &remote), c.code);
        EXPECT_EQ(remote, c.remote);
    }

    m.removeLetter('G');
    platform::NetResource resource;
    resource.localName = "G:";
    resource.remoteName = "\\\\SRV\\PRACTICE";
    EXPECT_EQ(net.addConnection(resource, "", "", platform::net::kUpdateProfile), 0u);
    EXPECT_EQ(m.volumes().driveType("G:\\"), platform::drive::kRemote);
    EXPECT_EQ(m.registry().value(RegistryRoot::CurrentUser, "Network\\G", "RemotePath")->data,
              "\\\\SRV\\PRACTICE");
    resource.remoteName = "\\\\SRV\\NONE";
    resource.localName = "H:";
    EXPECT_EQ(net.addConnection(resource, "", "", 0), error::kBadNetName);
    EXPECT_EQ(net.addCalls().size(), 2u);

    EXPECT_EQ(net.cancelConnection("\\\\srv\\practice", platform::net::kUpdateProfile, true), 0u);
    EXPECT_EQ(m.volumes().driveType("G:\\"), platform::drive::kNoRootDir);
    EXPECT_FALSE(m.registry().keyExists(RegistryRoot::CurrentUser, "Network\\G"));
    EXPECT_EQ(net.cancelConnection("G:", 0, true), error::kNotConnected);

    net.setPresent(false);
    std::string remote;
    EXPECT_EQ(net.getConnection("F:", &remote), error::kNoNetwork);
}

TEST(SimShell, StartedProgramsRunOnTheSimulatedClock) {
    sim::Machine m;
    m.writeFile("C:\\Virelle\\DemoDatabase.exe", "MZ");
    m.shell().setProgramLifetime("C:\\VIRELLE\\demodatabase.exe", 250);
    auto started = m.shell().executeEx(7, "C:\\Virelle\\DemoDatabase.exe", "/S", 1, 0x40);
    ASSERT_TRUE(started.ok);
    ASSERT_TRUE(started.process);
    const std::uint32_t t0 = m.clock().ticks();
    EXPECT_EQ(started.process->wait(100), platform::wait::kTimeout);
    EXPECT_EQ(started.process->wait(100), platform::wait::kTimeout);
    EXPECT_EQ(m.shell().runningProcesses(), 1);
    EXPECT_EQ(started.process->wait(100), platform::wait::kObject0);
    EXPECT_EQ(m.clock().ticks() - t0, 250u);
    EXPECT_EQ(m.shell().runningProcesses(), 0);
    ASSERT_EQ(m.shell().starts().size(), 1u);
    EXPECT_EQ(m.shell().starts()[0].parameters, "/S");
    EXPECT_EQ(m.shell().starts()[0].owner, 7u);
}

TEST(SimShell, StartsOfMissingProgramsFailAsTheShellReportsThem) {
    sim::Machine m;
    EXPECT_EQ(m.shell().execute(0, "C:\\no\\such.exe", "", "", 0), 2);
    const auto ex = m.shell().executeEx(0, "C:\\no\\such.exe", "", 1, 0);
    EXPECT_FALSE(ex.ok);
    EXPECT_EQ(ex.lastError, error::kPathNotFound);
    EXPECT_EQ(m.shell().errorBoxes(), 1);  // without SEE_MASK_FLAG_NO_UI
    m.shell().executeEx(0, "C:\\none.exe", "", 1, 0x400);
    EXPECT_EQ(m.shell().errorBoxes(), 1);
}

TEST(SimShell, DeleteTreeRemovesEverythingUnlessAFileIsHeld) {
    sim::Machine m;
    m.writeFile("C:\\Virelle\\Private\\Reception\\VRL_DPD134\\a.tmp", "x");
    m.writeFile("C:\\Virelle\\Private\\Reception\\VRL_DPD134\\sub\\b.tmp", "y");
    m.files().setAttributes("C:\\Virelle\\Private\\Reception\\VRL_DPD134\\a.tmp",
                            platform::attr::kReadOnly);
    {
        auto held = m.holdOpen("C:\\Virelle\\Private\\Reception\\VRL_DPD134\\sub\\b.tmp",
                               platform::access::kRead, platform::share::kRead);
        EXPECT_NE(m.shell().deleteTree("C:\\Virelle\\Private\\Reception\\VRL_DPD134", 0x14), 0);
    }
    EXPECT_EQ(m.shell().deleteTree("C:\\Virelle\\Private\\Reception\\VRL_DPD134", 0x14), 0);
    EXPECT_FALSE(m.exists("C:\\Virelle\\Private\\Reception\\VRL_DPD134"));
    EXPECT_EQ(m.shell().deleteTree("C:\\Virelle\\Private\\Reception\\VRL_DPD134", 0x14), 2);
}

TEST(SimSystem, TheClockMovesOnlyWhenTold) {
    sim::Machine m;
    auto& sys = m.system();
    const auto t = sys.localTime();
    const std::uint32_t ticks = sys.tickCount();
    EXPECT_EQ(sys.tickCount(), ticks);
    sys.sleep(1500);
    EXPECT_EQ(sys.tickCount(), ticks + 1500);
    EXPECT_EQ(sys.localTime().second, (t.second + 1) % 60);
    m.clock().setTicks(0xFFFFFF00u);
    m.clock().advance(0x200);
    EXPECT_EQ(sys.tickCount(), 0x100u);  // wraps as GetTickCount does
    m.clock().setLocalTime({2024, 2, 28, 23, 59, 59, 999});
    m.clock().advance(1 + 86400000);
    const auto later = sys.localTime();
    EXPECT_EQ(later.month, 3);
    EXPECT_EQ(later.day, 1);  // 2024 is a leap year
    EXPECT_EQ(later.hour, 0);
}

TEST(SimSystem, MessageTextsUseWindowsWordingAndTheInsert) {
    sim::Machine m;
    auto& sys = m.system();
    EXPECT_EQ(sys.formatMessage(2, "x"), "The system cannot find the file specified.\r\n");
    EXPECT_EQ(sys.formatMessage(193, "C:\\a.exe"), "C:\\a.exe is not a valid Win32 application.\r\n");
    EXPECT_FALSE(sys.formatMessage(0x71AA, ""));
    sys.setErrorText(5000, std::string("%1 and %2 and 100%%\r\n"));
    EXPECT_EQ(sys.formatMessage(5000, "one"), "one and  and 100%\r\n");
    sys.setErrorText(5001, std::string(300, 'x'));
    EXPECT_FALSE(sys.formatMessage(5001, ""));  // longer than the 256-character buffer
}

TEST(SimSystem, VersionResourcesAreFoundByTheFilesPath) {
    sim::Machine m;
    m.writeFile("C:\\Virelle\\VRL.EXE", "MZ");
    m.writeFile("C:\\Virelle\\README.TXT", "text");
    m.system().setFileVersion("C:\\Virelle\\VRL.EXE", 2, 5, 0, 117);
    auto& sys = m.system();
    const std::uint32_t size = sys.fileVersionInfoSize("c:\\virelle\\vrl.exe");
    ASSERT_GT(size, 0u);
    const auto block = sys.fileVersionInfo("C:\\Virelle\\VRL.EXE", size);
    ASSERT_TRUE(block);
    const auto fixed = sys.fixedFileVersion(*block);
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->fileVersionMS, 0x00020005u);
    EXPECT_EQ(fixed->fileVersionLS, 0x00000075u);
    EXPECT_EQ(sys.fileVersionInfoSize("C:\\Virelle\\README.TXT"), 0u);
    EXPECT_FALSE(sys.fixedFileVersion(std::string(100, '\xFF')));
    EXPECT_FALSE(sys.fixedFileVersion(""));
}

}  // namespace
