// The four-part version a program file carries in its version resource,
// and the process stamp shown beside it in the event log.
#pragma once

#include <cstdint>
#include <string>

struct FileVersion {
    std::int32_t Major = 0;
    std::int32_t Minor = 0;
    std::int32_t Release = 0;
    std::int32_t Build = 0;
};

// The file version of the file at `path`: -1 in every part for a missing
// file, 0 in every part for a file without a readable version. Each step is
// traced in the start-up log ("VersionNumber: ...").
FileVersion ReadFileVersion(const std::string& path);

// "Major.Minor.Release.Build", e.g. 1.0.0.23 or -1.-1.-1.-1.
std::string FormatVersion(const FileVersion& version);

// Four process-wide numbers, 0 at process start; nothing in this program
// changes them.
extern FileVersion ProcessStamp;
std::string FormatProcessStamp();
