// Phases 3, 4, 6, 7, 10 and 11: the process's regional formats, the machine
// settings, and DataRoot from the raw drive setting to the practice folder.
#include <memory>
#include <string>
#include <vector>

#include "common/Dates.h"
#include "common/Formats.h"
#include "common/IniFile.h"
#include "common/SystemHelpers.h"
#include "common/Text.h"
#include "common/Variant.h"
#include "platform/Platform.h"
#include "startup/Main_DataModules.h"
#include "startup/MachineSettings.h"
#include "startup/Phases.h"
#include "startup/SelectWD.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"

namespace {

const char kDatabases[] = "Databases";

// The run-time dialog of SelectDatabase: the names, the first selected.
class DatabaseDialog : public toolkit::Form {
public:
    explicit DatabaseDialog(const std::vector<std::string>& names) : Form("SelectDatabase") {
        SetCaption("Select Database");
        borderStyle = toolkit::BorderStyle::Dialog;
        borderIcons = toolkit::BorderIcons{false, false, false};
        position = toolkit::Position::ScreenCenter;
        SetClientSize(300, 120);
        list = Add<toolkit::ListBox>(this, "DatabaseList");
        list->SetBounds(8, 8, 201, 104);
        for (const std::string& name : names) list->AddItem(name);
        list->SetItemIndex(0);
        auto* ok = Add<toolkit::Button>(this, "OKButton");
        ok->SetCaption("OK");
        ok->SetBounds(217, 8, 75, 25);
        ok->isDefault = true;
        ok->modalResult = toolkit::modal::kOk;
    }
    toolkit::ListBox* list;
};

}  // namespace

void SelectDatabase(IniFile& settings) {
    const std::vector<std::string> names = settings.ReadSection(kDatabases);
    // A single entry leaves the choice to the drive setting.
    if (names.size() < 2) return;
    {
        auto dialog = std::make_unique<DatabaseDialog>(names);
        if (dialog->ShowModal() == toolkit::modal::kOk && dialog->list->ItemIndex() >= 0) {
            const std::string& chosen = names[static_cast<std::size_t>(dialog->list->ItemIndex())];
            settings.WriteString(ProductName, "WD", settings.ReadString(kDatabases, chosen, ""));
        }
    }
    toolkit::app().ProcessMessages();
}

void FixRegionalFormats(TFRM_Main_DataModules&) {
    FixStartupFormats();
    // Metric measures; a locale that refuses the change is left as it is.
    platform::system().setLocaleInfo(platform::locale::kSystemDefault, platform::locale::kMeasure, "0");
    platform::system().setLocaleInfo(platform::locale::kUserDefault, platform::locale::kMeasure, "0");
}

void ReadMachineSettings(TFRM_Main_DataModules&) {
    IniFile settings(MachineIniPath);
    if (ProductVariant == Variant::CRV) {
        // The CRV family keeps its data drive under WB; WD always says C:.
        if (settings.ValueExists(ProductName, "WD") && !settings.ValueExists(ProductName, "WB"))
            settings.WriteString(ProductName, "WB", settings.ReadString(ProductName, "WD", ""));
        settings.WriteString(ProductName, "WD", "C:");
    }
    SelectDatabase(settings);
    DataRoot = settings.ReadString(ProductName, DriveKey, "");
    StoredRunDate = settings.ReadDate(ProductName, "Date", Today());
}

void ChooseDataDrive(TFRM_Main_DataModules&) {
    if (!DataRoot.empty()) return;
    if (IsCrvMainProgram()) {
        DataRoot = "C:";
        return;
    }
    if (!SelectDataDrive()) StopStartup();
}

void NormaliseDataRoot(TFRM_Main_DataModules&) {
    if (!DataRoot.empty() && DataRoot.back() == '\\') DataRoot.pop_back();
    DataDriveType = platform::volumes().driveType(AnsiUpperCase(DataRoot) + "\\");
}

void AppendInstallFolder(TFRM_Main_DataModules&) { DataRoot += InstallFolderName; }

void CheckPracticeFolder(TFRM_Main_DataModules&) {
    if (FolderExists(DataRoot)) return;
    StopStartup("The directory \"" + DataRoot +
                "\" can not be accessed.\r\rIf this is a network drive, please ensure that the "
                "network is working.");
}
