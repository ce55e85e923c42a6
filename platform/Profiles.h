// Private-profile (INI) files with the semantics of the Windows
// *PrivateProfile* functions: section and key names compare without regard
// to case, values are read up to 2047 characters, every write goes to the
// file at once. Typed reads (integers, flags, dates) live in common/IniFile.
#pragma once

#include <string>
#include <vector>

namespace platform {

class Profiles {
public:
    virtual ~Profiles() = default;

    // GetPrivateProfileStringA with a 2048-character buffer: the value, or
    // `fallback` only when the key is absent. A key present with an empty
    // value reads as empty.
    virtual std::string read(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& fallback) = 0;

    // The key names of a section, in file order (empty when the section or
    // the file is missing).
    virtual std::vector<std::string> keys(const std::string& path,
                                          const std::string& section) = 0;

    // The section names of the file, in file order.
    virtual std::vector<std::string> sections(const std::string& path) = 0;

    // WritePrivateProfileStringA. False when the platform refuses the write
    // (read-only file, missing folder, full disk).
    virtual bool write(const std::string& path, const std::string& section,
                       const std::string& key, const std::string& value) = 0;

    // Removes a whole section (WritePrivateProfileStringA with no key).
    // Erasing a missing section succeeds as long as the file can be written.
    virtual bool eraseSection(const std::string& path, const std::string& section) = 0;

    // Removes one key (WritePrivateProfileStringA with no value).
    virtual bool eraseKey(const std::string& path, const std::string& section,
                          const std::string& key) = 0;
};

}  // namespace platform
