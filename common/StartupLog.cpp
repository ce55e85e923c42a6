#include "common/StartupLog.h"

#include <cstdio>
#include <cstdlib>

#include "common/Formats.h"
#include "common/SystemHelpers.h"
#include "common/Text.h"
#include "common/Variant.h"
#include "platform/Platform.h"

namespace {

std::string g_runLogPath;
std::uint32_t g_lastTick = 0;

// Appends the line with CR LF; `fresh` empties the file first.
void AppendLine(const std::string& path, const std::string& line, bool fresh) {
    namespace pf = platform;
    auto file = pf::files().open(path, pf::access::kWrite, pf::share::kRead | pf::share::kWrite,
                                 fresh ? pf::disposition::kCreateAlways : pf::disposition::kOpenAlways);
    if (!file) return;
    const std::string text = line + "\r\n";
    file->writeAt(file->size().value_or(0), text.data(), text.size());
}

std::string RunFileName(const platform::LocalTime& t) {
    char name[64];
    std::snprintf(name, sizeof name, "%04d%02d%02d%02d%02d%02d%03d.TXT", t.year, t.month, t.day,
                  t.hour, t.minute, t.second, t.millisecond);
    return name;
}

}  // namespace

std::string CheckpointText(long double number) {
    if (number == 0) return "0";
    char scientific[64];
    // 15 significant digits: d.dddddddddddddde<exponent>. A double holds
    // them exactly, and every C runtime formats a double.
    std::snprintf(scientific, sizeof scientific, "%.14e", static_cast<double>(number));
    const std::string text = scientific;
    const std::size_t e = text.find('e');
    if (e == std::string::npos) return text;  // inf or nan
    const bool negative = text[0] == '-';
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < e; ++i) {
        if (text[i] != '.') digits += text[i];
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const long exponent = std::strtol(text.c_str() + e + 1, nullptr, 10);

    std::string result;
    const char decimal = Formats().decimalSeparator;
    if (exponent < 0) {
        result = "0" + std::string(1, decimal) + std::string(-exponent - 1, '0') + digits;
    } else if (static_cast<std::size_t>(exponent) + 1 >= digits.size()) {
        result = digits + std::string(exponent + 1 - digits.size(), '0');
    } else {
        result = digits.substr(0, exponent + 1) + decimal + digits.substr(exponent + 1);
    }
    return negative ? "-" + result : result;
}

std::string StartupLineText(const platform::LocalTime& t, std::uint32_t elapsed,
                            const std::string& message) {
    const ProcessFormats& formats = Formats();
    const char ds = formats.dateSeparator;
    const char ts = formats.timeSeparator;
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%02d%c%02d%c%04d %02d%c%02d%c%02d.%03d, %8lu, ", t.day, ds,
                  t.month, ds, t.year, t.hour, ts, t.minute, ts, t.second, t.millisecond,
                  static_cast<unsigned long>(elapsed));
    return stamp + message;
}

void Checkpoint(long double number) {
    if (number != 0) {
        WriteStartupLine(CheckpointText(number));
        return;
    }
    const std::string folder = InstallRoot + "Startup\\";
    g_runLogPath = folder + RunFileName(platform::system().localTime());
    ForceDirectories(folder);
    WriteStartupLine("START");
}

void WriteStartupLine(const std::string& message) {
    if (!IsMainProgram()) return;
    const platform::LocalTime now = platform::system().localTime();
    const std::uint32_t tick = platform::system().tickCount();
    const bool start = message == "START";
    // Unsigned subtraction: the elapsed time stays right across the tick
    // counter's wrap-around.
    const std::uint32_t elapsed = start ? 0 : tick - g_lastTick;
    g_lastTick = tick;
    const std::string line = StartupLineText(now, elapsed, message);
    AppendLine(InstallRoot + "Startup.LOG", line, start);
    if (!IsBlank(g_runLogPath)) AppendLine(g_runLogPath, line, false);
}

const std::string& RunLogPath() { return g_runLogPath; }

void ResetStartupLog() {
    g_runLogPath.clear();
    g_lastTick = 0;
}
