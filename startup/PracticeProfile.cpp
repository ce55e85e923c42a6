#include "startup/PracticeProfile.h"

char CountryCode = 'E';
bool CountryE = false;
bool CountryS = false;
bool CountryW = false;
bool CountryI = false;
bool CountryJ = false;
bool IomFlag = false;
std::string SchemeCode;
bool A1dpbFlag = false;
bool PatientLockFlag = false;
char TransmissionFormat = 'X';
bool SmsFlag = false;
int SiteNumber = 0;
bool NewClaim = false;

void ResetPracticeProfile() {
    CountryCode = 'E';
    CountryE = CountryS = CountryW = CountryI = CountryJ = false;
    IomFlag = false;
    SchemeCode.clear();
    A1dpbFlag = false;
    PatientLockFlag = false;
    TransmissionFormat = 'X';
    SmsFlag = false;
    SiteNumber = 0;
    NewClaim = false;
}
