// Shared helpers of the engine's tests: a simulated machine with a data
// folder, and pxlib (Debian's pxlib-dev) as an independent reader and
// writer of Paradox files, used on the host files the simulated disks keep.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/FieldTypes.h"
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

// One cell as pxlib reports it through its PX_get_data_* calls (whose
// return value tells a blank from a value exactly).
struct PxCell {
    bool isNull = true;
    long integer = 0;     // S, I, D, T, +, L
    double number = 0;    // N, $, @
    std::string text;     // A, #, Y
};

struct PxField {
    std::string name;
    int type = 0;
    int length = 0;   // pxlib's px_flen
    int decimals = 0; // BCD
};

struct PxTable {
    bool opened = false;
    int fileType = -1;
    int fileVersion = 0;  // pxlib's: 70 for Paradox 7
    int blockSizeKiB = 0;
    int keyFields = 0;
    int numRecords = 0;
    unsigned long encryption = 0;
    bool indexAccepted = false;  // PX_read_primary_index + PX_add_primary_index
    std::vector<PxField> fields;
    std::vector<std::vector<PxCell>> rows;
    std::vector<std::string> messages;  // pxlib's errors and warnings
};

// Reads a table file with pxlib; with `hostIndex` also its primary index.
PxTable PxRead(const std::string& hostDb, const std::string& hostIndex = "");

struct PxWriteSpec {
    std::vector<PxField> fields;
    int keyFields = 0;
    int blockSizeKiB = 2;
    std::string password;
    std::vector<std::vector<PxCell>> rows;  // in key order for a keyed table
};

// Writes a table (and, when keyed, its .PX beside it) with pxlib.
void PxWrite(const std::string& hostDb, const PxWriteSpec& wanted);

// Whether an engine value equals what pxlib reports for the same field.
::testing::AssertionResult SameValue(const engine::FieldDef& def, const engine::Value& value,
                                     const PxCell& cell);

}  // namespace enginetest
