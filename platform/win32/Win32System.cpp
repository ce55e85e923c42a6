// The operating system's records, clock, messages and resources through
// kernel32, advapi32 and version.
#include <vector>

#include "platform/win32/Win32Facilities.h"
#include "platform/win32/WindowsSupport.h"

namespace platform::win32 {

namespace {

constexpr DWORD kWindowsFolderBuffer = 1024;
constexpr DWORD kUserNameBuffer = 257;
constexpr DWORD kMessageBuffer = 256;
constexpr int kLocaleBuffer = 256;
// The inserts FormatMessageA may read: the caller's text as %1 and empty
// texts behind it, so a message naming %2 or later reads no further than
// the array.
constexpr int kInserts = 10;

using IsDebuggerPresentFunction = BOOL(WINAPI*)();

class Win32System : public System {
public:
    std::optional<OsVersion> version() override {
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof info;  // 148
        if (!GetVersionExA(&info)) return std::nullopt;
        return OsVersion{info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber,
                         info.dwPlatformId, info.szCSDVersion};
    }

    std::string windowsFolder() override {
        char folder[kWindowsFolderBuffer] = {0};
        const UINT n = GetWindowsDirectoryA(folder, kWindowsFolderBuffer);
        if (n == 0 || n >= kWindowsFolderBuffer) return "";
        return std::string(folder, n);
    }

    std::optional<std::string> userName() override {
        char name[kUserNameBuffer] = {0};
        DWORD size = kUserNameBuffer;
        if (!GetUserNameA(name, &size)) return std::nullopt;
        return std::string(name);
    }

    std::string moduleFileName() override {
        std::vector<char> path(MAX_PATH);
        for (;;) {
            const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
            if (n == 0) return "";
            if (n < path.size()) return std::string(path.data(), n);
            path.resize(path.size() * 2);
        }
    }

    bool debuggerPresent() override {
        // Windows 95 has no IsDebuggerPresent.
        static const auto call =
            optionalExport<IsDebuggerPresentFunction>("kernel32.dll", "IsDebuggerPresent");
        return call != nullptr && call();
    }

    std::uint32_t setErrorMode(std::uint32_t mode) override { return SetErrorMode(mode); }

    bool setLocaleInfo(std::uint32_t lcid, std::uint32_t type, const std::string& value) override {
        return SetLocaleInfoA(lcid, type, value.c_str()) != FALSE;
    }

    std::string localeInfo(std::uint32_t lcid, std::uint32_t type) override {
        char value[kLocaleBuffer] = {0};
        if (GetLocaleInfoA(lcid, type, value, kLocaleBuffer) == 0) return "";
        return std::string(value);
    }

    std::optional<std::string> formatMessage(std::uint32_t code,
                                             const std::string& insert) override {
        DWORD_PTR inserts[kInserts];
        inserts[0] = reinterpret_cast<DWORD_PTR>(insert.c_str());
        for (int i = 1; i < kInserts; ++i) inserts[i] = reinterpret_cast<DWORD_PTR>("");
        char text[kMessageBuffer] = {0};
        const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                       nullptr, code, 0, text, kMessageBuffer,
                                       reinterpret_cast<va_list*>(inserts));
        if (n == 0) return std::nullopt;
        return std::string(text, n);
    }

    std::uint32_t tickCount() override { return GetTickCount(); }

    LocalTime localTime() override {
        SYSTEMTIME t;
        GetLocalTime(&t);
        return LocalTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond,
                         t.wMilliseconds};
    }

    void sleep(std::uint32_t milliseconds) override { Sleep(milliseconds); }

    std::optional<std::string> moduleResource(const std::string& name) override {
        HRSRC found = FindResourceA(nullptr, name.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
        if (found == nullptr) return std::nullopt;
        HGLOBAL loaded = LoadResource(nullptr, found);
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        if (bytes == nullptr) return std::nullopt;
        return std::string(static_cast<const char*>(bytes), SizeofResource(nullptr, found));
    }

    std::uint32_t fileVersionInfoSize(const std::string& path) override {
        DWORD unused = 0;
        return GetFileVersionInfoSizeA(path.c_str(), &unused);
    }

    std::optional<std::string> fileVersionInfo(const std::string& path,
                                               std::uint32_t size) override {
        std::string block(size, '\0');
        if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, block.data())) {
            return std::nullopt;
        }
        return block;
    }

    std::optional<FixedFileVersion> fixedFileVersion(const std::string& block) override {
        // VerQueryValueA trusts the block's own length; a block shorter
        // than it claims is refused here.
        if (block.size() < 6) return std::nullopt;
        const auto claimed = static_cast<std::size_t>(static_cast<unsigned char>(block[0]) |
                                                       static_cast<unsigned char>(block[1]) << 8);
        if (claimed > block.size() || claimed < 6) return std::nullopt;
        std::string copy = block;
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(copy.data(), "\\", &value, &length) || value == nullptr ||
            length < sizeof(VS_FIXEDFILEINFO)) {
            return std::nullopt;
        }
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        if (fixed->dwSignature != 0xFEEF04BD) return std::nullopt;
        return FixedFileVersion{fixed->dwFileVersionMS, fixed->dwFileVersionLS};
    }
};

}  // namespace

std::unique_ptr<System> makeSystem() { return std::make_unique<Win32System>(); }

}  // namespace platform::win32
