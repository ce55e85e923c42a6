// The Windows shell: starting programs, waiting for them, deleting folder
// trees, special folders and small shell icons.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Types.h"

namespace platform {

namespace show {
constexpr int kHide = 0;           // SW_HIDE
constexpr int kNormal = 1;         // SW_SHOWNORMAL
constexpr int kMaximized = 3;      // SW_SHOWMAXIMIZED
}  // namespace show

namespace wait {
constexpr std::uint32_t kObject0 = 0;         // WAIT_OBJECT_0
constexpr std::uint32_t kTimeout = 0x102;     // WAIT_TIMEOUT
constexpr std::uint32_t kFailed = 0xFFFFFFFF; // WAIT_FAILED
}  // namespace wait

namespace fileop {
constexpr std::uint16_t kSilent = 0x4;           // FOF_SILENT
constexpr std::uint16_t kNoConfirmation = 0x10;  // FOF_NOCONFIRMATION
}  // namespace fileop

namespace csidl {
constexpr int kProgramFiles = 38;
}  // namespace csidl

// A started process. Destroying it closes the process handle; the process
// itself runs on.
class Process {
public:
    virtual ~Process() = default;
    // WaitForSingleObject on the process handle.
    virtual std::uint32_t wait(std::uint32_t milliseconds) = 0;
};

struct ExecuteResult {
    bool ok = false;
    std::unique_ptr<Process> process;  // may be null on success
    std::uint32_t lastError = 0;       // GetLastError after a failure
};

class Shell {
public:
    virtual ~Shell() = default;

    // ShellExecuteA with no verb; its result (above 32 on success).
    virtual std::intptr_t execute(WindowId owner, const std::string& file,
                                  const std::string& parameters, const std::string& folder,
                                  int showCommand) = 0;
    // ShellExecuteExA with SEE_MASK_NOCLOSEPROCESS plus `extraMask`.
    virtual ExecuteResult executeEx(WindowId owner, const std::string& file,
                                    const std::string& parameters, int showCommand,
                                    std::uint32_t extraMask) = 0;

    // SHFileOperationA(FO_DELETE) on one path; its result (0 on success).
    virtual int deleteTree(const std::string& path, std::uint16_t flags) = 0;

    // SHGetSpecialFolderPathA without owner; nullopt when the shell fails.
    virtual std::optional<std::string> specialFolderPath(int csidl, bool create) = 0;

    // SHGetFileInfoA(SHGFI_SYSICONINDEX | SHGFI_SMALLICON): the index of the
    // path's small icon in the system image list.
    virtual std::optional<int> smallIconIndex(const std::string& path) = 0;
};

}  // namespace platform
