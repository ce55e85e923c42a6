// Settings files of any content: parsing, reading every key, and editing
// must never crash, and an edit must read back as written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/sim/IniText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    sim::IniText ini(bytes);
    for (const std::string& section : ini.sections()) {
        for (const std::string& key : ini.keys(section)) (void)ini.value(section, key);
    }

    // An edit with names and a value taken from the input itself.
    const std::string section = bytes.substr(0, size % 7);
    const std::string key = bytes.substr(size / 2, size % 5 + 1);
    // Names as a caller can pass them: C strings that fit on one line.
    const std::string sectionBreakers("[]\r\n\0", 5);
    const std::string keyBreakers("=[]\r\n;\0", 7);
    const bool usable = section.find_first_of(sectionBreakers) == std::string::npos &&
                        key.find_first_of(keyBreakers) == std::string::npos &&
                        !key.empty() && key.front() > ' ' && key.back() > ' ' &&
                        (section.empty() || (section.front() > ' ' && section.back() > ' '));
    if (usable) {
        ini.set(section, key, "value");
        const auto readBack = sim::IniText(ini.text()).value(section, key);
        if (!readBack || *readBack != "value") std::abort();
    }
    ini.eraseSection(section);
    (void)sim::IniText(ini.text()).sections();
    return 0;
}
