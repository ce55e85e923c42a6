// The contract cases on the simulated machine.
#include "contract/contract_cases.h"
#include "platform/sim/SimMachine.h"

namespace contract {
namespace {

class SimContractMachine : public Machine {
public:
    platform::Platform& platform() override { return machine_.platform(); }
    std::string scratch() override {
        machine_.makeFolder("C:\\Contract");
        return "C:\\Contract";
    }
    bool wine() override { return false; }
    bool readOnlyIgnored() override { return false; }

private:
    sim::Machine machine_;
};

INSTANTIATE_TEST_SUITE_P(Sim, Contract,
                         ::testing::Values(Backend{"Sim", [] {
                             return std::unique_ptr<Machine>(new SimContractMachine);
                         }}),
                         BackendName);

}  // namespace
}  // namespace contract
