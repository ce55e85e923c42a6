#include "engine/file_access.h"

#include "engine/EngineError.h"
#include "platform/Platform.h"

namespace engine {

std::unique_ptr<platform::OpenFile> OpenShared(const std::string& path, bool write,
                                               std::uint32_t* error) {
    platform::Files& files = platform::files();
    const std::uint32_t access =
        write ? (platform::access::kRead | platform::access::kWrite) : platform::access::kRead;
    auto file = files.open(path, access, platform::share::kRead | platform::share::kWrite,
                           platform::disposition::kOpenExisting);
    if (!file && error != nullptr) *error = files.lastError();
    return file;
}

bool ReadExactly(platform::OpenFile& file, std::uint64_t offset, void* buffer,
                 std::size_t length) {
    std::size_t got = 0;
    if (!file.readAt(offset, buffer, length, &got)) return false;
    return got == length;
}

std::vector<unsigned char> ReadWholeFile(const std::string& path) {
    std::uint32_t error = 0;
    auto file = OpenShared(path, false, &error);
    if (!file) {
        if (error == platform::error::kFileNotFound || error == platform::error::kPathNotFound) {
            ThrowFileError(dbierr::kNoSuchFile, "File does not exist.", path);
        }
        ThrowFileError(dbierr::kFileNoAccess, "Cannot open the file (error " +
                                                  std::to_string(error) + ").", path);
    }
    const auto size = file->size();
    if (!size) ThrowFileError(dbierr::kReadError, "Cannot read the file size.", path);
    if (*size > 0x7FFFFFFF) ThrowFileError(dbierr::kFileCorrupt, "The file is too large.", path);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(*size));
    if (!bytes.empty() && !ReadExactly(*file, 0, bytes.data(), bytes.size())) {
        ThrowFileError(dbierr::kReadError, "Read failure.", path);
    }
    return bytes;
}

void WriteWholeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    platform::Files& files = platform::files();
    auto file = files.open(path, platform::access::kRead | platform::access::kWrite,
                           platform::share::kRead, platform::disposition::kCreateAlways);
    if (!file) {
        ThrowFileError(dbierr::kFileNoAccess,
                       "Cannot create the file (error " + std::to_string(files.lastError()) + ").",
                       path);
    }
    if ((!bytes.empty() && !file->writeAt(0, bytes.data(), bytes.size())) ||
        !file->truncate(bytes.size()) || !file->flush()) {
        ThrowFileError(dbierr::kWriteError, "Write failure.", path);
    }
}

std::string WithExtension(const std::string& path, const std::string& extension) {
    const std::size_t slash = path.find_last_of("\\/:");
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return path + extension;
    }
    return path.substr(0, dot) + extension;
}

}  // namespace engine
