// Phases 17 to 19: the program's private folder, the engine session and the
// connection VRL on the practice's Data folder, and the control table's
// "Claim" row kept in line with the practice settings and the users' table.
#include <algorithm>

#include "common/Cipher.h"
#include "common/DataLock.h"
#include "common/EventLog.h"
#include "common/IniFile.h"
#include "common/Messages.h"
#include "common/StartupLog.h"
#include "common/SystemHelpers.h"
#include "common/Variant.h"
#include "engine/EngineError.h"
#include "engine/Session.h"
#include "platform/Platform.h"
#include "startup/Main_DataModules.h"
#include "startup/PracticeDatabase.h"
#include "startup/PracticeProfile.h"
#include "startup/Phases.h"

namespace {

// GetShortPathNameA's buffer: MAX_PATH characters, the NUL included.
constexpr std::uint32_t kPathBuffer = 260;

const char kPackAdvice[] = "Please run the 'Pack Databases' application.\r\r";

std::string WithoutApostrophes(std::string path) {
    path.erase(std::remove(path.begin(), path.end(), '\''), path.end());
    return path;
}

// The short form, asked again with the size the system names when it does
// not fit the usual buffer, so that a long result is never cut.
std::string AskShortPath(const std::string& path) {
    std::uint32_t buffer = kPathBuffer;
    platform::ShortPathResult result = platform::files().shortPath(path, buffer);
    if (result.returned >= buffer) {
        // Too long: the call named the size it needs, NUL included.
        buffer = result.returned;
        result = platform::files().shortPath(path, buffer);
    }
    // Still too long (the path changed in between) counts as none.
    if (result.returned == 0 || result.returned >= buffer) return std::string();
    return result.text;
}

// Another machine of the practice starting at the same moment may append
// the row between our look and our post; the key is then taken, and the
// row is there as wanted.
void AppendClaimRow(engine::Table& control, const std::string& number) {
    control.Append();
    control.FieldByName("Name").SetAsString("Claim");
    control.FieldByName("Number").SetAsString(number);
    try {
        control.Post();
    } catch (const engine::EDBEngineError& error) {
        if (error.ErrorCode() != engine::dbierr::kKeyViolation) throw;
        control.Cancel();
    }
}

// Steps 2 to 7 of the claim entry, on the control table of the practice.
void MatchClaimRow(TFRM_Main_DataModules& module) {
    engine::Table& control = module.Control_Table;
    Checkpoint(9.253L);
    control.SetIndexFieldNames("");
    control.Open();
    Checkpoint(9.254L);
    control.FieldDefs().Update();
    if (control.FindField("Name") != nullptr) {
        module.ClaimPresent = control.Locate("Name", "Claim", engine::loCaseInsensitive);
        Checkpoint(9.261L);
        if (module.ClaimPresent && !NewClaim) {
            IniFile(PracticeIniPath()).WriteBool(ProductName, "Claim", true);
        }
        if (NewClaim && !module.ClaimPresent) {
            module.ClaimPresent = true;
            AppendClaimRow(control, "");
        }
    }
    Checkpoint(9.262L);
}

void CloseControlTable(engine::Table& control) {
    control.Close();
    control.SetIndexFieldNames("Name");
}

// The highest "Form" of the users' table, 0 for none or an empty field.
std::int32_t HighestUserForm(engine::Table& users) {
    std::int32_t highest = 0;
    users.Open();
    for (users.First(); !users.Eof(); users.Next()) {
        highest = std::max(highest, users.FieldByName("Form").AsInteger());
    }
    users.Close();
    return highest;
}

}  // namespace

std::string ShortPathOf(const std::string& path) {
    const std::string shortPath = AskShortPath(path);
    if (shortPath.empty()) LogEvent("Information", "GetShortPathName");
    IniFile machine(MachineIniPath);
    machine.WriteString("GetShortPathName", "LongName", path);
    machine.WriteString("GetShortPathName", "ShortName", shortPath);
    return shortPath;
}

void OpenPracticeDatabase(TFRM_Main_DataModules& module) {
    PrivateDir = WithoutApostrophes(PrivateDir + CurrentUserName() + "\\" + RunningProgramName() + "\\");
    if (!FolderExists(PrivateDir)) ForceDirectories(PrivateDir);
    PrivateDir = ShortPathOf(PrivateDir);
    module.OwnPrivateDir = PrivateDir;
    platform::files().setCurrentFolder(PrivateDir);

    engine::Session& session = module.VRL.session();
    session.Close();
    Checkpoint(9.17L);
    session.SetNetFileDir(DataRoot);
    Checkpoint(9.18L);
    session.SetPrivateDir(PrivateDir);
    Checkpoint(9.19L);
    session.RemoveAllPasswords();
    Checkpoint(9.2L);
    session.AddPassword(DatabasePassword());
    Checkpoint(9.21L);
    session.Open();
    Checkpoint(9.211L);
    module.VRL.Close();
    Checkpoint(9.22L);
    module.VRL.Params().clear();
    Checkpoint(9.23L);
    module.VRL.Params().push_back("PATH=" + DataRoot + "Data\\");
    Checkpoint(9.24L);
    module.VRL.Open();
}

void SyncClaimEntry(TFRM_Main_DataModules& module) {
    // The packing programs rebuild the tables; they leave the control table
    // (and the probes and the demonstration offer) alone.
    if (IsPackingProgram()) return;
    Checkpoint(9.251L);
    module.ClaimPresent = false;
    if (!FileExists(DataRoot + "Data\\CONTROL.DB")) return;

    Checkpoint(9.252L);
    engine::Table& control = module.Control_Table;
    if (!control.Exists()) return;
    try {
        MatchClaimRow(module);
    } catch (const engine::EDBEngineError& error) {
        if (RunningProgramName().find("PACK") == std::string::npos) {
            CloseControlTable(control);
            ShowMessageBox(kPackAdvice + std::string(error.what()), toolkit::mb::kIconError);
            ReleaseDataLock();
            StopStartup();
        }
    } catch (...) {
        CloseControlTable(control);
        throw;
    }
    CloseControlTable(control);
}

void AddClaimFromUsers(TFRM_Main_DataModules& module) {
    if (module.ClaimPresent) return;
    try {
        const std::int32_t highest = HighestUserForm(module.User_Table);
        module.Control_Table.Open();
        AppendClaimRow(module.Control_Table, std::to_string(highest));
        module.Control_Table.Close();
        module.ClaimPresent = true;
    } catch (...) {
        // No users' table, no control table, or a damaged one: the row
        // waits for a later start. Nothing is left open.
        module.User_Table.Close();
        module.Control_Table.Close();
    }
}
