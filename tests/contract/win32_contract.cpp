// The contract cases on the Win32 backend (run under Wine, or on Windows).
#include "contract/contract_cases.h"
#include "platform/win32/Win32Platform.h"

namespace contract {
namespace {

const char* const kScratchRoot = "C:\\vrl-contract";

class Win32ContractMachine : public Machine {
public:
    platform::Platform& platform() override { return platform::win32::Win32Platform(); }

    // A fresh folder per test, so one test's files never meet another's.
    std::string scratch() override {
        static int number = 0;
        auto& p = platform();
        p.files->createFolder(kScratchRoot);
        const std::string folder = std::string(kScratchRoot) + "\\case" + std::to_string(++number);
        p.shell->deleteTree(folder, platform::fileop::kNoConfirmation | platform::fileop::kSilent);
        p.files->createFolder(folder);
        return folder;
    }

    bool wine() override {
        return platform().registry->open(platform::RegistryRoot::LocalMachine, "Software\\Wine",
                                         platform::regaccess::kRead, false) != nullptr;
    }

    // Wine keeps the read-only attribute in the Unix write bits, which do
    // not stop root.
    bool readOnlyIgnored() override { return wine() && platform().system->userName() == "root"; }
};

INSTANTIATE_TEST_SUITE_P(Win32, Contract,
                         ::testing::Values(Backend{"Win32", [] {
                             return std::unique_ptr<Machine>(new Win32ContractMachine);
                         }}),
                         BackendName);

}  // namespace
}  // namespace contract
