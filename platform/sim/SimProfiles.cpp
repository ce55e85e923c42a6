#include "platform/sim/SimProfiles.h"

#include "platform/sim/IniText.h"

namespace sim {

namespace {

// GetPrivateProfileStringA is given 2048 characters: 2047 and the NUL.
constexpr std::size_t kValueLimit = 2047;
constexpr std::uint32_t kShareReadWrite = platform::share::kRead | platform::share::kWrite;

std::optional<std::string> readAll(platform::OpenFile& file) {
    const auto size = file.size();
    if (!size) return std::nullopt;
    std::string text(static_cast<std::size_t>(*size), '\0');
    std::size_t got = 0;
    if (!text.empty() && !file.readAt(0, text.data(), text.size(), &got)) return std::nullopt;
    text.resize(got);
    return text;
}

}  // namespace

std::optional<std::string> SimProfiles::load(const std::string& path) {
    auto file = files_.open(path, platform::access::kRead, kShareReadWrite,
                            platform::disposition::kOpenExisting);
    if (!file) return std::nullopt;
    return readAll(*file);
}

bool SimProfiles::store(platform::OpenFile& file, const std::string& text) {
    // Written over the old text first and cut after, so a disk too full
    // for the new text leaves the old one whole.
    return file.writeAt(0, text.data(), text.size()) && file.truncate(text.size());
}

// Windows opens an existing file for reading and writing first: a file
// that cannot be opened (read-only, held, missing folder) refuses every
// change, even one that turns out to change nothing; a missing file counts
// as empty and is created only when there is something to write.
template <typename Edit>
bool SimProfiles::edit(const std::string& path, Edit change) {
    constexpr std::uint32_t kReadWrite = platform::access::kRead | platform::access::kWrite;
    auto file = files_.open(path, kReadWrite, kShareReadWrite, platform::disposition::kOpenExisting);
    std::string before;
    if (file) {
        const auto text = readAll(*file);
        if (!text) return false;
        before = *text;
    } else if (files_.lastError() != platform::error::kFileNotFound) {
        return false;
    }
    IniText ini(before);
    if (!change(ini)) return true;
    if (!file) {
        file = files_.open(path, kReadWrite, kShareReadWrite, platform::disposition::kOpenAlways);
        if (!file) return false;
    }
    return store(*file, ini.text());
}

std::string SimProfiles::read(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& fallback) {
    const auto text = load(path);
    std::string value = fallback;
    if (text) {
        if (auto found = IniText(*text).value(section, key)) value = *found;
    }
    if (value.size() > kValueLimit) value.resize(kValueLimit);
    return value;
}

std::vector<std::string> SimProfiles::keys(const std::string& path, const std::string& section) {
    const auto text = load(path);
    return text ? IniText(*text).keys(section) : std::vector<std::string>{};
}

std::vector<std::string> SimProfiles::sections(const std::string& path) {
    const auto text = load(path);
    return text ? IniText(*text).sections() : std::vector<std::string>{};
}

bool SimProfiles::write(const std::string& path, const std::string& section,
                        const std::string& key, const std::string& value) {
    return edit(path, [&](IniText& ini) {
        ini.set(section, key, value);
        return true;
    });
}

bool SimProfiles::eraseSection(const std::string& path, const std::string& section) {
    return edit(path, [&](IniText& ini) { return ini.eraseSection(section); });
}

bool SimProfiles::eraseKey(const std::string& path, const std::string& section,
                           const std::string& key) {
    return edit(path, [&](IniText& ini) { return ini.eraseKey(section, key); });
}

}  // namespace sim
