#include "common/Formats.h"

#include "platform/Platform.h"

namespace {

// GetLocaleInfoA types for the AM and PM designators.
constexpr std::uint32_t kLocaleAmDesignator = 0x28;  // LOCALE_S1159
constexpr std::uint32_t kLocalePmDesignator = 0x29;  // LOCALE_S2359

ProcessFormats g_formats;

void TakeSeparator(std::uint32_t type, char* target) {
    const std::string value = platform::system().localeInfo(platform::locale::kUserDefault, type);
    if (!value.empty()) *target = value[0];
}

void TakeText(std::uint32_t type, std::string* target) {
    std::string value = platform::system().localeInfo(platform::locale::kUserDefault, type);
    if (!value.empty()) *target = std::move(value);
}

}  // namespace

ProcessFormats& Formats() { return g_formats; }

void ReadUserFormats() {
    TakeSeparator(platform::locale::kDate, &g_formats.dateSeparator);
    TakeSeparator(platform::locale::kTime, &g_formats.timeSeparator);
    TakeSeparator(platform::locale::kDecimal, &g_formats.decimalSeparator);
    TakeText(platform::locale::kTimeFormat, &g_formats.longTimeFormat);
    TakeText(kLocaleAmDesignator, &g_formats.amDesignator);
    TakeText(kLocalePmDesignator, &g_formats.pmDesignator);
}

void FixStartupFormats() {
    g_formats.dateSeparator = '/';
    g_formats.decimalSeparator = '.';
}

void ResetFormats() { g_formats = ProcessFormats(); }
