#include "startup/FlCtrlEx.h"

#include <cctype>

#include "common/SystemHelpers.h"
#include "common/Text.h"
#include "platform/Platform.h"

namespace {

// SHGetFileInfoA(SHGFI_SYSICONINDEX | SHGFI_SMALLICON); nothing drawn when
// the shell has no icon.
constexpr int kNoIcon = -1;

int SmallIconOf(const std::string& path) {
    return platform::shell().smallIconIndex(path).value_or(kNoIcon);
}

bool SameLetter(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

std::string Bracketed(const std::string& label) { return "[" + label + "]"; }

// NT, and Windows Me of the 9x family, give drive icons that follow the
// medium; the other 9x systems keep one per drive.
bool SystemHasLiveIcons() {
    const auto version = platform::system().version();
    if (!version) return false;
    return version->platformId == platform::os::kWinNT ||
           (version->platformId == platform::os::kWin9x && version->minor == 90);
}

}  // namespace

// --- TDriveComboBox ----------------------------------------------------------

TDriveComboBox::TDriveComboBox(toolkit::Control* parent, std::string name)
    : toolkit::ComboBox(parent, std::move(name)) {
    const std::string folder = platform::files().currentFolder();
    if (!folder.empty() && folder[0] != '\\') drive_ = folder[0];
}

void TDriveComboBox::CreateWnd() {
    BuildList();
    SelectCurrentDrive();
}

void TDriveComboBox::SelectCurrentDrive() {
    SetItemIndex(-1);
    if (drive_ == 0) return;
    const auto& items = Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string& text = items[i].text;
        if (text.size() >= 2 && SameLetter(text[0], drive_) && text[1] == ':') {
            SetItemIndex(static_cast<int>(i));
            return;
        }
    }
}

void TDriveComboBox::Click() {
    const int index = ItemIndex();
    if (index < 0 || Items()[index].text.empty()) return;
    drive_ = Items()[index].text[0];
    if (dirList_ != nullptr) dirList_->DriveChanged(drive_);
}

// --- TDriveComboBoxEx --------------------------------------------------------

TDriveComboBoxEx::TDriveComboBoxEx(toolkit::Control* parent, std::string name)
    : TDriveComboBox(parent, std::move(name)), liveIcons_(SystemHasLiveIcons()) {
    if (liveIcons_) return;
    iconList_ = std::make_unique<TImageList>();
    // The shell hands out its system list with the icon of any file.
    SmallIconOf("*.*");
    iconList_->handle = toolkit::SystemSmallImageList();
}

// The image list goes; the system list it shares stays with the shell.
TDriveComboBoxEx::~TDriveComboBoxEx() = default;

std::uint32_t TDriveComboBoxEx::GetVersionNumber() const {
    return (1u << 24) | (2u << 16) | (1u << 8) | 1u;
}

std::string TDriveComboBoxEx::Version() const {
    const std::uint32_t packed = GetVersionNumber();
    return std::to_string(packed >> 24) + "." + std::to_string((packed >> 16) & 0xFF) + "." +
           std::to_string((packed >> 8) & 0xFF) + "." + std::to_string(packed & 0xFF);
}

void TDriveComboBoxEx::SetVersion(const std::string&) {}

std::string TDriveComboBoxEx::DriveName(char letter, std::uint32_t type) const {
    switch (type) {
    case platform::drive::kRemovable:
        // Not touched: a floppy drive would spin up (or ask for a disk).
        return "";
    case platform::drive::kFixed:
    case platform::drive::kCdRom:
    case platform::drive::kRamDisk:
        return Bracketed(VolumeLabel(letter));
    case platform::drive::kRemote: {
        std::string remote;
        const std::string local = AnsiUpperCase(std::string(1, letter)) + ":";
        if (platform::network().getConnection(local, &remote) != platform::error::kSuccess)
            return Bracketed(VolumeLabel(letter));
        remote = remote.substr(0, remote.find('\0'));
        return static_cast<unsigned char>(letter) >= 'a' ? AnsiLowerCase(remote)
                                                         : AnsiUpperCase(remote);
    }
    default:
        return "";
    }
}

void TDriveComboBoxEx::BuildList() {
    ClearItems();
    const std::uint32_t mask = platform::volumes().logicalDrives();
    for (int bit = 0; bit < 26; ++bit) {
        if ((mask & (1u << bit)) == 0) continue;
        char letter = static_cast<char>('a' + bit);
        const std::string root = std::string(1, letter) + ":\\";
        const std::uint32_t type = platform::volumes().driveType(root);
        if (type == platform::drive::kUnknown || type == platform::drive::kNoRootDir) continue;
        if (TextCase() == TTextCase::tcUpperCase) letter = static_cast<char>(letter - 'a' + 'A');
        const std::intptr_t icon = liveIcons_ ? 0 : SmallIconOf(root);
        AddItem(std::string(1, letter) + ": " + DriveName(letter, type), icon);
    }
}

int TDriveComboBoxEx::MeasureItem(int) { return 16; }

void TDriveComboBoxEx::DrawItem(int index, toolkit::Canvas& canvas, const toolkit::Rect& rect) {
    canvas.FillRect(rect);
    const toolkit::ComboBox::Item& item = Items().at(static_cast<std::size_t>(index));
    if (liveIcons_) {
        const std::string drive = item.text.substr(0, item.text.find(' '));
        const int icon = SmallIconOf(drive + "\\");
        if (icon != kNoIcon) canvas.DrawImage(toolkit::SystemSmallImageList(), icon, rect.left, rect.top);
    } else if (item.data != kNoIcon) {
        canvas.DrawImage(iconList_->handle, static_cast<int>(item.data), rect.left, rect.top);
    }
    toolkit::Rect textRect = rect;
    textRect.left += 16 + 6;
    canvas.DrawText(item.text, textRect,
                    toolkit::dt::kSingleLine | toolkit::dt::kVCenter | toolkit::dt::kNoPrefix);
}

void TDriveComboBoxEx::Click() {
    try {
        TDriveComboBox::Click();
    } catch (...) {
        if (DirList() != nullptr) DirList()->Clear();
    }
}
