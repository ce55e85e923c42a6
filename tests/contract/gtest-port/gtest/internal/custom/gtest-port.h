// GoogleTest port settings for the MinGW build of the contract tests.
// MinGW's win32 thread model has no std::mutex, which gtest's Notification
// (used only by gtest's own thread tests) is built on; the contract tests
// run on one thread, so a plain flag does.
#pragma once

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_.store(true); }
    void WaitForNotification() {
        while (!notified_.load()) {
        }
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing
