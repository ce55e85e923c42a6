#include "startup/SelectWD.h"

#include <memory>

#include "common/IniFile.h"
#include "common/Messages.h"
#include "common/Variant.h"
#include "startup/StartupValues.h"

namespace {

constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kMargin = 8;

const char kExplanation[] =
    "In order for the program to run you must select which hard drive will store your "
    "information.\r\rIf you are running locally / not running a network, please select your "
    "local C: drive, otherwise select your network storage drive.\r\rIf you are running a "
    "network, but the drive you require does not appear in the list, please exit the program "
    "and map a drive to the appropriate machine";

}  // namespace

TSelectWD::TSelectWD() : toolkit::Form("SelectWD") {
    SetCaption(ProductName + " - Select Data Drive");
    borderStyle = toolkit::BorderStyle::Dialog;
    borderIcons = toolkit::BorderIcons{true, false, false};
    position = toolkit::Position::ScreenCenter;

    ServerBox = Add<toolkit::GroupBox>(this, "ServerBox");
    ServerBox->SetCaption("Data Drive");
    ServerBox->SetBounds(8, 8, 300, 240);
    ServerBox->SetTabOrder(0);
    const int boxRight = ServerBox->Left() + ServerBox->Width();
    const int boxBottom = ServerBox->Top() + ServerBox->Height();
    SetClientSize(boxRight + kMargin, boxBottom + kMargin + kButtonHeight + kMargin);

    const int buttonTop = boxBottom + kMargin;
    btnOK = Add<toolkit::Button>(this, "btnOK");
    btnOK->SetCaption("OK");
    btnOK->SetBounds(ClientWidth() / 2 - 79, buttonTop, kButtonWidth, kButtonHeight);
    btnOK->isDefault = true;
    btnOK->SetTabOrder(1);
    btnOK->OnClick = [this] { OKClick(); };

    btnCancel = Add<toolkit::Button>(this, "btnCancel");
    btnCancel->SetCaption("Cancel");
    btnCancel->SetBounds(ClientWidth() / 2 + 4, buttonTop, kButtonWidth, kButtonHeight);
    btnCancel->isCancel = true;
    btnCancel->modalResult = toolkit::modal::kCancel;
    btnCancel->SetTabOrder(2);

    WDrive = Add<TDriveComboBoxEx>(ServerBox, "WDrive");
    WDrive->SetBounds(10, ServerBox->Height() - 32, ServerBox->Width() - 20, 22);
    // The list is built, and the current drive selected, as its window is made.
    WDrive->SetItemIndex(-1);

    auto* explanation = Add<toolkit::Label>(ServerBox, "Explanation");
    explanation->wordWrap = true;
    explanation->SetBounds(10, 24, ServerBox->Width() - 20, 200);
    explanation->SetCaption(kExplanation);
}

void TSelectWD::OKClick() {
    const int index = WDrive->ItemIndex();
    if (index < 0) StopWithMessage("You must select a drive");
    const std::string drive = WDrive->Items()[static_cast<std::size_t>(index)].text.substr(0, 2);
    DataRoot = drive;
    IniFile(MachineIniPath).WriteString(ProductName, DriveKey, drive);
    SetModalResult(toolkit::modal::kOk);
}

bool SelectDataDrive() {
    // Not through the application: a form it creates may become the main form.
    auto dialog = std::make_unique<TSelectWD>();
    return dialog->ShowModal() == toolkit::modal::kOk;
}
