// Writing a new file through a temporary one beside it: the temporary names
// of other writers, a file that takes the name meanwhile, a move that fails.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "installer/TableFileWriter.h"
#include "platform/sim/SimMachine.h"

namespace {

const char kTarget[] = "C:\\Data\\Dpd_c_34.DB";

// The machine's files, with something done just before each move: another
// writer finishing first, say.
class MoveHookFiles : public platform::Files {
public:
    MoveHookFiles(platform::Files& inner, std::function<void()> beforeMove)
        : inner_(inner), beforeMove_(std::move(beforeMove)) {}

    bool moveFile(const std::string& from, const std::string& to) override {
        beforeMove_();
        return inner_.moveFile(from, to);
    }

    std::unique_ptr<platform::OpenFile> open(const std::string& path, std::uint32_t access,
                                             std::uint32_t share, std::uint32_t disposition,
                                             std::uint32_t attributes) override {
        return inner_.open(path, access, share, disposition, attributes);
    }
    std::optional<std::uint32_t> attributes(const std::string& path) override {
        return inner_.attributes(path);
    }
    bool setAttributes(const std::string& path, std::uint32_t attributes) override {
        return inner_.setAttributes(path, attributes);
    }
    bool createFolder(const std::string& path) override { return inner_.createFolder(path); }
    bool removeFolder(const std::string& path) override { return inner_.removeFolder(path); }
    bool copyFile(const std::string& from, const std::string& to, bool failIfExists) override {
        return inner_.copyFile(from, to, failIfExists);
    }
    bool deleteFile(const std::string& path) override { return inner_.deleteFile(path); }
    bool replaceFile(const std::string& from, const std::string& to) override {
        return inner_.replaceFile(from, to);
    }
    std::optional<platform::FindData> find(const std::string& path) override {
        return inner_.find(path);
    }
    std::optional<std::vector<std::string>> list(const std::string& folder) override {
        return inner_.list(folder);
    }
    std::optional<platform::LocalTime> lastWriteTime(const std::string& path) override {
        return inner_.lastWriteTime(path);
    }
    platform::ShortPathResult shortPath(const std::string& path, std::uint32_t chars) override {
        return inner_.shortPath(path, chars);
    }
    std::string fullPath(const std::string& path) override { return inner_.fullPath(path); }
    std::string currentFolder() override { return inner_.currentFolder(); }
    bool setCurrentFolder(const std::string& path) override { return inner_.setCurrentFolder(path); }
    std::optional<std::uint64_t> freeSpace(const std::string& path) override {
        return inner_.freeSpace(path);
    }
    std::uint32_t lastError() const override { return inner_.lastError(); }

private:
    platform::Files& inner_;
    std::function<void()> beforeMove_;
};

std::vector<std::string> DataFolder(sim::Machine& machine) {
    auto names = machine.files().list("C:\\Data").value_or(std::vector<std::string>{});
    std::sort(names.begin(), names.end());
    return names;
}

TEST(TableFileWriter, WritesTheWholeFileAndLeavesNothingElse) {
    sim::Machine machine;
    machine.makeFolder("C:\\Data");
    sim::ScopedPlatform installed(machine);
    const std::string bytes("table\0bytes", 11);
    EXPECT_TRUE(WriteNewFile(kTarget, bytes));
    EXPECT_EQ(machine.readFile(kTarget), bytes);
    EXPECT_EQ(DataFolder(machine), std::vector<std::string>{"Dpd_c_34.DB"});
}

TEST(TableFileWriter, AnotherWritersTemporaryFileIsLeftAlone) {
    sim::Machine machine;
    machine.writeFile("C:\\Data\\Dpd_c_34.DB.~1", "theirs");
    sim::ScopedPlatform installed(machine);
    EXPECT_TRUE(WriteNewFile(kTarget, "ours"));
    EXPECT_EQ(machine.readFile(kTarget), "ours");
    EXPECT_EQ(machine.readFile("C:\\Data\\Dpd_c_34.DB.~1"), "theirs");
    EXPECT_EQ(DataFolder(machine), (std::vector<std::string>{"Dpd_c_34.DB", "Dpd_c_34.DB.~1"}));
}

TEST(TableFileWriter, FileThatTookTheNameMeanwhileWins) {
    sim::Machine machine;
    machine.makeFolder("C:\\Data");
    MoveHookFiles files(machine.files(), [&] { machine.writeFile("C:\\Data\\DPD_C_34.DB", "theirs"); });
    platform::Platform hooked = machine.platform();
    hooked.files = &files;
    sim::ScopedPlatform installed(hooked);

    EXPECT_FALSE(WriteNewFile(kTarget, "ours"));
    EXPECT_EQ(machine.readFile(kTarget), "theirs");
    EXPECT_EQ(DataFolder(machine), std::vector<std::string>{"DPD_C_34.DB"});
}

TEST(TableFileWriter, FailedMoveRemovesTheTemporaryFile) {
    sim::Machine machine;
    machine.makeFolder("C:\\Data");
    MoveHookFiles files(machine.files(), [&] { machine.refuseWrites("C:\\Data"); });
    platform::Platform hooked = machine.platform();
    hooked.files = &files;
    sim::ScopedPlatform installed(hooked);

    try {
        WriteNewFile(kTarget, "ours");
        FAIL() << "no error raised";
    } catch (const EFileWriteError& error) {
        EXPECT_STREQ(error.what(), "Unable to write to C:\\Data\\Dpd_c_34.DB\r\rAccess is denied.");
    }
    machine.allowWrites("C:\\Data");
    // The delete was refused too; what is left is the temporary, never the name.
    EXPECT_FALSE(machine.exists(kTarget));
}

}  // namespace
