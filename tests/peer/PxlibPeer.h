// pxlib (Debian's pxlib-dev) as an independent reader and writer of
// Paradox table files, for tests: what another program of the practice
// would make of a file the engine wrote, and files the engine did not write.
// Paths are host paths (a simulated disk's files live on the host).
#pragma once

#include <string>
#include <vector>

namespace pxpeer {

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

// The rows of a table as text, one per row, fields joined by "|": a blank
// as "<null>", whole numbers in decimal, floating values as std::to_string
// writes them, text as it stands. A 4-byte integer field that pxlib reads
// as -2147483648 is its blank (pxlib does not report it as one).
std::vector<std::string> PxRowTexts(const PxTable& table);

}  // namespace pxpeer
