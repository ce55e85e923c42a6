// A prepared practice for the fault sweep, and one whole run of the program
// on it through a fault-injecting platform: the practice on C: (data drive
// C:), practice settings with work for the upkeep, CONTROL.DB without a
// "Claim" row (so the start-up appends one), USER.DB, PRV_FEE.DB for the
// private copy, two update programs to launch, and carried fee tables that
// are real tables made by the engine, so that every table file the run
// leaves can be opened.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FaultInjection.h"
#include "platform/sim/SimMachine.h"
#include "toolkit/sim/SimBackend.h"

namespace sweep {

constexpr char kPractice[] = "C:\\Virelle\\";
constexpr char kMachineIni[] = "C:\\Virelle\\VRL.INI";
constexpr char kPracticeIni[] = "C:\\Virelle\\VRLPRC.INI";
constexpr char kLockFile[] = "C:\\Virelle\\VRL.LCK";
constexpr char kEventLog[] = "C:\\Virelle\\EVENTS.XML";
constexpr char kControl[] = "C:\\Virelle\\Data\\CONTROL.DB";
constexpr char kUsers[] = "C:\\Virelle\\Data\\USER.DB";
constexpr char kPrivateFees[] = "C:\\Virelle\\Data\\PRV_FEE.DB";
constexpr char kPrivateFeesCopy[] = "C:\\Virelle\\Bin\\PRV_FEE.DB";

// The bytes of the six carried files, by file name; made once per process.
const std::map<std::string, std::string>& CarriedTables();

// What a run shows and leaves behind.
struct RunResult {
    int exitCode = -1;
    bool lockHeld = true;
    std::vector<toolkit::sim::MessageBoxRecord> boxes;
    std::vector<std::string> shownForms;
    std::vector<std::string> unscriptedModals;
    // Every file of the practice and of the install folder: path -> bytes.
    std::map<std::string, std::string> files;
    // Every .DB file left, as the engine reads it: its rows, one text per
    // row (fields joined by "|"), or the engine's error in place of them.
    std::map<std::string, std::vector<std::string>> tables;
    // The same files as pxlib reads them (with the .PX beside a keyed
    // table): rows in the same form, or "pxlib: " lines for a file it
    // cannot open, a record it cannot read, a primary index it refuses, or
    // anything else it complains of.
    std::map<std::string, std::vector<std::string>> peerTables;
    // Calls made, with their details (the path each works on).
    std::vector<std::string> log;
    std::vector<std::string> details;
    std::size_t faultsInjected = 0;
};

// How a test changes the run: faults to plan, and a watcher of the calls
// (that may change the machine at a given call).
struct RunPlan {
    // Changes the prepared practice before the run (bad input); the machine
    // is installed meanwhile, so the engine can make tables on it.
    std::function<void(sim::Machine&)> setUp;
    std::vector<platform::Fault> faults;
    std::function<void(sim::Machine&, const std::string& operation, const std::string& detail,
                       std::size_t call)>
        observer;
    // A practice whose short paths cannot be had: the start-up records an
    // event, so the event log is written in every run.
    bool withoutShortPaths = false;
};

// Prepares a fresh practice, runs RunInstaller on it to its end with every
// box answered by its default button and every unforeseen dialog
// escaped, and reads back what it left.
RunResult RunPractice(const RunPlan& plan);

// The practice as prepared, before any run: its files and tables.
RunResult PreparedPractice();

}  // namespace sweep
