// What the shared services' tests stand on: a simulated machine and the
// headless toolkit, installed for one test, with the services' process-wide
// values as at process start on both ends.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/Formats.h"
#include "common/ProcessStart.h"
#include "platform/sim/SimMachine.h"
#include "toolkit/sim/SimBackend.h"

namespace commontest {

// The process formats back to their defaults on both ends of a test.
struct FormatsScope {
    FormatsScope() { ResetFormats(); }
    ~FormatsScope() { ResetFormats(); }
};

// A fresh machine and screen. The running program is the one at
// `modulePath`.
struct SimWorld {
    explicit SimWorld(const std::string& modulePath = "C:\\Virelle\\VRL_DPD134.exe") {
        machine.system().setModuleFileName(modulePath);
        ResetRuntime();
    }
    ~SimWorld() { ResetRuntime(); }

    sim::Machine machine;
    sim::ScopedPlatform installed{machine};
    toolkit::sim::SimBackend screen;
};

// The lines of a text file split at CR LF; nullopt when it does not exist.
inline std::optional<std::vector<std::string>> FileLines(sim::Machine& machine,
                                                         const std::string& path) {
    const auto text = machine.readFile(path);
    if (!text) return std::nullopt;
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text->size()) {
        const std::size_t end = text->find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text->substr(start));
            break;
        }
        lines.push_back(text->substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The message field (the third) of each start-up log line of a file.
inline std::vector<std::string> LogMessages(sim::Machine& machine, const std::string& path) {
    std::vector<std::string> messages;
    for (const std::string& line : FileLines(machine, path).value_or(std::vector<std::string>())) {
        const std::size_t first = line.find(", ");
        const std::size_t second = first == std::string::npos ? first : line.find(", ", first + 2);
        messages.push_back(second == std::string::npos ? "?" + line : line.substr(second + 2));
    }
    return messages;
}

inline platform::LocalTime TimeAt(int day, int month, int year, int hour = 0, int minute = 0,
                                  int second = 0, int millisecond = 0) {
    platform::LocalTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    t.millisecond = millisecond;
    return t;
}

inline platform::OsVersion Os(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor) {
    platform::OsVersion version;
    version.platformId = platformId;
    version.major = major;
    version.minor = minor;
    return version;
}

}  // namespace commontest
