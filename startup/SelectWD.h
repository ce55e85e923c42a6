// The data drive dialog: asks which drive holds the practice data when the
// machine settings name none, and records the answer there.
#pragma once

#include "startup/FlCtrlEx.h"
#include "toolkit/Controls.h"

class TSelectWD : public toolkit::Form {
public:
    // Builds the whole dialog; it has no form description of its own.
    TSelectWD();

    toolkit::GroupBox* ServerBox;
    toolkit::Button* btnOK;
    toolkit::Button* btnCancel;
    TDriveComboBoxEx* WDrive;

    // Takes the selected drive as DataRoot and writes it to the machine
    // settings, then closes the dialog with OK. Without a selection the
    // user is warned and the dialog stays open; a refused settings write
    // raises EIniFileError with the dialog left open.
    void OKClick();
};

// Shows the dialog modally; true when a drive was confirmed (DataRoot and
// [ProductName] DriveKey of the machine settings then hold it).
bool SelectDataDrive();
