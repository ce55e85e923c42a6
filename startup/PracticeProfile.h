// The practice profile: what the practice settings file says about the
// practice's country, claim scheme and claim transmission. Set once by the
// practice settings upkeep at start-up, afterwards only read.
#pragma once

#include <string>

// First letter of [ProductName] Country; 'E' when the key is absent or empty.
extern char CountryCode;
// CountryCode is that letter.
extern bool CountryE;
extern bool CountryS;
extern bool CountryW;
extern bool CountryI;
extern bool CountryJ;
// [ProductName] IOM, only for country E.
extern bool IomFlag;
// "RSI" for country I, "DPD" for S, "DPB" otherwise.
extern std::string SchemeCode;
// [ProductName] A1DPB.
extern bool A1dpbFlag;
// [Patient] Lock.
extern bool PatientLockFlag;
// 'E', 'N' or 'X'; always 'X' outside country S.
extern char TransmissionFormat;
// [SMS] txtconnexions.
extern bool SmsFlag;
// [Registration] Site as a number, 0 when absent or not a number.
extern int SiteNumber;
// [ProductName] NewClaim: the control table's "Claim" row is to be made.
extern bool NewClaim;

// The values before the upkeep has run (for tests).
void ResetPracticeProfile();
