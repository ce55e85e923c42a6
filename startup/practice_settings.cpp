// Phase 15: brings the practice settings file up to date with rules older
// versions of the suite did not apply, and derives the practice profile
// from it. Every read and write goes to the file at once; a refused write
// raises EIniFileError for the start-up's catch-all handler.
#include "common/Dates.h"
#include "common/IniFile.h"
#include "common/StartupLog.h"
#include "common/Text.h"
#include "common/Variant.h"
#include "startup/Main_DataModules.h"
#include "startup/PracticeProfile.h"
#include "startup/Phases.h"

namespace {

// The SMS key is settled from the user name and password only before this
// day; from then on it is the practice's own choice.
const Date kTextConnectionCutOff{2009, 11, 1};

// The first letter of a one-letter setting. A key present with an empty
// value reads as `whenEmpty`, the same as an absent key.
char FirstLetter(const std::string& value, char whenEmpty) {
    return value.empty() ? whenEmpty : value[0];
}

// An older practice (one with a run date or a registration) that never
// stored its country is in country E.
void FillInCountry(IniFile& practice) {
    if (!practice.ReadString(ProductName, "Country", "").empty()) return;
    Checkpoint(9.1415L);
    const bool established = !practice.ReadString(ProductName, "Date", "").empty() ||
                             practice.SectionExists("Registration");
    if (established) {
        Checkpoint(9.1416L);
        practice.WriteString(ProductName, "Country", "E");
    } else {
        Checkpoint(9.1417L);
    }
}

void SetCountry(const IniFile& practice) {
    Checkpoint(9.1418L);
    CountryCode = FirstLetter(practice.ReadString(ProductName, "Country", "E"), 'E');
    Checkpoint(9.1419L);
    CountryE = CountryCode == 'E';
    CountryS = CountryCode == 'S';
    CountryW = CountryCode == 'W';
    CountryI = CountryCode == 'I';
    IomFlag = CountryE && practice.ReadBool(ProductName, "IOM", false);
    CountryJ = CountryCode == 'J';
    SchemeCode = CountryI ? "RSI" : CountryS ? "DPD" : "DPB";
}

// Country J has no patient status N: one N goes per start.
void DropPatientStatusN(IniFile& practice) {
    Checkpoint(9.14191L);
    if (!CountryJ) return;
    std::string status = AnsiUpperCase(practice.ReadString("Patient", "Status", "NPIDXLS"));
    const std::size_t n = status.find('N');
    if (n == std::string::npos) return;
    status.erase(n, 1);
    practice.WriteString("Patient", "Status", status);
}

void SetTransmission(IniFile& practice) {
    if (practice.ReadString("Transmission", "Format", "").empty() &&
        practice.ReadString("Transmission", "Serial", "").empty()) {
        practice.WriteString("Transmission", "Format", CountryS ? "N" : "X");
    }
    Checkpoint(9.14193L);
    TransmissionFormat = FirstLetter(practice.ReadString("Transmission", "Format", "E"), 'X');
    if (TransmissionFormat != 'E' && TransmissionFormat != 'N') TransmissionFormat = 'X';

    if ((TransmissionFormat == 'E' || TransmissionFormat == 'N') &&
        !practice.ValueExists("RACAL", "Site")) {
        practice.WriteString("RACAL", "Site", practice.ReadString("Transmission", "Site", ""));
    }
    if (!CountryS) {
        practice.WriteString("Transmission", "Format", "X");
        practice.EraseSection("WebEDI");
        TransmissionFormat = 'X';
    }
}

void SetTextConnections(IniFile& practice) {
    Checkpoint(9.14194L);
    if (Today() < kTextConnectionCutOff && practice.ReadInteger("SMS", "txtconnexions", 2) == 2) {
        const bool account = !practice.ReadString("SMS", "Username", "").empty() &&
                             !practice.ReadString("SMS", "Password", "").empty();
        practice.WriteBool("SMS", "txtconnexions", account);
    }
    SmsFlag = practice.ReadBool("SMS", "txtconnexions", false);
}

void SetSite(IniFile& practice) {
    SiteNumber = ParseIniInteger(practice.ReadString("Registration", "Site", "0")).value_or(0);
    Checkpoint(9.14195L);
    if (SiteNumber == 487) practice.WriteBool("Medical", "BDA", false);
}

}  // namespace

void KeepPracticeSettings(TFRM_Main_DataModules&) {
    IniFile practice(PracticeIniPath());
    FillInCountry(practice);
    SetCountry(practice);
    DropPatientStatusN(practice);
    A1dpbFlag = practice.ReadBool(ProductName, "A1DPB", false);

    Checkpoint(9.14192L);
    // Erased at every start, whatever running programs have put there.
    practice.EraseSection("Computers");
    PatientLockFlag = practice.ReadBool("Patient", "Lock", false);
    NewClaim = practice.ReadBool(ProductName, "NewClaim", false);

    SetTransmission(practice);
    SetTextConnections(practice);
    SetSite(practice);
    Checkpoint(9.14196L);
}
