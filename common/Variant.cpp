#include "common/Variant.h"

#include "common/SystemHelpers.h"
#include "platform/Platform.h"

namespace {

struct VariantColumn {
    const char* productName;
    const char* practiceIniName;
    const char* installFolderName;
    const char* installRoot;
    const char* machineIniPath;
    const char* privateDir;
    const char* driveKey;
};

constexpr VariantColumn kVrl = {
    "Virelle", "VRLPRC.INI", "\\Virelle\\", "C:\\Virelle\\",
    "C:\\Virelle\\VRL.INI", "C:\\Virelle\\Private\\", "WD"};
constexpr VariantColumn kCrv = {
    "Corvane", "CRVCLINIC.INI", "\\Corvane\\", "C:\\Corvane\\",
    "C:\\Corvane\\CRV.INI", "C:\\Corvane\\Private\\", "WB"};

}  // namespace

Variant ProductVariant = Variant::VRL;
std::string ProductName = kVrl.productName;
std::string PracticeIniName = kVrl.practiceIniName;
std::string InstallFolderName = kVrl.installFolderName;
std::string InstallRoot = kVrl.installRoot;
std::string MachineIniPath = kVrl.machineIniPath;
std::string PrivateDir = kVrl.privateDir;
std::string DriveKey = kVrl.driveKey;
bool DeveloperMachine = false;

Variant VariantOfExecutable(const std::string& path) {
    std::string prefix = FileBaseName(path).substr(0, 3);
    for (char& c : prefix) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return prefix == "CRV" ? Variant::CRV : Variant::VRL;
}

void SelectVariant(Variant variant) {
    const VariantColumn& column = variant == Variant::CRV ? kCrv : kVrl;
    ProductVariant = variant;
    ProductName = column.productName;
    PracticeIniName = column.practiceIniName;
    InstallFolderName = column.installFolderName;
    InstallRoot = column.installRoot;
    MachineIniPath = column.machineIniPath;
    PrivateDir = column.privateDir;
    DriveKey = column.driveKey;
}

void ResetVariantValues() {
    SelectVariant(Variant::VRL);
    DeveloperMachine = false;
}

bool IsMainProgram() {
    const std::string name = FileBaseName(platform::system().moduleFileName());
    return name == "VRL" || name == "CRV";
}
