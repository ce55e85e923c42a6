#include "contract/contract_cases.h"

#include <string>
#include <vector>

namespace contract {

namespace {

using platform::access::kRead;
using platform::access::kWrite;
namespace share = platform::share;
namespace disposition = platform::disposition;
namespace error = platform::error;

platform::Profiles& ini() { return platform::profiles(); }
platform::Files& files() { return platform::files(); }

}  // namespace

std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param.name;
}

void Contract::writeText(const std::string& path, const std::string& text) {
    auto file = files().open(path, kWrite, share::kNone, disposition::kCreateAlways);
    ASSERT_TRUE(file) << path << " error " << files().lastError();
    ASSERT_TRUE(file->writeAt(0, text.data(), text.size()));
}

std::string Contract::readText(const std::string& path) {
    auto file = files().open(path, kRead, share::kRead, disposition::kOpenExisting);
    if (!file) return "<missing>";
    std::string text(static_cast<std::size_t>(file->size().value_or(0)), '\0');
    std::size_t got = 0;
    if (!file->readAt(0, text.data(), text.size(), &got)) return "<unreadable>";
    text.resize(got);
    return text;
}

// --- Private-profile files ----------------------------------------------------

TEST_P(Contract, ProfileNamesCompareWithoutCase) {
    const std::string path = at("VRL.INI");
    ASSERT_TRUE(ini().write(path, "Virelle", "WD", "F:"));
    EXPECT_EQ(ini().read(path, "VIRELLE", "wd", "none"), "F:");
    EXPECT_EQ(ini().read(path, "virelle", "Wd", "none"), "F:");
    ASSERT_TRUE(ini().write(path, "VIRELLE", "wd", "G:"));
    EXPECT_EQ(ini().keys(path, "Virelle"), std::vector<std::string>{"WD"});
    EXPECT_EQ(ini().read(path, "Virelle", "WD", "none"), "G:");
}

TEST_P(Contract, ProfileDefaultOnlyWhenTheKeyIsAbsent) {
    const std::string path = at("VRL.INI");
    writeText(path, "[Virelle]\r\nEmpty=\r\nBlank=   \r\nSet=1\r\n");
    struct Case {
        const char* name;
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"present and empty", "Virelle", "Empty", ""},
        {"present, blanks only", "Virelle", "Blank", ""},
        {"present", "Virelle", "Set", "1"},
        {"absent key", "Virelle", "Missing", "dflt"},
        {"absent section", "Other", "Set", "dflt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ini().read(path, c.section, c.key, "dflt"), c.expected);
    }
    EXPECT_EQ(ini().read(at("NONE.INI"), "Virelle", "Set", "dflt"), "dflt");
}

TEST_P(Contract, ProfileValuesAreReadUpTo2047Characters) {
    const std::string path = at("LONG.INI");
    std::string value;
    for (int i = 0; i < 3000; ++i) value += static_cast<char>('a' + i % 26);
    ASSERT_TRUE(ini().write(path, "S", "Long", value));
    EXPECT_EQ(ini().read(path, "S", "Long", ""), value.substr(0, 2047));
    ASSERT_TRUE(ini().write(path, "S", "Exact", value.substr(0, 2047)));
    EXPECT_EQ(ini().read(path, "S", "Exact", ""), value.substr(0, 2047));
}

TEST_P(Contract, ProfileSectionEraseRemovesTheSectionAndItsKeys) {
    const std::string path = at("NET.INI");
    writeText(path, "[Network]\r\nDrive=G\r\nRemotePath=\\\\SRV\\DATA\r\n[Virelle]\r\nWD=G:\r\n");
    ASSERT_TRUE(ini().eraseSection(path, "NETWORK"));
    EXPECT_EQ(ini().sections(path), std::vector<std::string>{"Virelle"});
    EXPECT_EQ(ini().read(path, "Network", "Drive", "gone"), "gone");
    EXPECT_EQ(ini().read(path, "Virelle", "WD", ""), "G:");
    // Erasing a section that is not there succeeds and changes nothing.
    EXPECT_TRUE(ini().eraseSection(path, "Network"));
    EXPECT_TRUE(ini().eraseSection(at("NONE.INI"), "Network"));
}

TEST_P(Contract, ProfileKeysComeInFileOrder) {
    const std::string path = at("ORDER.INI");
    writeText(path, "[Databases]\r\nZeta=Z:\r\n; a comment\r\nAlpha=A:\r\n\r\nMid=M:\r\n[Next]\r\nX=1\r\n");
    EXPECT_EQ(ini().keys(path, "databases"), (std::vector<std::string>{"Zeta", "Alpha", "Mid"}));
    ASSERT_TRUE(ini().write(path, "Databases", "Beta", "B:"));
    EXPECT_EQ(ini().keys(path, "Databases"),
              (std::vector<std::string>{"Zeta", "Alpha", "Mid", "Beta"}));
    EXPECT_EQ(ini().sections(path), (std::vector<std::string>{"Databases", "Next"}));
    EXPECT_TRUE(ini().keys(path, "Missing").empty());
}

TEST_P(Contract, ProfileFirstOfDuplicateSectionsAndKeysWins) {
    const std::string path = at("DUP.INI");
    writeText(path, "[A]\r\nK=first\r\nK=second\r\n[B]\r\nK=b\r\n[a]\r\nK=third\r\nL=only later\r\n");
    EXPECT_EQ(ini().read(path, "A", "K", ""), "first");
    // Keys of a later section of the same name are not found.
    EXPECT_EQ(ini().read(path, "A", "L", "absent"), "absent");
}

TEST_P(Contract, ProfileValuesLoseBlanksAndOnePairOfQuotes) {
    const std::string path = at("Q.INI");
    writeText(path, "[S]\r\n  Spaced  =  a b  \r\nQuoted=\"C:\\Program Files\"\r\nSingle='x'\r\nHalf=\"x\r\n");
    EXPECT_EQ(ini().read(path, "S", "Spaced", ""), "a b");
    EXPECT_EQ(ini().read(path, "S", "Quoted", ""), "C:\\Program Files");
    EXPECT_EQ(ini().read(path, "S", "Single", ""), "x");
    EXPECT_EQ(ini().read(path, "S", "Half", ""), "\"x");
}

TEST_P(Contract, ProfileKeyEraseLeavesTheOthers) {
    const std::string path = at("K.INI");
    writeText(path, "[S]\r\nA=1\r\nB=2\r\n");
    ASSERT_TRUE(ini().eraseKey(path, "s", "a"));
    EXPECT_EQ(ini().keys(path, "S"), std::vector<std::string>{"B"});
}

TEST_P(Contract, ProfileWriteIntoAMissingFolderIsRefused) {
    EXPECT_FALSE(ini().write(at("No Such Folder\\VRL.INI"), "Virelle", "WD", "C:"));
    EXPECT_FALSE(files().attributes(at("No Such Folder\\VRL.INI")));
}

TEST_P(Contract, ProfileWriteToAReadOnlyFileIsRefused) {
    if (machine_->readOnlyIgnored()) {
        GTEST_SKIP() << "Wine run as root writes read-only files (Windows refuses)";
    }
    const std::string path = at("RO.INI");
    writeText(path, "[S]\r\nA=1\r\n");
    ASSERT_TRUE(files().setAttributes(path, platform::attr::kReadOnly));
    EXPECT_FALSE(ini().write(path, "S", "A", "2"));
    EXPECT_EQ(ini().read(path, "S", "A", ""), "1");
    ASSERT_TRUE(files().setAttributes(path, platform::attr::kNormal));
}

TEST_P(Contract, ProfileWritesReachTheFileAtOnce) {
    const std::string path = at("NOW.INI");
    ASSERT_TRUE(ini().write(path, "Virelle", "WD", "C:"));
    const std::string text = readText(path);
    EXPECT_NE(text.find("[Virelle]"), std::string::npos) << text;
    EXPECT_NE(text.find("WD=C:"), std::string::npos) << text;
}

TEST_P(Contract, ProfileGarbageBytesReadAsSomethingWithoutHarm) {
    const std::string path = at("BIN.INI");
    std::string bytes = "[S]\r\nK=v\r\n";
    for (int i = 0; i < 512; ++i) bytes += static_cast<char>((i * 37) & 0xFF);
    bytes += "\r\n[T]\r\nL=w\r\n";
    writeText(path, bytes);
    EXPECT_EQ(ini().read(path, "S", "K", ""), "v");
    EXPECT_EQ(ini().read(path, "T", "L", ""), "w");
}

// --- Files -----------------------------------------------------------------------

TEST_P(Contract, TwoReadShareReadersBothOpen) {
    const std::string path = at("VRL.LCK");
    writeText(path, "");
    auto first = files().open(path, kRead, share::kRead, disposition::kOpenExisting);
    auto second = files().open(path, kRead, share::kRead, disposition::kOpenExisting);
    EXPECT_TRUE(first);
    EXPECT_TRUE(second);
}

TEST_P(Contract, AnExclusiveHolderKeepsReadersOut) {
    const std::string path = at("VRL.LCK");
    writeText(path, "");
    auto holder = files().open(path, kRead | kWrite, share::kNone, disposition::kOpenExisting);
    ASSERT_TRUE(holder);
    EXPECT_FALSE(files().open(path, kRead, share::kRead, disposition::kOpenExisting));
    EXPECT_EQ(files().lastError(), error::kSharingViolation);
    holder.reset();
    EXPECT_TRUE(files().open(path, kRead, share::kRead, disposition::kOpenExisting));
}

TEST_P(Contract, AWriterKeepsReadShareReadersOut) {
    const std::string path = at("VRL.LCK");
    writeText(path, "");
    auto writer = files().open(path, kWrite, share::kRead, disposition::kOpenExisting);
    ASSERT_TRUE(writer);
    EXPECT_FALSE(files().open(path, kRead, share::kRead, disposition::kOpenExisting));
    EXPECT_EQ(files().lastError(), error::kSharingViolation);
    EXPECT_TRUE(files().open(path, kRead, share::kRead | share::kWrite,
                             disposition::kOpenExisting));
}

TEST_P(Contract, DeletingAHeldFileFails) {
    const std::string path = at("VRL.LCK");
    writeText(path, "");
    {
        auto holder = files().open(path, kRead, share::kRead, disposition::kOpenExisting);
        ASSERT_TRUE(holder);
        EXPECT_FALSE(files().deleteFile(path));
        EXPECT_EQ(files().lastError(), error::kSharingViolation);
        EXPECT_TRUE(files().attributes(path));
    }
    EXPECT_TRUE(files().deleteFile(path));
    EXPECT_FALSE(files().attributes(path));
}

TEST_P(Contract, NamesMatchWithoutCase) {
    files().createFolder(at("Data"));
    writeText(at("Data\\MixedCase.TXT"), "content");
    EXPECT_EQ(readText(at("DATA\\mixedcase.txt")), "content");
    const auto found = files().find(at("data\\MIXEDCASE.TXT"));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->name, "MixedCase.TXT");
    EXPECT_FALSE(files().createFolder(at("DATA")));
    EXPECT_EQ(files().lastError(), error::kAlreadyExists);
}

TEST_P(Contract, ShortPathOfAMissingFolderFails) {
    const auto result = files().shortPath(at("No Such Folder"), 256);
    EXPECT_EQ(result.returned, 0u);
    EXPECT_EQ(files().lastError(), error::kFileNotFound);
}

TEST_P(Contract, ShortPathsLeadToTheSameFile) {
    // Windows numbers short names (PROGRA~1), Wine hashes them (PROG~FBU);
    // both open the file, and a name that fits 8.3 stays as it is.
    files().createFolder(at("A Very Long Folder Name"));
    writeText(at("A Very Long Folder Name\\Some Long File.txt"), "deep");
    const auto result = files().shortPath(at("A Very Long Folder Name\\Some Long File.txt"), 256);
    ASSERT_GT(result.returned, 0u);
    EXPECT_EQ(result.returned, result.text.size());
    EXPECT_EQ(result.text.find(' '), std::string::npos) << result.text;
    EXPECT_EQ(readText(result.text), "deep");
    files().createFolder(at("short"));
    const std::string shortScratch = files().shortPath(scratch_, 256).text;
    EXPECT_EQ(files().shortPath(at("short"), 256).text, shortScratch + "\\short");
}

TEST_P(Contract, OpenAndCopyReportTheWindowsErrors) {
    writeText(at("a.txt"), "a");
    writeText(at("b.txt"), "b");
    EXPECT_FALSE(files().open(at("none.txt"), kRead, share::kRead, disposition::kOpenExisting));
    EXPECT_EQ(files().lastError(), error::kFileNotFound);
    EXPECT_FALSE(files().open(at("none\\x.txt"), kRead, share::kRead, disposition::kOpenExisting));
    EXPECT_EQ(files().lastError(), error::kPathNotFound);
    EXPECT_FALSE(files().open(at("a.txt"), kWrite, share::kNone, disposition::kCreateNew));
    EXPECT_EQ(files().lastError(), error::kFileExists);
    EXPECT_FALSE(files().copyFile(at("a.txt"), at("b.txt"), true));
    EXPECT_EQ(files().lastError(), error::kFileExists);
    EXPECT_TRUE(files().copyFile(at("a.txt"), at("b.txt"), false));
    EXPECT_EQ(readText(at("b.txt")), "a");
    EXPECT_FALSE(files().moveFile(at("a.txt"), at("b.txt")));
    EXPECT_EQ(files().lastError(), error::kAlreadyExists);
    EXPECT_TRUE(files().replaceFile(at("a.txt"), at("b.txt")));
    EXPECT_FALSE(files().attributes(at("a.txt")));
}

TEST_P(Contract, FoldersMustBeEmptyToGo) {
    ASSERT_TRUE(files().createFolder(at("Tree")));
    writeText(at("Tree\\f.txt"), "x");
    EXPECT_FALSE(files().removeFolder(at("Tree")));
    EXPECT_EQ(files().lastError(), error::kDirNotEmpty);
    EXPECT_FALSE(files().createFolder(at("No\\Deeper")));
    EXPECT_EQ(files().lastError(), error::kPathNotFound);
    EXPECT_EQ(platform::shell().deleteTree(at("Tree"), platform::fileop::kNoConfirmation |
                                                           platform::fileop::kSilent),
              0);
    EXPECT_FALSE(files().attributes(at("Tree")));
}

// --- System ------------------------------------------------------------------------

TEST_P(Contract, TheSystemHasATextForErrorTwo) {
    const auto text = platform::system().formatMessage(error::kFileNotFound, "C:\\x.txt");
    ASSERT_TRUE(text);
    // Wine words its messages its own way.
    const char* expected = machine_->wine() ? "File not found.\r\n"
                                            : "The system cannot find the file specified.\r\n";
    EXPECT_EQ(*text, expected);
}

TEST_P(Contract, SystemTextsPlaceTheInsert) {
    const auto text = platform::system().formatMessage(error::kBadExeFormat, "C:\\x.exe");
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("C:\\x.exe"), std::string::npos) << *text;
}

// --- Volumes and registry ---------------------------------------------------------

TEST_P(Contract, DriveCIsAFixedDisk) {
    auto& volumes = platform::volumes();
    EXPECT_NE(volumes.logicalDrives() & (1u << 2), 0u);
    EXPECT_EQ(volumes.driveType("C:\\"), platform::drive::kFixed);
    EXPECT_TRUE(volumes.volumeLabel("C:\\"));
    EXPECT_EQ(volumes.driveType("Q:\\"), platform::drive::kNoRootDir);
    EXPECT_FALSE(volumes.volumeLabel("Q:\\"));
}

TEST_P(Contract, DosDevicesAreDefinedQueriedAndRemoved) {
    auto& volumes = platform::volumes();
    ASSERT_TRUE(files().createFolder(at("site")));
    ASSERT_TRUE(volumes.defineDosDevice(0, "R:", at("site")));
    EXPECT_EQ(volumes.queryDosDevice("R:"), "\\??\\" + at("site"));
    EXPECT_EQ(volumes.queryDosDevice("r:"), "\\??\\" + at("site"));
    ASSERT_TRUE(volumes.defineDosDevice(platform::dosdevice::kRemoveDefinition, "R:", at("site")));
    EXPECT_FALSE(volumes.queryDosDevice("R:"));
    EXPECT_FALSE(volumes.defineDosDevice(platform::dosdevice::kRemoveDefinition, "R:", ""));
}

TEST_P(Contract, RegistryValuesRoundTrip) {
    auto key = platform::registry().open(platform::RegistryRoot::CurrentUser,
                                         "Software\\VirelleContract", platform::regaccess::kAllAccess,
                                         true);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->writeString("Text", "\"C:\\Virelle\\VRL_BOOT.EXE\""));
    ASSERT_TRUE(key->writeNumber("Number", 0x20000));
    EXPECT_TRUE(key->valueExists("TEXT"));
    const auto text = key->read("text");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->type, platform::regtype::kString);
    EXPECT_EQ(text->data, "\"C:\\Virelle\\VRL_BOOT.EXE\"");
    EXPECT_EQ(key->read("Number")->number(), 0x20000u);
    EXPECT_TRUE(key->deleteValue("Text"));
    EXPECT_FALSE(key->valueExists("Text"));
    EXPECT_FALSE(key->read("Text"));
    EXPECT_FALSE(platform::registry().open(platform::RegistryRoot::CurrentUser,
                                           "Software\\VirelleContract\\Missing",
                                           platform::regaccess::kRead, false));
    EXPECT_EQ(platform::registry().lastError(), error::kFileNotFound);
}

}  // namespace contract
