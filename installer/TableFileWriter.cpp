#include "installer/TableFileWriter.h"

#include <memory>

#include "common/Messages.h"
#include "common/SystemHelpers.h"
#include "platform/Platform.h"

namespace {

// Enough for the instances of the program that may write at one time.
constexpr int kTemporaryNames = 100;

[[noreturn]] void Fail(const std::string& target, std::uint32_t code) {
    std::string reason = SystemErrorText(code, target);
    if (reason.empty()) reason = "System error " + std::to_string(code);
    throw EFileWriteError("Unable to write to " + target + "\r\r" + reason + ".");
}

bool IsNameTaken(std::uint32_t code) {
    return code == platform::error::kFileExists || code == platform::error::kAlreadyExists;
}

// A new, empty file beside the target that this call alone holds.
std::unique_ptr<platform::OpenFile> CreateTemporary(const std::string& target,
                                                    std::string* path) {
    platform::Files& files = platform::files();
    for (int n = 1; n <= kTemporaryNames; ++n) {
        *path = target + ".~" + std::to_string(n);
        auto file = files.open(*path, platform::access::kWrite, platform::share::kNone,
                               platform::disposition::kCreateNew);
        if (file) return file;
        const std::uint32_t code = files.lastError();
        if (!IsNameTaken(code)) Fail(target, code);
    }
    Fail(target, platform::error::kFileExists);
}

}  // namespace

bool WriteNewFile(const std::string& target, const std::string& bytes) {
    platform::Files& files = platform::files();
    std::string temporary;
    auto file = CreateTemporary(target, &temporary);
    const bool written = file->writeAt(0, bytes.data(), bytes.size()) && file->flush();
    const std::uint32_t writeError = written ? 0 : files.lastError();
    file.reset();
    if (!written) {
        files.deleteFile(temporary);
        Fail(target, writeError);
    }
    // MoveFileA never replaces: a file that took the name meanwhile wins.
    if (files.moveFile(temporary, target)) return true;
    const std::uint32_t moveError = files.lastError();
    files.deleteFile(temporary);
    if (FileExists(target)) return false;
    Fail(target, moveError);
}
