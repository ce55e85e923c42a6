// Shared helpers of the engine's tests: a simulated machine with a data
// folder, pxlib as an independent peer on the host files the simulated
// disks keep, and the comparison of an engine value with pxlib's.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/FieldTypes.h"
#include "peer/PxlibPeer.h"
#include "platform/sim/SimMachine.h"

namespace enginetest {

// A test with a simulated machine installed and the folder C:\DATA.
class EngineTest : public ::testing::Test {
protected:
    EngineTest();
    // The host path of a simulated path (for pxlib).
    std::string host(const std::string& path) { return machine.hostPath(path); }

    sim::Machine machine;
    sim::ScopedPlatform installed{machine};
};

using pxpeer::PxCell;
using pxpeer::PxField;
using pxpeer::PxRead;
using pxpeer::PxTable;
using pxpeer::PxWrite;
using pxpeer::PxWriteSpec;

// Whether an engine value equals what pxlib reports for the same field.
::testing::AssertionResult SameValue(const engine::FieldDef& def, const engine::Value& value,
                                     const PxCell& cell);

}  // namespace enginetest
