// The operating system itself: version, folders, user, the running module,
// locale, error texts, the clock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Types.h"

namespace platform {

// OSVERSIONINFOA.
struct OsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::uint32_t platformId = 0;
    std::string servicePack;
};

// VS_FIXEDFILEINFO's file version.
struct FixedFileVersion {
    std::uint32_t fileVersionMS = 0;
    std::uint32_t fileVersionLS = 0;
};

namespace locale {
constexpr std::uint32_t kSystemDefault = 0x800;  // LOCALE_SYSTEM_DEFAULT
constexpr std::uint32_t kUserDefault = 0x400;    // LOCALE_USER_DEFAULT
constexpr std::uint32_t kMeasure = 0x0D;         // LOCALE_IMEASURE
constexpr std::uint32_t kDecimal = 0x0E;         // LOCALE_SDECIMAL
constexpr std::uint32_t kDate = 0x1D;            // LOCALE_SDATE
constexpr std::uint32_t kTime = 0x1E;            // LOCALE_STIME
constexpr std::uint32_t kShortDate = 0x1F;       // LOCALE_SSHORTDATE
constexpr std::uint32_t kTimeFormat = 0x1003;    // LOCALE_STIMEFORMAT
}  // namespace locale

namespace errormode {
constexpr std::uint32_t kFailCriticalErrors = 1;  // SEM_FAILCRITICALERRORS
}  // namespace errormode

class System {
public:
    virtual ~System() = default;

    // GetVersionExA with a 148-byte record; nullopt when the call fails.
    virtual std::optional<OsVersion> version() = 0;
    // GetWindowsDirectoryA (1024-character buffer), as the system reports it.
    virtual std::string windowsFolder() = 0;
    // GetUserNameA with a 257-character buffer; nullopt on failure.
    virtual std::optional<std::string> userName() = 0;
    // GetModuleFileNameA of the running executable.
    virtual std::string moduleFileName() = 0;
    // IsDebuggerPresent.
    virtual bool debuggerPresent() = 0;
    // SetErrorMode; returns the previous mode.
    virtual std::uint32_t setErrorMode(std::uint32_t mode) = 0;
    // SetLocaleInfoA / GetLocaleInfoA.
    virtual bool setLocaleInfo(std::uint32_t lcid, std::uint32_t type, const std::string& value) = 0;
    virtual std::string localeInfo(std::uint32_t lcid, std::uint32_t type) = 0;
    // FormatMessageA(FROM_SYSTEM | ARGUMENT_ARRAY) into 256 characters, with
    // `insert` as %1; nullopt when the system has no text for the code.
    virtual std::optional<std::string> formatMessage(std::uint32_t code,
                                                     const std::string& insert) = 0;

    virtual std::uint32_t tickCount() = 0;
    virtual LocalTime localTime() = 0;
    // Blocks the thread (the simulation advances its clock instead).
    virtual void sleep(std::uint32_t milliseconds) = 0;

    // The RT_RCDATA resource of the running module with the given name
    // (names compare without case); nullopt when missing.
    virtual std::optional<std::string> moduleResource(const std::string& name) = 0;

    // The version resource of a file, in the three steps Windows offers:
    // GetFileVersionInfoSizeA, GetFileVersionInfoA, VerQueryValueA("\").
    virtual std::uint32_t fileVersionInfoSize(const std::string& path) = 0;
    virtual std::optional<std::string> fileVersionInfo(const std::string& path,
                                                       std::uint32_t size) = 0;
    virtual std::optional<FixedFileVersion> fixedFileVersion(const std::string& block) = 0;
};

}  // namespace platform
