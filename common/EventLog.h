// The event log: small records of events in InstallRoot\EVENTS.XML, shared
// by the family's programs on the machine. Each event is one <ERR> record of
// ten lines inserted before the closing line; values go in verbatim. Once
// the file has reached 16384 bytes no further event is recorded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"

constexpr std::int32_t kEventLogCap = 16384;

// Records an event (class such as "Information", and its text). Nothing
// under a debugger; on a developer's machine the event is shown first.
// Failures are not reported: the event is lost.
void LogEvent(const std::string& eventClass, const std::string& text);

// The ten lines of one record.
std::vector<std::string> EventRecord(const platform::LocalTime& time,
                                     const std::string& eventClass, const std::string& text);

// Splits a file's text into lines ending in CR LF, LF or CR; a final line
// end does not start another line.
std::vector<std::string> SplitLines(const std::string& text);
