// Files and folders through kernel32's ANSI file calls.
#include <algorithm>
#include <vector>

#include "platform/win32/Win32Facilities.h"
#include "platform/win32/WindowsSupport.h"

namespace platform::win32 {

namespace {

constexpr DWORD kChunk = 1u << 30;

// The last error of the file calls, shared by the facility and its handles.
using ErrorSlot = std::shared_ptr<std::uint32_t>;

OVERLAPPED at(std::uint64_t offset) {
    OVERLAPPED o{};
    o.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    o.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return o;
}

class Win32OpenFile : public OpenFile {
public:
    Win32OpenFile(HANDLE handle, ErrorSlot error) : handle_(handle), error_(std::move(error)) {}

    bool readAt(std::uint64_t offset, void* buffer, std::size_t length,
                std::size_t* got) override {
        *got = 0;
        auto* out = static_cast<char*>(buffer);
        while (*got < length) {
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(length - *got, kChunk));
            DWORD read = 0;
            OVERLAPPED where = at(offset + *got);
            if (!ReadFile(handle_.get(), out + *got, want, &read, &where)) {
                if (GetLastError() == ERROR_HANDLE_EOF) break;
                return fail();
            }
            if (read == 0) break;
            *got += read;
        }
        return true;
    }

    bool writeAt(std::uint64_t offset, const void* buffer, std::size_t length) override {
        const auto* in = static_cast<const char*>(buffer);
        std::size_t done = 0;
        do {
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(length - done, kChunk));
            DWORD written = 0;
            OVERLAPPED where = at(offset + done);
            if (!WriteFile(handle_.get(), in + done, want, &written, &where)) return fail();
            if (written != want) {
                *error_ = ERROR_DISK_FULL;
                return false;
            }
            done += written;
        } while (done < length);
        return true;
    }

    std::optional<std::uint64_t> size() override {
        LARGE_INTEGER size;
        if (!GetFileSizeEx(handle_.get(), &size)) {
            fail();
            return std::nullopt;
        }
        return static_cast<std::uint64_t>(size.QuadPart);
    }

    bool truncate(std::uint64_t size) override {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(size);
        if (!SetFilePointerEx(handle_.get(), to, nullptr, FILE_BEGIN)) return fail();
        return SetEndOfFile(handle_.get()) || fail();
    }

    bool lockRange(std::uint64_t offset, std::uint64_t length, bool exclusive) override {
        OVERLAPPED where = at(offset);
        const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
        if (LockFileEx(handle_.get(), flags, 0, low(length), high(length), &where)) return true;
        // Windows 9x has no LockFileEx; its LockFile locks exclusively and
        // never waits.
        if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return fail();
        return LockFile(handle_.get(), low(offset), high(offset), low(length), high(length)) ||
               fail();
    }

    bool unlockRange(std::uint64_t offset, std::uint64_t length) override {
        OVERLAPPED where = at(offset);
        if (UnlockFileEx(handle_.get(), 0, low(length), high(length), &where)) return true;
        if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return fail();
        return UnlockFile(handle_.get(), low(offset), high(offset), low(length), high(length)) ||
               fail();
    }

    bool flush() override { return FlushFileBuffers(handle_.get()) || fail(); }

private:
    static DWORD low(std::uint64_t v) { return static_cast<DWORD>(v & 0xFFFFFFFFu); }
    static DWORD high(std::uint64_t v) { return static_cast<DWORD>(v >> 32); }
    bool fail() {
        *error_ = GetLastError();
        return false;
    }

    UniqueHandle handle_;
    ErrorSlot error_;
};

platform::LocalTime localTimeOf(const FILETIME& utc) {
    FILETIME local;
    SYSTEMTIME st;
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &st);
    return platform::LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour,
                               st.wMinute, st.wSecond, st.wMilliseconds};
}

class Win32Files : public Files {
public:
    std::unique_ptr<OpenFile> open(const std::string& path, std::uint32_t access,
                                   std::uint32_t share, std::uint32_t disposition,
                                   std::uint32_t attributes) override {
        HANDLE handle = CreateFileA(path.c_str(), access, share, nullptr, disposition, attributes,
                                    nullptr);
        // Also on success: ERROR_ALREADY_EXISTS tells an opened file from a new one.
        *error_ = GetLastError();
        if (handle == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<Win32OpenFile>(handle, error_);
    }

    std::optional<std::uint32_t> attributes(const std::string& path) override {
        const DWORD a = GetFileAttributesA(path.c_str());
        if (a == INVALID_FILE_ATTRIBUTES) {
            fail();
            return std::nullopt;
        }
        return a;
    }
    bool setAttributes(const std::string& path, std::uint32_t attributes) override {
        return SetFileAttributesA(path.c_str(), attributes) || fail();
    }
    bool createFolder(const std::string& path) override {
        return CreateDirectoryA(path.c_str(), nullptr) || fail();
    }
    bool removeFolder(const std::string& path) override {
        return RemoveDirectoryA(path.c_str()) || fail();
    }
    bool copyFile(const std::string& from, const std::string& to, bool failIfExists) override {
        return CopyFileA(from.c_str(), to.c_str(), failIfExists) || fail();
    }
    bool deleteFile(const std::string& path) override {
        return DeleteFileA(path.c_str()) || fail();
    }
    bool moveFile(const std::string& from, const std::string& to) override {
        return MoveFileA(from.c_str(), to.c_str()) || fail();
    }
    bool replaceFile(const std::string& from, const std::string& to) override {
        if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
        // Windows 9x has no MoveFileEx: remove the target, then move.
        if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return fail();
        if (!DeleteFileA(to.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) return fail();
        return MoveFileA(from.c_str(), to.c_str()) || fail();
    }

    std::optional<FindData> find(const std::string& path) override {
        WIN32_FIND_DATAA data;
        UniqueFind found(FindFirstFileA(path.c_str(), &data));
        if (found.get() == INVALID_HANDLE_VALUE) {
            found.release();
            fail();
            return std::nullopt;
        }
        FindData result;
        result.name = data.cFileName;
        result.attributes = data.dwFileAttributes;
        result.size = std::uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
        return result;
    }

    std::optional<std::vector<std::string>> list(const std::string& folder) override {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        std::string pattern = folder;
        if (!pattern.empty() && pattern.back() != '\\') pattern += '\\';
        UniqueFind found(FindFirstFileA((pattern + "*").c_str(), &data));
        if (found.get() == INVALID_HANDLE_VALUE) {
            found.release();
            // An empty drive root has not even "." to match.
            if (GetLastError() == ERROR_FILE_NOT_FOUND && attributes(folder)) return names;
            fail();
            return std::nullopt;
        }
        do {
            const std::string name = data.cFileName;
            if (name != "." && name != "..") names.push_back(name);
        } while (FindNextFileA(found.get(), &data));
        return names;
    }

    std::optional<LocalTime> lastWriteTime(const std::string& path) override {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
            fail();
            return std::nullopt;
        }
        return localTimeOf(data.ftLastWriteTime);
    }

    ShortPathResult shortPath(const std::string& path, std::uint32_t bufferChars) override {
        std::vector<char> buffer(bufferChars + 1, '\0');
        ShortPathResult result;
        result.returned = GetShortPathNameA(path.c_str(), bufferChars ? buffer.data() : nullptr,
                                            bufferChars);
        if (result.returned == 0) {
            fail();
        } else if (result.returned < bufferChars) {
            result.text.assign(buffer.data(), result.returned);
        }
        return result;
    }

    std::string fullPath(const std::string& path) override {
        std::vector<char> buffer(MAX_PATH);
        char* name = nullptr;
        for (;;) {
            const DWORD n = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()),
                                             buffer.data(), &name);
            if (n == 0) {
                fail();
                return "";
            }
            if (n < buffer.size()) return std::string(buffer.data(), n);
            buffer.resize(n + 1);
        }
    }

    std::string currentFolder() override {
        std::vector<char> buffer(MAX_PATH);
        for (;;) {
            const DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
            if (n == 0) {
                fail();
                return "";
            }
            if (n < buffer.size()) return std::string(buffer.data(), n);
            buffer.resize(n + 1);
        }
    }
    bool setCurrentFolder(const std::string& path) override {
        return SetCurrentDirectoryA(path.c_str()) || fail();
    }

    std::optional<std::uint64_t> freeSpace(const std::string& path) override {
        ULARGE_INTEGER available;
        if (!GetDiskFreeSpaceExA(path.c_str(), &available, nullptr, nullptr)) {
            fail();
            return std::nullopt;
        }
        return available.QuadPart;
    }

    std::uint32_t lastError() const override { return *error_; }

private:
    bool fail() {
        *error_ = GetLastError();
        return false;
    }

    ErrorSlot error_ = std::make_shared<std::uint32_t>(0);
};

}  // namespace

std::unique_ptr<Files> makeFiles() { return std::make_unique<Win32Files>(); }

}  // namespace platform::win32
