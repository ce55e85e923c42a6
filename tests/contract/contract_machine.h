// What the contract tests need of a backend: its platform, and an empty
// scratch folder of its own for each test.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace contract {

class Machine {
public:
    virtual ~Machine() = default;
    virtual platform::Platform& platform() = 0;
    // A Windows path of an empty folder that the test may fill.
    virtual std::string scratch() = 0;
    // True when the backend is Wine (it answers some calls unlike Windows).
    virtual bool wine() = 0;
    // True when the files are not protected by the read-only attribute
    // (Wine run by root).
    virtual bool readOnlyIgnored() = 0;
};

struct Backend {
    const char* name;
    std::function<std::unique_ptr<Machine>()> make;
};

}  // namespace contract
