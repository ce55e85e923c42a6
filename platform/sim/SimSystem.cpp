#include "platform/sim/SimSystem.h"

#include "platform/sim/VersionBlob.h"

namespace sim {

namespace {

// FormatMessageA is given 256 characters; a longer text does not fit.
constexpr std::size_t kMessageBuffer = 256;

struct MessageText {
    std::uint32_t code;
    const char* text;
};

// The wording of Windows (English) for the codes the program meets.
const MessageText kMessages[] = {
    {0, "The operation completed successfully.\r\n"},
    {2, "The system cannot find the file specified.\r\n"},
    {3, "The system cannot find the path specified.\r\n"},
    {5, "Access is denied.\r\n"},
    {6, "The handle is invalid.\r\n"},
    {8, "Not enough storage is available to process this command.\r\n"},
    {21, "The device is not ready.\r\n"},
    {29, "The system cannot write to the specified device.\r\n"},
    {32, "The process cannot access the file because it is being used by another process.\r\n"},
    {33, "The process cannot access the file because another process has locked a portion "
         "of the file.\r\n"},
    {67, "The network name cannot be found.\r\n"},
    {80, "The file exists.\r\n"},
    {87, "The parameter is incorrect.\r\n"},
    {112, "There is not enough space on the disk.\r\n"},
    {122, "The data area passed to a system call is too small.\r\n"},
    {123, "The filename, directory name, or volume label syntax is incorrect.\r\n"},
    {145, "The directory is not empty.\r\n"},
    {183, "Cannot create a file when that file already exists.\r\n"},
    {193, "%1 is not a valid Win32 application.\r\n"},
    {1155, "No application is associated with the specified file for this operation.\r\n"},
    {1200, "The specified device name is invalid.\r\n"},
    {1222, "The network is not present or not started.\r\n"},
    {2250, "This network connection does not exist.\r\n"},
};

// Replaces %1 with the insert, %% with %, and any other insert with
// nothing (the argument array holds only the one text).
std::string expandInserts(const std::string& text, const std::string& insert) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        if (next == '%') {
            out += '%';
        } else if (next >= '1' && next <= '9') {
            if (next == '1') out += insert;
            while (i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9') ++i;
        } else {
            out += '%';
            out += next;
        }
    }
    return out;
}

std::string defaultLocale(std::uint32_t type) {
    switch (type) {
        case platform::locale::kMeasure: return "1";
        case platform::locale::kDecimal: return ".";
        case platform::locale::kDate: return "/";
        case platform::locale::kTime: return ":";
        case platform::locale::kShortDate: return "M/d/yyyy";
        case platform::locale::kTimeFormat: return "h:mm:ss tt";
        default: return "";
    }
}

}  // namespace

std::optional<std::string> windowsMessageText(std::uint32_t code) {
    for (const auto& m : kMessages) {
        if (m.code == code) return std::string(m.text);
    }
    return std::nullopt;
}

SimSystem::SimSystem(std::shared_ptr<FileSystem> disks, Clock& clock)
    : fs_(std::move(disks)), clock_(clock) {
    // Windows XP Professional, Service Pack 3.
    version_ = platform::OsVersion{5, 1, 2600, platform::os::kWinNT, "Service Pack 3"};
}

std::uint32_t SimSystem::setErrorMode(std::uint32_t mode) {
    const std::uint32_t previous = errorMode_;
    errorMode_ = mode;
    return previous;
}

bool SimSystem::setLocaleInfo(std::uint32_t lcid, std::uint32_t type, const std::string& value) {
    localeChanges_.push_back(LocaleCall{lcid, type, value});
    if (refuseLocale_) return false;
    locale_[{lcid, type}] = value;
    return true;
}

std::string SimSystem::localeInfo(std::uint32_t lcid, std::uint32_t type) {
    auto it = locale_.find({lcid, type});
    return it != locale_.end() ? it->second : defaultLocale(type);
}

void SimSystem::setErrorText(std::uint32_t code, std::optional<std::string> text) {
    errorTextOverrides_[code] = std::move(text);
}

std::optional<std::string> SimSystem::formatMessage(std::uint32_t code,
                                                    const std::string& insert) {
    auto over = errorTextOverrides_.find(code);
    const auto text = over != errorTextOverrides_.end() ? over->second : windowsMessageText(code);
    if (!text) return std::nullopt;
    std::string out = expandInserts(*text, insert);
    if (out.size() >= kMessageBuffer) return std::nullopt;
    return out;
}

void SimSystem::sleep(std::uint32_t milliseconds) {
    sleeps_.push_back(milliseconds);
    clock_.advance(milliseconds);
}

std::optional<std::string> SimSystem::moduleResource(const std::string& name) {
    auto it = resources_.find(name);
    if (it == resources_.end()) return std::nullopt;
    return it->second;
}

void SimSystem::setModuleResource(const std::string& name, const std::string& bytes) {
    resources_[name] = bytes;
}

std::uint32_t SimSystem::fileVersionInfoSize(const std::string& path) {
    const Resolved r = fs_->resolve(path);
    if (!r.exists) return 0;
    auto it = versionBlocks_.find(r.host);
    return it == versionBlocks_.end() ? 0 : static_cast<std::uint32_t>(it->second.size());
}

std::optional<std::string> SimSystem::fileVersionInfo(const std::string& path,
                                                      std::uint32_t size) {
    const Resolved r = fs_->resolve(path);
    if (!r.exists) return std::nullopt;
    auto it = versionBlocks_.find(r.host);
    if (it == versionBlocks_.end() || size < it->second.size()) return std::nullopt;
    return it->second;
}

std::optional<platform::FixedFileVersion> SimSystem::fixedFileVersion(const std::string& block) {
    return fixedVersionOf(block);
}

void SimSystem::setFileVersion(const std::string& path, std::uint16_t major,
                               std::uint16_t minor, std::uint16_t release,
                               std::uint16_t build) {
    platform::FixedFileVersion v;
    v.fileVersionMS = std::uint32_t(major) << 16 | minor;
    v.fileVersionLS = std::uint32_t(release) << 16 | build;
    setFileVersionBlock(path, makeVersionBlob(v));
}

void SimSystem::setFileVersionBlock(const std::string& path, const std::string& block) {
    versionBlocks_[fs_->resolve(path).host] = block;
}

}  // namespace sim
