// Drive letters, labels and DOS device names through kernel32, and the
// Windows 9x drive-substitution service (int 21h, 71AAh) through the VxD
// call gate.
#include "platform/win32/VxdCall9x.h"
#include "platform/win32/Win32Facilities.h"
#include "platform/win32/WindowsSupport.h"

namespace platform::win32 {

namespace {

constexpr DWORD kLabelBuffer = 261;
constexpr DWORD kDeviceBuffer = 256;
constexpr std::uint32_t kSubst = 0x71AA;
constexpr std::uint32_t kLongName = 0x7160;
enum SubstAction : std::uint32_t { kCreate = 0, kTerminate = 1, kQuery = 2 };

// The 9x service takes 32-bit registers; a 64-bit build never reaches it
// (dosCall9x finds no gate there), so the narrowing only matters on i686.
std::uint32_t pointer(const void* p) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(p));
}

class Win32Volumes : public Volumes {
public:
    std::uint32_t logicalDrives() override { return GetLogicalDrives(); }
    std::uint32_t driveType(const std::string& root) override {
        return GetDriveTypeA(root.c_str());
    }

    std::optional<std::string> volumeLabel(const std::string& root) override {
        char label[kLabelBuffer] = {0};
        if (!GetVolumeInformationA(root.c_str(), label, kLabelBuffer, nullptr, nullptr, nullptr,
                                   nullptr, 0)) {
            return std::nullopt;
        }
        return std::string(label);
    }

    std::optional<std::string> queryDosDevice(const std::string& device) override {
        char target[kDeviceBuffer] = {0};
        if (QueryDosDeviceA(device.c_str(), target, kDeviceBuffer) == 0) return std::nullopt;
        return std::string(target);
    }

    bool defineDosDevice(std::uint32_t flags, const std::string& device,
                         const std::string& target) override {
        return DefineDosDeviceA(flags, device.c_str(), target.empty() ? nullptr : target.c_str());
    }

    std::string querySubstitution9x(int drive) override {
        char folder[256] = {0};
        std::uint32_t eax = 0;
        DosRegisters query;
        query.eax = kSubst;
        query.ebx = kQuery << 8 | static_cast<std::uint32_t>(drive);
        query.edx = pointer(folder);
        if (!dosCall9x(query, &eax) || folder[0] == '\0') return "";
        // The service answers the short form; 7160h (CL 2) gives the long one.
        char longFolder[MAX_PATH + 1] = {0};
        DosRegisters expand;
        expand.eax = kLongName;
        expand.ecx = 0x0002;
        expand.esi = pointer(folder);
        expand.edi = pointer(longFolder);
        if (!dosCall9x(expand, &eax) || longFolder[0] == '\0') return folder;
        return longFolder;
    }

    void createSubstitution9x(int drive, const std::string& shortFolder) override {
        std::uint32_t eax = 0;
        DosRegisters create;
        create.eax = kSubst;
        create.ebx = kCreate << 8 | static_cast<std::uint32_t>(drive);
        create.edx = pointer(shortFolder.c_str());
        dosCall9x(create, &eax);
    }

    void terminateSubstitution9x(int drive) override {
        std::uint32_t eax = 0;
        DosRegisters terminate;
        terminate.eax = kSubst;
        terminate.ebx = kTerminate << 8 | static_cast<std::uint32_t>(drive);
        dosCall9x(terminate, &eax);
    }
};

}  // namespace

std::unique_ptr<Volumes> makeVolumes() { return std::make_unique<Win32Volumes>(); }

}  // namespace platform::win32
