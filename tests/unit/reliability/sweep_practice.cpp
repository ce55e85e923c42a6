#include "sweep_practice.h"

#include <optional>

#include "common/Cipher.h"
#include "common/DataLock.h"
#include "common/ProcessStart.h"
#include "common/Text.h"
#include "common/Variant.h"
#include "engine/FieldTypes.h"
#include "engine/TableFile.h"
#include "installer/uSDR134.h"
#include "peer/PxlibPeer.h"
#include "startup/PracticeProfile.h"
#include "startup/StartupValues.h"
#include "toolkit/Application.h"

namespace sweep {

namespace {

const char kPracticeSettings[] =
    "[Virelle]\r\nCountry=E\r\nDate=01/03/2024\r\nNewClaim=0\r\n"
    "[Computers]\r\nRECEPTION=1\r\nSURGERY2=1\r\n"
    "[Transmission]\r\nFormat=E\r\nSite=12\r\n"
    "[WebEDI]\r\nUser=practice\r\n"
    "[SMS]\r\ntxtconnexions=1\r\n"
    "[Registration]\r\nSite=487\r\n"
    "[RunOnce]\r\nSDR124=01/01/2020\r\n";

const char kMachineSettings[] = "[Virelle]\r\nWD=C:\r\nTray=1\r\n";

engine::TableLayout Layout(std::vector<engine::FieldDef> fields, int keyFields) {
    engine::TableLayout layout;
    layout.fields = std::move(fields);
    layout.keyFields = keyFields;
    layout.password = DatabasePassword();
    return layout;
}

void MakeControlTable() {
    engine::CreateTable(kControl,
                        Layout({engine::FieldDef::Alpha("Name", 20),
                                engine::FieldDef::Of("Number", engine::FieldType::Long)},
                               1),
                        {{engine::Value::Text("Invoice"), engine::Value::Integer(1200)},
                         {engine::Value::Text("Patient"), engine::Value::Integer(87)}});
}

void MakeUserTable() {
    engine::CreateTable(kUsers,
                        Layout({engine::FieldDef::Of("Id", engine::FieldType::Long),
                                engine::FieldDef::Alpha("UserName", 30),
                                engine::FieldDef::Of("Form", engine::FieldType::Short)},
                               1),
                        {{engine::Value::Integer(1), engine::Value::Text("jsmith"),
                          engine::Value::Integer(4)},
                         {engine::Value::Integer(2), engine::Value::Text("o'brien"),
                          engine::Value::Integer(9)}});
}

void MakePrivateFees() {
    engine::CreateTable(kPrivateFees,
                        Layout({engine::FieldDef::Alpha("Code", 6),
                                engine::FieldDef::Of("Fee", engine::FieldType::Money)},
                               1),
                        {{engine::Value::Text("P001"), engine::Value::Float(45.5)}});
}

// The two fee tables, keyed, enciphered, the second with its case-blind
// index on Item, as the carried files are.
std::map<std::string, std::string> MakeCarriedTables() {
    sim::Machine scratch;
    sim::ScopedPlatform installed(scratch);
    const std::string folder = "C:\\Fees\\";
    scratch.makeFolder("C:\\Fees");
    engine::CreateTable(folder + "Dpd_c_34.DB",
                        Layout({engine::FieldDef::Alpha("Item", 4), engine::FieldDef::Alpha("Text", 40)},
                               1),
                        {{engine::Value::Text("0101"), engine::Value::Text("Examination")},
                         {engine::Value::Text("0111"), engine::Value::Text("Radiograph")}});
    engine::CreateTable(folder + "Dpd_f_34.DB",
                        Layout({engine::FieldDef::Alpha("Code", 4), engine::FieldDef::Alpha("Item", 2),
                                engine::FieldDef::Of("Fee", engine::FieldType::Money)},
                               1),
                        {{engine::Value::Text("0101"), engine::Value::Text("01"),
                          engine::Value::Float(12.5)},
                         {engine::Value::Text("0111"), engine::Value::Text("0a"),
                          engine::Value::Float(30)}});
    engine::SecondaryIndexSpec index;
    index.field = "Item";
    index.name = "ByItem";
    engine::CreateSecondaryIndex(folder + "Dpd_f_34.DB", index, {DatabasePassword()});
    std::map<std::string, std::string> tables;
    for (const char* name : FeeTableFiles) tables[name] = scratch.readFile(folder + name).value();
    return tables;
}

void Prepare(sim::Machine& machine) {
    machine.system().setModuleFileName("C:\\Virelle\\VRL_DPD134.EXE");
    machine.system().setUserName(std::string("Reception"));
    machine.writeFile("C:\\Virelle\\VRL_DPD134.EXE", "MZ this program");
    machine.writeFile("C:\\Virelle\\VRL_DPD133.EXE", "MZ an earlier update");
    machine.writeFile(kMachineIni, kMachineSettings);
    machine.writeFile(kPracticeIni, kPracticeSettings);
    machine.makeFolder("C:\\Virelle\\Data");
    machine.makeFolder("C:\\Virelle\\Bin");
    MakeControlTable();
    MakeUserTable();
    MakePrivateFees();
    for (const auto& [name, bytes] : CarriedTables()) machine.system().setModuleResource(name, bytes);
}

void CollectFiles(sim::Machine& machine, const std::string& folder,
                  std::map<std::string, std::string>* files) {
    for (const std::string& name : machine.files().list(folder).value_or(std::vector<std::string>{})) {
        const std::string path = folder + "\\" + name;
        if (machine.isFolder(path)) {
            CollectFiles(machine, path, files);
        } else {
            (*files)[path] = machine.readFile(path).value_or("");
        }
    }
}

bool IsTableFile(const std::string& path) {
    return path.size() > 3 && AnsiUpperCase(path.substr(path.size() - 3)) == ".DB";
}

std::string FieldText(const engine::Value& value) {
    switch (value.kind()) {
        case engine::Value::Kind::Null: return "<null>";
        case engine::Value::Kind::Text: return value.text();
        case engine::Value::Kind::Integer: return std::to_string(value.integer());
        case engine::Value::Kind::Float: return std::to_string(value.number());
        default: return "<other>";
    }
}

// The rows of a table file as the engine reads them, or its error.
std::vector<std::string> TableRows(const std::string& path) {
    std::vector<std::string> rows;
    try {
        auto table = engine::TableFile::Open(path, {DatabasePassword()}, engine::TableFile::Mode::Read);
        for (std::uint64_t i = 0;; ++i) {
            const unsigned char* record = table->recordAt(i);
            if (record == nullptr) break;
            std::string row;
            for (std::size_t f = 0; f < table->fields().size(); ++f) {
                if (f != 0) row += "|";
                row += FieldText(engine::DecodeField(table->fields()[f], record + table->offsets()[f]));
            }
            rows.push_back(row);
        }
    } catch (const std::exception& error) {
        return {std::string("engine error: ") + error.what()};
    }
    return rows;
}

// The rows of a table file as pxlib reads it, with its primary index when
// there is one, or what pxlib complains of.
std::vector<std::string> PeerRows(sim::Machine& machine, const std::string& path,
                                  const std::map<std::string, std::string>& files) {
    const std::string wantedIndex = AnsiUpperCase(path.substr(0, path.size() - 3) + ".PX");
    std::string indexPath;
    for (const auto& [other, bytes] : files)
        if (AnsiUpperCase(other) == wantedIndex) indexPath = other;
    const bool keyed = !indexPath.empty();
    const pxpeer::PxTable table =
        pxpeer::PxRead(machine.hostPath(path), keyed ? machine.hostPath(indexPath) : "");
    std::vector<std::string> problems;
    if (!table.opened) problems.push_back("pxlib: cannot open the file");
    if (keyed && !table.indexAccepted) problems.push_back("pxlib: primary index refused");
    for (const std::string& message : table.messages) problems.push_back("pxlib: " + message);
    return problems.empty() ? pxpeer::PxRowTexts(table) : problems;
}

void ReadTables(sim::Machine& machine, RunResult* result) {
    for (const auto& [path, bytes] : result->files) {
        if (!IsTableFile(path)) continue;
        result->tables[path] = TableRows(path);
        result->peerTables[path] = PeerRows(machine, path, result->files);
    }
}

// The process-wide values a run sets, back to their state at process start.
void ResetProgramState() {
    ResetRuntime();
    ResetStartupValues();
    ResetPracticeProfile();
}

}  // namespace

const std::map<std::string, std::string>& CarriedTables() {
    static const std::map<std::string, std::string> tables = MakeCarriedTables();
    return tables;
}

RunResult PreparedPractice() {
    RunResult prepared;
    sim::Machine machine;
    sim::ScopedPlatform installed(machine);
    Prepare(machine);
    CollectFiles(machine, "C:\\Virelle", &prepared.files);
    ReadTables(machine, &prepared);
    return prepared;
}

RunResult RunPractice(const RunPlan& plan) {
    RunResult result;
    sim::Machine machine;
    {
        sim::ScopedPlatform plain(machine);
        Prepare(machine);
        if (plan.setUp) plan.setUp(machine);
    }
    platform::FaultInjectingPlatform faulty(machine.platform());
    if (plan.withoutShortPaths) faulty.faults().add({"Files.shortPath", 1, 0, true});
    for (const platform::Fault& fault : plan.faults) faulty.faults().add(fault);
    if (plan.observer) {
        faulty.faults().setObserver(
            [&](const std::string& operation, const std::string& detail, std::size_t call) {
                plan.observer(machine, operation, detail, call);
            });
    }
    {
        sim::ScopedPlatform installed(faulty.platform());
        toolkit::sim::SimBackend screen;
        // Message processing takes no time, so the clock shows the waits alone.
        screen.SetIdleStep(0);
        screen.AnswerUnscriptedBoxesWithDefault();
        screen.AnswerUnscriptedModals([](toolkit::sim::Driver& d) { d.Escape(); });
        ResetProgramState();

        result.exitCode = RunInstaller();

        result.lockHeld = DataLockHeld();
        result.boxes = screen.MessageBoxes();
        for (const auto& form : screen.ShownForms()) result.shownForms.push_back(form.name);
        result.unscriptedModals = screen.UnscriptedModals();
        CloseDataLock();
        ResetProgramState();
        ResetVariantValues();
    }
    faulty.faults().setObserver(nullptr);
    result.log = faulty.faults().log();
    result.details = faulty.faults().details();
    result.faultsInjected = faulty.faults().faultsInjected();
    CollectFiles(machine, "C:\\Virelle", &result.files);
    sim::ScopedPlatform plain(machine);
    ReadTables(machine, &result);
    return result;
}

}  // namespace sweep
