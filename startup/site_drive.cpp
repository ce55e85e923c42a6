// Phase 8: the site list of a computer that holds several practice sites on
// C:, and the substitution of S: for the chosen site's folder, through DOS
// device names on the NT family and the DOS drive-substitution service on
// Windows 9x.
#include "startup/SiteDrive.h"

#include <cctype>
#include <vector>

#include "common/IniFile.h"
#include "common/SystemHelpers.h"
#include "common/Variant.h"
#include "platform/Platform.h"
#include "startup/Main_DataModules.h"
#include "startup/NetworkDrive.h"
#include "startup/Phases.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"

namespace {

const char* const kSiteSection = "MultiSite";
const char* const kNtSubstitutionPrefix = "\\??\\";
// A damaged Count (say 2147483647) must not keep every start reading
// names for hours; no computer holds anywhere near this many sites.
constexpr int kMostSites = 999;
constexpr char kSiteLetter = 'S';

bool OnNtFamily() {
    const auto version = platform::system().version();
    return version && version->platformId == platform::os::kWinNT;
}

std::string DeviceName(char letter) { return std::string(1, letter) + ":"; }

// The DOS drive number of a letter: A is 1.
int DriveNumber(char letter) {
    return std::toupper(static_cast<unsigned char>(letter)) - 64;
}

std::string AsciiUpperCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// The site list's file: the practice settings file of the data drive.
std::string SiteListPath() { return DataRoot + InstallFolderName + PracticeIniName; }

std::vector<std::string> SiteNames(const IniFile& sites, int count) {
    std::vector<std::string> names;
    for (int n = 1; n <= count; ++n) {
        const std::string number = std::to_string(n);
        names.push_back(sites.ReadString(kSiteSection, "Name" + number, "Site" + number));
    }
    return names;
}

// The site picked in the "Select Site" dialog, counted from 1; 0 when the
// dialog ends without OK.
int ChooseSite(const std::vector<std::string>& names) {
    int site = 0;
    {
        toolkit::Form dialog("SelectSite");
        dialog.SetCaption("Select Site");
        dialog.borderStyle = toolkit::BorderStyle::Dialog;
        dialog.borderIcons = toolkit::BorderIcons{false, false, false};
        dialog.position = toolkit::Position::ScreenCenter;
        dialog.SetClientSize(300, 120);
        auto* list = dialog.Add<toolkit::ListBox>(&dialog, "SiteList");
        list->SetBounds(8, 8, 201, 104);
        for (const std::string& name : names) list->AddItem(name);
        list->SetItemIndex(0);
        auto* ok = dialog.Add<toolkit::Button>(&dialog, "OK");
        ok->SetCaption("OK");
        ok->SetBounds(217, 8, 75, 25);
        ok->isDefault = true;
        ok->modalResult = toolkit::modal::kOk;
        if (dialog.ShowModal() == toolkit::modal::kOk) site = list->ItemIndex() + 1;
    }
    // Lets the windows behind the closed dialog repaint.
    toolkit::app().ProcessMessages();
    return site;
}

}  // namespace

std::string SubstitutedFolder(char letter) {
    if (!OnNtFamily()) return platform::volumes().querySubstitution9x(DriveNumber(letter));
    const auto target = platform::volumes().queryDosDevice(DeviceName(letter));
    const std::string prefix = kNtSubstitutionPrefix;
    if (!target || target->compare(0, prefix.size(), prefix) != 0) return "";
    return target->substr(prefix.size());
}

void RemoveDriveSubstitution(char letter) {
    if (!OnNtFamily()) {
        platform::volumes().terminateSubstitution9x(DriveNumber(letter));
        return;
    }
    platform::volumes().defineDosDevice(platform::dosdevice::kRemoveDefinition,
                                        DeviceName(letter), SubstitutedFolder(letter));
}

void SubstituteDrive(char letter, const std::string& folder) {
    if (OnNtFamily()) {
        platform::volumes().defineDosDevice(0, DeviceName(letter), folder);
        return;
    }
    // DOS substitutes 8.3 paths only; a folder without a short form does not
    // exist, and there is nothing to substitute.
    constexpr std::uint32_t kBufferChars = 260;
    const platform::ShortPathResult shortForm = platform::files().shortPath(folder, kBufferChars);
    if (shortForm.returned == 0 || shortForm.returned >= kBufferChars) return;
    platform::volumes().createSubstitution9x(DriveNumber(letter), shortForm.text);
}

void SelectSite(int count) {
    if (count <= 0) return;
    const IniFile sites(SiteListPath());
    const int site = ChooseSite(SiteNames(sites, count < kMostSites ? count : kMostSites));
    const std::string siteFolder = "C:" + InstallFolderName + "MultiSite\\" + std::to_string(site);
    ForceDirectories(siteFolder + InstallFolderName);
    if (!SubstitutedFolder(kSiteLetter).empty()) RemoveDriveSubstitution(kSiteLetter);
    SubstituteDrive(kSiteLetter, siteFolder);
    DataRoot = "S:";
}

void SelectSiteDrive(TFRM_Main_DataModules&) {
    // Phase 9 works on the data drive as phase 7 left it, also after S:
    // has taken its place here.
    DataDriveText = AsciiUpperCase(DataRoot);
    if (DataDriveText != "C:" || !FileExists(SiteListPath())) return;
    SelectSite(IniFile(SiteListPath()).ReadInteger(kSiteSection, "Count", 0));
}
