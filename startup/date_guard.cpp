// Phase 5: the main programs refuse a clock that runs behind the date of
// their last run or of their own executable, and make the user confirm the
// date after a long gap, before any practice data is touched.
#include <optional>

#include "common/Dates.h"
#include "common/IniFile.h"
#include "common/Messages.h"
#include "common/StartupLog.h"
#include "common/Variant.h"
#include "platform/Platform.h"
#include "startup/Main_DataModules.h"
#include "startup/Phases.h"

namespace {

constexpr long kDaysWithoutQuestion = 30;

// The day the running executable was last changed, in local time; none when
// the system cannot say.
std::optional<Date> ProgramDate() {
    const auto changed = platform::files().lastWriteTime(platform::system().moduleFileName());
    if (!changed) return std::nullopt;
    return DateOf(*changed);
}

}  // namespace

void GuardSystemDate(TFRM_Main_DataModules&) {
    if (!IsMainProgram()) return;
    Checkpoint(9.4L);
    const Date today = Today();
    const Date lastRun = IsValidDate(StoredRunDate) ? StoredRunDate : today;
    if (today < lastRun) StopStartup("System date error.");
    if (DayNumber(today) > DayNumber(lastRun) + kDaysWithoutQuestion) {
        const int answer = ShowMessageBox(
            "The system was run in excess of 30 days ago.\r\rPlease confirm the date is " +
                DisplayDate(today),
            toolkit::mb::kYesNo | toolkit::mb::kIconWarning);
        if (answer == toolkit::id::kNo) StopStartup();
    }
    // The run date moves on before the program date is checked, so a stop
    // for the program date keeps the new run date.
    IniFile(MachineIniPath).WriteDate(ProductName, "Date", today);
    Checkpoint(9.5L);
    Checkpoint(9.6L);
    const std::optional<Date> programDate = ProgramDate();
    Checkpoint(9.7L);
    if (programDate && IsValidDate(*programDate) && today < *programDate) {
        StopStartup("The program date is greater than the system date.\r\n" +
                    DisplayDate(*programDate) + " > " + DisplayDate(today));
    }
}
