// Phase 23: update programs found in the install folder are launched once
// for the whole practice; the practice settings file records the day each
// one was launched, so other programs and machines leave it alone.
#include "common/Dates.h"
#include "common/IniFile.h"
#include "common/Launch.h"
#include "common/SystemHelpers.h"
#include "common/Variant.h"
#include "platform/Shell.h"
#include "startup/Main_DataModules.h"
#include "startup/Phases.h"

namespace {

struct UpdateProgram {
    const char* fileAfterProductCode;
    const char* runOnceKey;
};

const UpdateProgram kUpdatePrograms[] = {
    {"_DPD124.EXE", "SDR124"}, {"_DPD126.EXE", "SDR126"}, {"_DPD129.EXE", "SDR129"},
    {"_DPD133.EXE", "SDR133"}, {"_DPD134.EXE", "SDR134"},
};

const char* const kRunOnceSection = "RunOnce";

std::string ProductCode() { return ProductVariant == Variant::CRV ? "CRV" : "VRL"; }

}  // namespace

void ScheduleUpdates(TFRM_Main_DataModules&) {
    for (const UpdateProgram& update : kUpdatePrograms) {
        const std::string program = InstallRoot + ProductCode() + update.fileAfterProductCode;
        if (!FileExists(program)) continue;
        IniFile practice(PracticeIniPath());
        if (IsValidDate(practice.ReadDate(kRunOnceSection, update.runOnceKey, Date{}))) continue;
        // The date goes first: a settings file that refuses it raises before
        // anything runs, so a launched copy of an update program never finds
        // its own key still empty and launches itself again.
        practice.WriteDate(kRunOnceSection, update.runOnceKey, Today());
        RunProgram(program, "", "", platform::show::kHide);
    }
}
