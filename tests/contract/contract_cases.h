// The contract both platform backends keep: the same test bodies run
// against the simulated machine (natively) and against the Win32 backend
// (cross-built, under Wine). A backend's file instantiates them with
// INSTANTIATE_TEST_SUITE_P(<Name>, Contract, ...).
#pragma once

#include <gtest/gtest.h>

#include "contract/contract_machine.h"

namespace contract {

class Contract : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        machine_ = GetParam().make();
        previous_ = platform::Install(&machine_->platform());
        scratch_ = machine_->scratch();
    }
    void TearDown() override { platform::Install(previous_); }

    // A path inside the test's scratch folder.
    std::string at(const std::string& name) const { return scratch_ + "\\" + name; }
    // Writes a file's whole content through the backend's Files.
    void writeText(const std::string& path, const std::string& text);
    std::string readText(const std::string& path);

    std::unique_ptr<Machine> machine_;
    platform::Platform* previous_ = nullptr;
    std::string scratch_;
};

std::string BackendName(const ::testing::TestParamInfo<Backend>& info);

}  // namespace contract
