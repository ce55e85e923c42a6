#include "common/SystemHelpers.h"

#include "common/Text.h"
#include "platform/Platform.h"
#include "toolkit/Application.h"

namespace {

// Restores the process error mode when it goes out of scope.
class ErrorModeScope {
public:
    explicit ErrorModeScope(std::uint32_t mode) : previous_(platform::system().setErrorMode(mode)) {}
    ~ErrorModeScope() { platform::system().setErrorMode(previous_); }
    ErrorModeScope(const ErrorModeScope&) = delete;
    ErrorModeScope& operator=(const ErrorModeScope&) = delete;

private:
    std::uint32_t previous_;
};

std::string FoldedLike(char letter, const std::string& text) {
    return static_cast<unsigned char>(letter) >= 'a' ? AnsiLowerCase(text) : AnsiUpperCase(text);
}

std::string WithoutTrailingBackslash(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return path.substr(0, path.size() - 1);
    return path;
}

}  // namespace

std::string FileBaseName(const std::string& path) {
    const std::size_t folderEnd = path.find_last_of("\\:");
    std::string name = folderEnd == std::string::npos ? path : path.substr(folderEnd + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

std::string WithTrailingBackslash(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return path;
    return path + "\\";
}

std::string WindowsFolder() { return WithTrailingBackslash(platform::system().windowsFolder()); }

std::string CurrentUserName() {
    const auto name = platform::system().userName();
    if (!name || name->empty()) return "User";
    // The name ends at its NUL, whatever the reported length.
    const std::size_t nul = name->find('\0');
    if (nul == 0) return "User";
    return nul == std::string::npos ? *name : name->substr(0, nul);
}

std::string VolumeLabel(char letter) {
    std::optional<std::string> label;
    {
        ErrorModeScope quiet(platform::errormode::kFailCriticalErrors);
        label = platform::volumes().volumeLabel(std::string(1, letter) + ":\\");
    }
    if (!label) return "";
    return FoldedLike(letter, label->substr(0, label->find('\0')));
}

std::string DriveConnectionName(char letter) {
    const std::string local = AnsiUpperCase(std::string(1, letter)) + ":";
    std::string remote;
    if (platform::network().getConnection(local, &remote) != platform::error::kSuccess) {
        return VolumeLabel(letter);
    }
    return FoldedLike(letter, remote.substr(0, remote.find('\0')));
}

std::string SpecialFolderPath(int csidl, bool create) {
    const auto folder = platform::shell().specialFolderPath(csidl, create);
    if (!folder || folder->empty()) return "";
    return WithTrailingBackslash(*folder);
}

bool DeleteFolder(const std::string& path) {
    const std::string target = WithoutTrailingBackslash(path);
    if (target.empty()) return false;
    return platform::shell().deleteTree(
               target, platform::fileop::kNoConfirmation | platform::fileop::kSilent) == 0;
}

std::int32_t FileSizeOf(const std::string& path) {
    platform::Files& files = platform::files();
    const auto entry = files.find(files.fullPath(path));
    if (!entry) return -1;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(entry->size));
}

bool FileExists(const std::string& path) {
    const auto attributes = platform::files().attributes(path);
    return attributes && (*attributes & platform::attr::kDirectory) == 0;
}

bool FolderExists(const std::string& path) {
    const auto attributes = platform::files().attributes(path);
    return attributes && (*attributes & platform::attr::kDirectory) != 0;
}

bool ForceDirectories(const std::string& path) {
    const std::string folder = WithoutTrailingBackslash(path);
    if (folder.empty()) return false;
    // "C:" and shorter name a drive or nothing; they cannot be created.
    if (folder.size() < 3) return FolderExists(WithTrailingBackslash(folder));
    if (FolderExists(folder)) return true;
    const std::size_t parentEnd = folder.find_last_of("\\:");
    if (parentEnd != std::string::npos && parentEnd > 0) {
        ForceDirectories(folder.substr(0, parentEnd + (folder[parentEnd] == ':' ? 1 : 0)));
    }
    platform::files().createFolder(folder);
    return FolderExists(folder);
}

void PauseWithMessages(std::uint32_t milliseconds) {
    const std::uint32_t start = platform::system().tickCount();
    toolkit::Application& application = toolkit::app();
    for (;;) {
        application.ProcessMessages();
        if (application.Terminated()) return;
        // Elapsed time modulo 2^32, so a tick counter that wraps during the
        // pause does not stretch it.
        if (platform::system().tickCount() - start > milliseconds) return;
    }
}
