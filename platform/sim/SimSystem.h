// The simulated machine's operating system: a settable version record,
// Windows folder, user, running module, debugger flag, error mode, locale,
// the system's message texts, the clock, the module's RCDATA resources and
// the version resources of files.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/System.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimText.h"

namespace sim {

struct LocaleCall {
    std::uint32_t lcid;
    std::uint32_t type;
    std::string value;
};

class SimSystem : public platform::System {
public:
    SimSystem(std::shared_ptr<FileSystem> disks, Clock& clock);

    std::optional<platform::OsVersion> version() override { return version_; }
    std::string windowsFolder() override { return windowsFolder_; }
    std::optional<std::string> userName() override { return userName_; }
    std::string moduleFileName() override { return moduleFileName_; }
    bool debuggerPresent() override { return debugger_; }
    std::uint32_t setErrorMode(std::uint32_t mode) override;
    bool setLocaleInfo(std::uint32_t lcid, std::uint32_t type, const std::string& value) override;
    std::string localeInfo(std::uint32_t lcid, std::uint32_t type) override;
    std::optional<std::string> formatMessage(std::uint32_t code,
                                             const std::string& insert) override;
    std::uint32_t tickCount() override { return clock_.ticks(); }
    platform::LocalTime localTime() override { return clock_.now(); }
    void sleep(std::uint32_t milliseconds) override;
    std::optional<std::string> moduleResource(const std::string& name) override;
    std::uint32_t fileVersionInfoSize(const std::string& path) override;
    std::optional<std::string> fileVersionInfo(const std::string& path, std::uint32_t size) override;
    std::optional<platform::FixedFileVersion> fixedFileVersion(const std::string& block) override;

    // --- For tests -----------------------------------------------------
    void setVersion(std::optional<platform::OsVersion> version) { version_ = std::move(version); }
    void setWindowsFolder(const std::string& folder) { windowsFolder_ = folder; }
    void setUserName(std::optional<std::string> name) { userName_ = std::move(name); }
    void setModuleFileName(const std::string& path) { moduleFileName_ = path; }
    void setDebuggerPresent(bool present) { debugger_ = present; }
    std::uint32_t errorMode() const { return errorMode_; }
    void refuseLocaleChanges(bool refuse) { refuseLocale_ = refuse; }
    const std::vector<LocaleCall>& localeChanges() const { return localeChanges_; }
    // A message text in the system's table (with its final CR LF).
    void setErrorText(std::uint32_t code, std::optional<std::string> text);
    const std::vector<std::uint32_t>& sleeps() const { return sleeps_; }
    void setModuleResource(const std::string& name, const std::string& bytes);
    void setFileVersion(const std::string& path, std::uint16_t major, std::uint16_t minor,
                        std::uint16_t release, std::uint16_t build);
    // Raw version resource bytes of a file, also malformed ones.
    void setFileVersionBlock(const std::string& path, const std::string& block);

private:
    std::shared_ptr<FileSystem> fs_;
    Clock& clock_;
    std::optional<platform::OsVersion> version_;
    std::string windowsFolder_ = "C:\\WINDOWS";
    std::optional<std::string> userName_ = std::string("Reception");
    std::string moduleFileName_ = "C:\\Virelle\\VRL_DPD134.exe";
    bool debugger_ = false;
    std::uint32_t errorMode_ = 0;
    bool refuseLocale_ = false;
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::string> locale_;
    std::vector<LocaleCall> localeChanges_;
    std::map<std::uint32_t, std::optional<std::string>> errorTextOverrides_;
    std::vector<std::uint32_t> sleeps_;
    std::map<std::string, std::string, TextLess> resources_;
    std::map<std::string, std::string> versionBlocks_;  // by host path
};

// Windows' English message text of an error code, with its CR LF; nullopt
// for codes the simulated system does not know.
std::optional<std::string> windowsMessageText(std::uint32_t code);

}  // namespace sim
