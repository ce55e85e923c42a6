// The simulated machine's private-profile functions. Each call opens the
// file through the simulated Files facility, with the access and sharing
// Windows uses, so a file held by another program, a read-only file, a
// missing folder or a full disk affect reads and writes as on Windows.
#pragma once

#include <optional>

#include "platform/Files.h"
#include "platform/Profiles.h"

namespace sim {

class SimProfiles : public platform::Profiles {
public:
    explicit SimProfiles(platform::Files& files) : files_(files) {}

    std::string read(const std::string& path, const std::string& section,
                     const std::string& key, const std::string& fallback) override;
    std::vector<std::string> keys(const std::string& path, const std::string& section) override;
    std::vector<std::string> sections(const std::string& path) override;
    bool write(const std::string& path, const std::string& section, const std::string& key,
               const std::string& value) override;
    bool eraseSection(const std::string& path, const std::string& section) override;
    bool eraseKey(const std::string& path, const std::string& section,
                  const std::string& key) override;

private:
    // The file's text; nullopt when it cannot be opened for reading.
    std::optional<std::string> load(const std::string& path);
    bool store(platform::OpenFile& file, const std::string& text);
    template <typename Edit>
    bool edit(const std::string& path, Edit change);

    platform::Files& files_;
};

}  // namespace sim
