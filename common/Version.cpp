#include "common/Version.h"

#include "common/StartupLog.h"
#include "common/SystemHelpers.h"
#include "platform/Platform.h"

FileVersion ProcessStamp;

FileVersion ReadFileVersion(const std::string& path) {
    WriteStartupLine("VersionNumber: " + path);
    if (!FileExists(path)) return FileVersion{-1, -1, -1, -1};

    const FileVersion none;
    platform::System& system = platform::system();
    WriteStartupLine("VersionNumber: GetFileVersionInfoSize");
    const std::uint32_t size = system.fileVersionInfoSize(path);
    if (size == 0) return none;

    WriteStartupLine("VersionNumber: GetFileVersionInfo");
    const auto block = system.fileVersionInfo(path, size);
    if (!block) return none;

    WriteStartupLine("VersionNumber: VerQueryValue");
    const auto fixed = system.fixedFileVersion(*block);
    if (!fixed) return none;

    WriteStartupLine("VersionNumber: Complete");
    return FileVersion{static_cast<std::int32_t>(fixed->fileVersionMS >> 16),
                       static_cast<std::int32_t>(fixed->fileVersionMS & 0xFFFF),
                       static_cast<std::int32_t>(fixed->fileVersionLS >> 16),
                       static_cast<std::int32_t>(fixed->fileVersionLS & 0xFFFF)};
}

std::string FormatVersion(const FileVersion& v) {
    return std::to_string(v.Major) + "." + std::to_string(v.Minor) + "." +
           std::to_string(v.Release) + "." + std::to_string(v.Build);
}

std::string FormatProcessStamp() { return FormatVersion(ProcessStamp); }
