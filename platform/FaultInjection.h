// A platform that wraps another one and makes chosen calls fail, for
// tests of how the program meets failures, on either backend. Every call
// is counted and logged under its name ("Files.open", "OpenFile.writeAt",
// "Profiles.write", "Registry.open", "RegistryKey.writeString", ...); a
// test first runs its code with no faults planned to learn the calls it
// makes, then plans a fault for the Nth call of one operation (or of any,
// "*"), runs again, and checks that the program came through.
//
//   platform::FaultInjectingPlatform faulty(machine.platform());
//   faulty.faults().add({"Profiles.write", 2});
//   sim::ScopedPlatform installed(faulty.platform());
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace platform {

enum class FaultKind {
    Fail,          // the call fails without doing anything
    PartialWrite,  // OpenFile.writeAt writes the first half, then fails
};

struct Fault {
    std::string operation;  // an operation name, or "*" for any call
    std::size_t nth = 1;    // the matching call that fails, counted from 1
    std::uint32_t error = 0;  // the Windows error reported; 0: the call's usual one
    bool persistent = false;  // every later matching call fails too
    FaultKind kind = FaultKind::Fail;
};

class FaultInjector {
public:
    void add(const Fault& fault);
    void clear() { planned_.clear(); }

    // Counts and logs one call, with what it works on (a file's or a key's
    // path, when it has one); the fault to inject into it, if any.
    std::optional<Fault> onCall(const char* operation, const std::string& detail = std::string());

    // Called before each call is counted, with its operation, detail and
    // number among all calls (from 1): a test can change the machine at
    // that moment (a disk that fills just there).
    using Observer =
        std::function<void(const std::string& operation, const std::string& detail, std::size_t call)>;
    void setObserver(Observer observer) { observer_ = std::move(observer); }

    // Calls made of an operation ("*": of all) since the start.
    std::size_t calls(const std::string& operation) const;
    std::size_t faultsInjected() const { return injected_; }
    const std::vector<std::string>& log() const { return log_; }
    // The detail of each call of log(), in the same order ("" when none).
    const std::vector<std::string>& details() const { return details_; }

private:
    struct Planned {
        Fault fault;
        std::size_t seen = 0;
    };
    std::vector<Planned> planned_;
    std::vector<std::string> log_;
    std::vector<std::string> details_;
    Observer observer_;
    std::size_t injected_ = 0;
};

class FaultInjectingPlatform {
public:
    explicit FaultInjectingPlatform(Platform& inner);
    ~FaultInjectingPlatform();
    FaultInjectingPlatform(const FaultInjectingPlatform&) = delete;
    FaultInjectingPlatform& operator=(const FaultInjectingPlatform&) = delete;

    Platform& platform() { return platform_; }
    FaultInjector& faults() { return injector_; }

    struct Facilities;

private:
    FaultInjector injector_;
    std::unique_ptr<Facilities> facilities_;
    Platform platform_;
};

}  // namespace platform
