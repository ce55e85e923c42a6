// Program starts, folder-tree deletion, special folders and icons through
// shell32.
#include <vector>

#include "platform/win32/Win32Facilities.h"
#include "platform/win32/WindowsSupport.h"

namespace platform::win32 {

namespace {

class Win32Process : public Process {
public:
    explicit Win32Process(HANDLE process) : process_(process) {}
    std::uint32_t wait(std::uint32_t milliseconds) override {
        return WaitForSingleObject(process_.get(), milliseconds);
    }

private:
    UniqueHandle process_;  // closed when the caller is done with it
};

using SpecialFolderPathA = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);

class Win32Shell : public Shell {
public:
    std::intptr_t execute(WindowId owner, const std::string& file, const std::string& parameters,
                          const std::string& folder, int showCommand) override {
        HINSTANCE result = ShellExecuteA(reinterpret_cast<HWND>(owner), nullptr, file.c_str(),
                                         parameters.c_str(), folder.c_str(), showCommand);
        return reinterpret_cast<std::intptr_t>(result);
    }

    ExecuteResult executeEx(WindowId owner, const std::string& file,
                            const std::string& parameters, int showCommand,
                            std::uint32_t extraMask) override {
        SHELLEXECUTEINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS | extraMask;
        info.hwnd = reinterpret_cast<HWND>(owner);
        info.lpFile = file.c_str();
        info.lpParameters = parameters.c_str();
        info.nShow = showCommand;
        ExecuteResult result;
        result.ok = ShellExecuteExA(&info) != FALSE;
        if (!result.ok) {
            result.lastError = GetLastError();
            return result;
        }
        if (info.hProcess != nullptr) result.process = std::make_unique<Win32Process>(info.hProcess);
        return result;
    }

    int deleteTree(const std::string& path, std::uint16_t flags) override {
        // The list of one name ends with two NULs, whatever the path's length.
        std::vector<char> from(path.begin(), path.end());
        from.push_back('\0');
        from.push_back('\0');
        SHFILEOPSTRUCTA operation{};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.data();
        operation.fFlags = flags;
        const int result = SHFileOperationA(&operation);
        // A run the user or the shell broke off is no success.
        if (result == 0 && operation.fAnyOperationsAborted) return ERROR_CANCELLED;
        return result;
    }

    std::optional<std::string> specialFolderPath(int csidl, bool create) override {
        // Shell32 of Windows 95 without the desktop update lacks it.
        static const auto call =
            optionalExport<SpecialFolderPathA>("shell32.dll", "SHGetSpecialFolderPathA");
        if (call == nullptr) return std::nullopt;
        // The call may fill MAX_PATH characters, more than 256.
        char path[MAX_PATH + 1] = {0};
        if (!call(nullptr, path, csidl, create)) return std::nullopt;
        return std::string(path);
    }

    std::optional<int> smallIconIndex(const std::string& path) override {
        SHFILEINFOA info{};
        if (SHGetFileInfoA(path.c_str(), 0, &info, sizeof info,
                           SHGFI_SYSICONINDEX | SHGFI_SMALLICON) == 0) {
            return std::nullopt;
        }
        return info.iIcon;
    }
};

}  // namespace

std::unique_ptr<Shell> makeShell() { return std::make_unique<Win32Shell>(); }

}  // namespace platform::win32
