// Sharing modes across two processes: the program starts a second copy of
// itself that holds a file open (the hidden test below), as another
// program of the suite would, and checks what this process may then do.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/win32/Win32Platform.h"

namespace {

using platform::access::kRead;
using platform::access::kWrite;
namespace share = platform::share;
namespace disposition = platform::disposition;

constexpr std::uint32_t kFlagNoUi = 0x400;  // SEE_MASK_FLAG_NO_UI
constexpr std::uint32_t kPollMs = 20;
constexpr std::uint32_t kPatienceMs = 20000;

platform::Platform& win32() { return platform::win32::Win32Platform(); }

bool exists(const std::string& path) { return win32().files->attributes(path).has_value(); }

void touch(const std::string& path) {
    win32().files->open(path, kWrite, share::kNone, disposition::kCreateAlways);
}

// Waits (in real time: another process is at work) for a file to appear.
bool awaitFile(const std::string& path) {
    for (std::uint32_t waited = 0; waited < kPatienceMs; waited += kPollMs) {
        if (exists(path)) return true;
        win32().system->sleep(kPollMs);
    }
    return false;
}

// The holder: opens the file named in the environment as told, says so
// with a ".ready" file, and keeps it open until a ".release" file appears.
TEST(TwoProcesses, DISABLED_HoldTheFileForTheOtherProcess) {
    const char* path = std::getenv("VRL_HOLD_PATH");
    const char* access = std::getenv("VRL_HOLD_ACCESS");
    const char* sharing = std::getenv("VRL_HOLD_SHARE");
    ASSERT_TRUE(path && access && sharing);
    auto held = win32().files->open(path, std::strtoul(access, nullptr, 0),
                                    std::strtoul(sharing, nullptr, 0), disposition::kOpenExisting);
    ASSERT_TRUE(held);
    touch(std::string(path) + ".ready");
    EXPECT_TRUE(awaitFile(std::string(path) + ".release"));
}

class OtherProcess {
public:
    OtherProcess(const std::string& path, std::uint32_t access, std::uint32_t sharing)
        : path_(path) {
        _putenv(("VRL_HOLD_PATH=" + path).c_str());
        _putenv(("VRL_HOLD_ACCESS=" + std::to_string(access)).c_str());
        _putenv(("VRL_HOLD_SHARE=" + std::to_string(sharing)).c_str());
        started_ = win32().shell->executeEx(
            0, win32().system->moduleFileName(),
            "--gtest_filter=TwoProcesses.DISABLED_HoldTheFileForTheOtherProcess "
            "--gtest_also_run_disabled_tests",
            platform::show::kHide, kFlagNoUi);
    }
    ~OtherProcess() {
        touch(path_ + ".release");
        if (started_.process) started_.process->wait(kPatienceMs);
        win32().files->deleteFile(path_ + ".ready");
        win32().files->deleteFile(path_ + ".release");
    }
    bool holding() { return started_.ok && started_.process && awaitFile(path_ + ".ready"); }
    // Lets go of the file and waits until the process has ended.
    bool finish() {
        touch(path_ + ".release");
        return started_.process->wait(kPatienceMs) == platform::wait::kObject0;
    }

private:
    std::string path_;
    platform::ExecuteResult started_;
};

TEST(TwoProcesses, SharingModesHoldAcrossProcesses) {
    auto& files = *win32().files;
    files.createFolder("C:\\vrl-contract");
    const std::string path = "C:\\vrl-contract\\VRL.LCK";
    struct Case {
        const char* name;
        std::uint32_t heldAccess, heldShare;
        bool readerOpens;
    };
    const Case cases[] = {
        {"a read-share holder lets a reader in", kRead, share::kRead, true},
        {"an exclusive holder keeps a reader out", kRead, share::kNone, false},
        {"a writer keeps a read-share reader out", kRead | kWrite, share::kRead, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        touch(path);
        {
            OtherProcess other(path, c.heldAccess, c.heldShare);
            ASSERT_TRUE(other.holding());
            auto reader = files.open(path, kRead, share::kRead, disposition::kOpenExisting);
            EXPECT_EQ(reader != nullptr, c.readerOpens);
            reader.reset();
            EXPECT_FALSE(files.deleteFile(path));
            EXPECT_EQ(files.lastError(), platform::error::kSharingViolation);
            ASSERT_TRUE(other.finish());
        }
        EXPECT_TRUE(files.deleteFile(path)) << "error " << files.lastError();
    }
}

}  // namespace
