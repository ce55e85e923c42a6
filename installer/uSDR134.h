// The fee-table installer: its window Form1, which writes the carried fee
// table files into the practice's Data\ folder and closes, and the program
// entry around it.
#pragma once

#include <array>
#include <exception>
#include <string>

#include "toolkit/Controls.h"

// The application's title, which is also the window's caption.
inline constexpr char kApplicationTitle[] = " Statement of Dental Remuneration 134";

// The carried files, in the order they are written. Each is an RT_RCDATA
// resource of the executable named like the file.
inline constexpr std::array<const char*, 6> FeeTableFiles = {
    "Dpd_c_34.DB", "Dpd_c_34.PX", "Dpd_f_34.DB", "Dpd_f_34.PX", "Dpd_f_34.XG0", "Dpd_f_34.YG0",
};

class TForm1 : public toolkit::Form {
public:
    // Built from the form description of Form1.
    TForm1();

    toolkit::Label* Label1;
    toolkit::Timer* Timer1;

    // The window fits Label1 and takes the application's title.
    void FormCreate();
    // The timer's first tick comes a second after the window appears.
    void FormShow();
    // Writes the missing files, pauses a second, closes the window. An
    // error goes to the unhandled-error reporter, and the window closes.
    void Timer1Timer();
    // Names the file on the label, then writes DataRoot + "Data\" + name
    // unless a file of that name is there already.
    void ExtractTableFile(const std::string& name);
};

// The reporter of errors no handler catches: a "Virelle" error box with
// the error's message, and the error recorded in the event log.
void ReportUnhandledError(const std::exception& error);

// The program after the platform and toolkit backends are installed:
// start-up, the installer window, shut-down. Always 0, the exit code.
int RunInstaller();
