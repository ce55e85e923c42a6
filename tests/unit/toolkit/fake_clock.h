// A stand-in for the operating system whose only working part is the
// clock: the tick count moves when someone sleeps, and at no other time.
// It is installed for the lifetime of a FakeClock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace toolkit_test {

class ClockOnlySystem : public platform::System {
public:
    std::uint32_t ticks = 0;
    std::vector<std::uint32_t> sleeps;

    std::uint32_t tickCount() override { return ticks; }
    void sleep(std::uint32_t milliseconds) override {
        sleeps.push_back(milliseconds);
        ticks += milliseconds;
    }

    std::optional<platform::OsVersion> version() override { return std::nullopt; }
    std::string windowsFolder() override { return {}; }
    std::optional<std::string> userName() override { return std::nullopt; }
    std::string moduleFileName() override { return {}; }
    bool debuggerPresent() override { return false; }
    std::uint32_t setErrorMode(std::uint32_t) override { return 0; }
    bool setLocaleInfo(std::uint32_t, std::uint32_t, const std::string&) override { return false; }
    std::string localeInfo(std::uint32_t, std::uint32_t) override { return {}; }
    std::optional<std::string> formatMessage(std::uint32_t, const std::string&) override {
        return std::nullopt;
    }
    platform::LocalTime localTime() override { return {}; }
    std::optional<std::string> moduleResource(const std::string&) override { return std::nullopt; }
    std::uint32_t fileVersionInfoSize(const std::string&) override { return 0; }
    std::optional<std::string> fileVersionInfo(const std::string&, std::uint32_t) override {
        return std::nullopt;
    }
    std::optional<platform::FixedFileVersion> fixedFileVersion(const std::string&) override {
        return std::nullopt;
    }
};

class FakeClock {
public:
    FakeClock() : previous_(platform::Install(&platform_)) { platform_.system = &system_; }
    ~FakeClock() { platform::Install(previous_); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    std::uint32_t now() const { return system_.ticks; }
    void set(std::uint32_t ticks) { system_.ticks = ticks; }
    const std::vector<std::uint32_t>& sleeps() const { return system_.sleeps; }

private:
    ClockOnlySystem system_;
    platform::Platform platform_;
    platform::Platform* previous_;
};

}  // namespace toolkit_test
