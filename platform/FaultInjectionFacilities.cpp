#include "platform/FaultInjectionFacilities.h"

namespace platform {

namespace {

// The error a facility reports for its last call, when that call failed
// by injection rather than in the wrapped platform.
struct ErrorSlot {
    std::optional<std::uint32_t> injected;
    std::uint32_t report(std::uint32_t inner) const { return injected ? *injected : inner; }
};

// Runs `call` unless the injector fails this call of `operation` (on
// `detail`, the path it works on); then records the error in `slot` and
// returns `failure`.
template <typename R, typename Call>
R guarded(FaultInjector& injector, const char* operation, const std::string& detail,
          ErrorSlot* slot, std::uint32_t usual, R failure, Call call) {
    if (auto fault = injector.onCall(operation, detail)) {
        if (slot) slot->injected = fault->error ? fault->error : usual;
        return failure;
    }
    if (slot) slot->injected.reset();
    return call();
}

// --- Files ---------------------------------------------------------------------

class FaultOpenFile : public OpenFile {
public:
    FaultOpenFile(std::unique_ptr<OpenFile> inner, const std::string& path,
                  FaultInjector& injector, ErrorSlot& slot)
        : inner_(std::move(inner)), path_(path), injector_(injector), slot_(slot) {}

    bool readAt(std::uint64_t offset, void* buffer, std::size_t length,
                std::size_t* got) override {
        *got = 0;
        return guarded(injector_, "OpenFile.readAt", path_, &slot_, error::kInvalidHandle, false,
                       [&] { return inner_->readAt(offset, buffer, length, got); });
    }
    bool writeAt(std::uint64_t offset, const void* buffer, std::size_t length) override {
        if (auto fault = injector_.onCall("OpenFile.writeAt", path_)) {
            if (fault->kind == FaultKind::PartialWrite) inner_->writeAt(offset, buffer, length / 2);
            slot_.injected = fault->error ? fault->error : error::kDiskFull;
            return false;
        }
        slot_.injected.reset();
        return inner_->writeAt(offset, buffer, length);
    }
    std::optional<std::uint64_t> size() override {
        return guarded(injector_, "OpenFile.size", path_, &slot_, error::kInvalidHandle,
                       std::optional<std::uint64_t>{}, [&] { return inner_->size(); });
    }
    bool truncate(std::uint64_t size) override {
        return guarded(injector_, "OpenFile.truncate", path_, &slot_, error::kDiskFull, false,
                       [&] { return inner_->truncate(size); });
    }
    bool lockRange(std::uint64_t offset, std::uint64_t length, bool exclusive) override {
        return guarded(injector_, "OpenFile.lockRange", path_, &slot_, error::kLockViolation, false,
                       [&] { return inner_->lockRange(offset, length, exclusive); });
    }
    bool unlockRange(std::uint64_t offset, std::uint64_t length) override {
        return guarded(injector_, "OpenFile.unlockRange", path_, &slot_, error::kNotLocked, false,
                       [&] { return inner_->unlockRange(offset, length); });
    }
    bool flush() override {
        return guarded(injector_, "OpenFile.flush", path_, &slot_, error::kWriteFault, false,
                       [&] { return inner_->flush(); });
    }

private:
    std::unique_ptr<OpenFile> inner_;
    std::string path_;
    FaultInjector& injector_;
    ErrorSlot& slot_;
};

class FaultFiles : public Files {
public:
    FaultFiles(Files& inner, FaultInjector& injector) : inner_(inner), injector_(injector) {}

    std::unique_ptr<OpenFile> open(const std::string& path, std::uint32_t access,
                                   std::uint32_t share, std::uint32_t disposition,
                                   std::uint32_t attributes) override {
        return guarded(injector_, "Files.open", path, &slot_, error::kAccessDenied,
                       std::unique_ptr<OpenFile>(), [&]() -> std::unique_ptr<OpenFile> {
                           auto file = inner_.open(path, access, share, disposition, attributes);
                           if (!file) return nullptr;
                           return std::make_unique<FaultOpenFile>(std::move(file), path,
                                                                  injector_, slot_);
                       });
    }
    std::optional<std::uint32_t> attributes(const std::string& path) override {
        return guarded(injector_, "Files.attributes", path, &slot_, error::kAccessDenied,
                       std::optional<std::uint32_t>{}, [&] { return inner_.attributes(path); });
    }
    bool setAttributes(const std::string& path, std::uint32_t attributes) override {
        return call("Files.setAttributes", path, [&] { return inner_.setAttributes(path, attributes); });
    }
    bool createFolder(const std::string& path) override {
        return call("Files.createFolder", path, [&] { return inner_.createFolder(path); });
    }
    bool removeFolder(const std::string& path) override {
        return call("Files.removeFolder", path, [&] { return inner_.removeFolder(path); });
    }
    bool copyFile(const std::string& from, const std::string& to, bool failIfExists) override {
        return call("Files.copyFile", to, [&] { return inner_.copyFile(from, to, failIfExists); });
    }
    bool deleteFile(const std::string& path) override {
        return call("Files.deleteFile", path, [&] { return inner_.deleteFile(path); });
    }
    bool moveFile(const std::string& from, const std::string& to) override {
        return call("Files.moveFile", to, [&] { return inner_.moveFile(from, to); });
    }
    bool replaceFile(const std::string& from, const std::string& to) override {
        return call("Files.replaceFile", to, [&] { return inner_.replaceFile(from, to); });
    }
    std::optional<FindData> find(const std::string& path) override {
        return guarded(injector_, "Files.find", path, &slot_, error::kFileNotFound,
                       std::optional<FindData>{}, [&] { return inner_.find(path); });
    }
    std::optional<std::vector<std::string>> list(const std::string& folder) override {
        return guarded(injector_, "Files.list", folder, &slot_, error::kAccessDenied,
                       std::optional<std::vector<std::string>>{},
                       [&] { return inner_.list(folder); });
    }
    std::optional<LocalTime> lastWriteTime(const std::string& path) override {
        return guarded(injector_, "Files.lastWriteTime", path, &slot_, error::kAccessDenied,
                       std::optional<LocalTime>{}, [&] { return inner_.lastWriteTime(path); });
    }
    ShortPathResult shortPath(const std::string& path, std::uint32_t bufferChars) override {
        return guarded(injector_, "Files.shortPath", path, &slot_, error::kFileNotFound,
                       ShortPathResult{}, [&] { return inner_.shortPath(path, bufferChars); });
    }
    std::string fullPath(const std::string& path) override {
        return guarded(injector_, "Files.fullPath", path, &slot_, error::kInvalidName, std::string(),
                       [&] { return inner_.fullPath(path); });
    }
    std::string currentFolder() override {
        return guarded(injector_, "Files.currentFolder", std::string(), &slot_, error::kAccessDenied,
                       std::string(), [&] { return inner_.currentFolder(); });
    }
    bool setCurrentFolder(const std::string& path) override {
        return call("Files.setCurrentFolder", path, [&] { return inner_.setCurrentFolder(path); });
    }
    std::optional<std::uint64_t> freeSpace(const std::string& path) override {
        return guarded(injector_, "Files.freeSpace", path, &slot_, error::kNotReady,
                       std::optional<std::uint64_t>{}, [&] { return inner_.freeSpace(path); });
    }
    std::uint32_t lastError() const override { return slot_.report(inner_.lastError()); }

private:
    template <typename Call>
    bool call(const char* operation, const std::string& detail, Call c) {
        return guarded(injector_, operation, detail, &slot_, error::kAccessDenied, false, c);
    }

    Files& inner_;
    FaultInjector& injector_;
    ErrorSlot slot_;
};

// --- Profiles -------------------------------------------------------------------

class FaultProfiles : public Profiles {
public:
    FaultProfiles(Profiles& inner, FaultInjector& injector) : inner_(inner), injector_(injector) {}

    // A failed read is a file that could not be read: the fallback.
    std::string read(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& fallback) override {
        return guarded(injector_, "Profiles.read", path, nullptr, 0, fallback,
                       [&] { return inner_.read(path, section, key, fallback); });
    }
    std::vector<std::string> keys(const std::string& path, const std::string& section) override {
        return guarded(injector_, "Profiles.keys", path, nullptr, 0, std::vector<std::string>{},
                       [&] { return inner_.keys(path, section); });
    }
    std::vector<std::string> sections(const std::string& path) override {
        return guarded(injector_, "Profiles.sections", path, nullptr, 0, std::vector<std::string>{},
                       [&] { return inner_.sections(path); });
    }
    bool write(const std::string& path, const std::string& section, const std::string& key,
               const std::string& value) override {
        return guarded(injector_, "Profiles.write", path, nullptr, 0, false,
                       [&] { return inner_.write(path, section, key, value); });
    }
    bool eraseSection(const std::string& path, const std::string& section) override {
        return guarded(injector_, "Profiles.eraseSection", path, nullptr, 0, false,
                       [&] { return inner_.eraseSection(path, section); });
    }
    bool eraseKey(const std::string& path, const std::string& section,
                  const std::string& key) override {
        return guarded(injector_, "Profiles.eraseKey", path, nullptr, 0, false,
                       [&] { return inner_.eraseKey(path, section, key); });
    }

private:
    Profiles& inner_;
    FaultInjector& injector_;
};

// --- Registry -------------------------------------------------------------------

class FaultRegistryKey : public RegistryKey {
public:
    FaultRegistryKey(std::unique_ptr<RegistryKey> inner, const std::string& path,
                     FaultInjector& injector)
        : inner_(std::move(inner)), path_(path), injector_(injector) {}

    bool valueExists(const std::string& name) override {
        return guarded(injector_, "RegistryKey.valueExists", path_ + "\\" + name, nullptr, 0, false,
                       [&] { return inner_->valueExists(name); });
    }
    std::optional<RegistryValue> read(const std::string& name) override {
        return guarded(injector_, "RegistryKey.read", path_ + "\\" + name, nullptr, 0, std::optional<RegistryValue>{},
                       [&] { return inner_->read(name); });
    }
    bool writeString(const std::string& name, const std::string& text) override {
        return guarded(injector_, "RegistryKey.writeString", path_ + "\\" + name, nullptr, 0, false,
                       [&] { return inner_->writeString(name, text); });
    }
    bool writeNumber(const std::string& name, std::uint32_t number) override {
        return guarded(injector_, "RegistryKey.writeNumber", path_ + "\\" + name, nullptr, 0, false,
                       [&] { return inner_->writeNumber(name, number); });
    }
    bool deleteValue(const std::string& name) override {
        return guarded(injector_, "RegistryKey.deleteValue", path_ + "\\" + name, nullptr, 0, false,
                       [&] { return inner_->deleteValue(name); });
    }

private:
    std::unique_ptr<RegistryKey> inner_;
    std::string path_;
    FaultInjector& injector_;
};

class FaultRegistry : public Registry {
public:
    FaultRegistry(Registry& inner, FaultInjector& injector) : inner_(inner), injector_(injector) {}

    std::unique_ptr<RegistryKey> open(RegistryRoot root, const std::string& path,
                                      std::uint32_t access, bool create) override {
        return guarded(injector_, "Registry.open", path, &slot_, error::kAccessDenied,
                       std::unique_ptr<RegistryKey>(), [&]() -> std::unique_ptr<RegistryKey> {
                           auto key = inner_.open(root, path, access, create);
                           if (!key) return nullptr;
                           return std::make_unique<FaultRegistryKey>(std::move(key), path, injector_);
                       });
    }
    std::uint32_t lastError() const override { return slot_.report(inner_.lastError()); }

private:
    Registry& inner_;
    FaultInjector& injector_;
    ErrorSlot slot_;
};

// --- Volumes and network --------------------------------------------------------

class FaultVolumes : public Volumes {
public:
    FaultVolumes(Volumes& inner, FaultInjector& injector) : inner_(inner), injector_(injector) {}

    std::uint32_t logicalDrives() override {
        return guarded(injector_, "Volumes.logicalDrives", std::string(), nullptr, 0, std::uint32_t{0},
                       [&] { return inner_.logicalDrives(); });
    }
    std::uint32_t driveType(const std::string& root) override {
        return guarded(injector_, "Volumes.driveType", root, nullptr, 0, drive::kUnknown,
                       [&] { return inner_.driveType(root); });
    }
    std::optional<std::string> volumeLabel(const std::string& root) override {
        return guarded(injector_, "Volumes.volumeLabel", root, nullptr, 0, std::optional<std::string>{},
                       [&] { return inner_.volumeLabel(root); });
    }
    std::optional<std::string> queryDosDevice(const std::string& device) override {
        return guarded(injector_, "Volumes.queryDosDevice", device, nullptr, 0,
                       std::optional<std::string>{}, [&] { return inner_.queryDosDevice(device); });
    }
    bool defineDosDevice(std::uint32_t flags, const std::string& device,
                         const std::string& target) override {
        return guarded(injector_, "Volumes.defineDosDevice", device, nullptr, 0, false,
                       [&] { return inner_.defineDosDevice(flags, device, target); });
    }
    std::string querySubstitution9x(int drive) override {
        return guarded(injector_, "Volumes.querySubstitution9x", std::to_string(drive), nullptr, 0, std::string(),
                       [&] { return inner_.querySubstitution9x(drive); });
    }
    void createSubstitution9x(int drive, const std::string& shortFolder) override {
        if (!injector_.onCall("Volumes.createSubstitution9x", shortFolder)) {
            inner_.createSubstitution9x(drive, shortFolder);
        }
    }
    void terminateSubstitution9x(int drive) override {
        if (!injector_.onCall("Volumes.terminateSubstitution9x")) {
            inner_.terminateSubstitution9x(drive);
        }
    }

private:
    Volumes& inner_;
    FaultInjector& injector_;
};

class FaultNetwork : public Network {
public:
    FaultNetwork(Network& inner, FaultInjector& injector) : inner_(inner), injector_(injector) {}

    std::uint32_t getConnection(const std::string& localName, std::string* remoteName) override {
        return result("Network.getConnection", localName,
                      [&] { return inner_.getConnection(localName, remoteName); });
    }
    std::uint32_t addConnection(const NetResource& resource, const std::string& password,
                                const std::string& userName, std::uint32_t flags) override {
        return result("Network.addConnection", resource.remoteName,
                      [&] { return inner_.addConnection(resource, password, userName, flags); });
    }
    std::uint32_t cancelConnection(const std::string& name, std::uint32_t flags,
                                   bool force) override {
        return result("Network.cancelConnection", name,
                      [&] { return inner_.cancelConnection(name, flags, force); });
    }

private:
    // The WNet calls answer their error as the result.
    template <typename Call>
    std::uint32_t result(const char* operation, const std::string& detail, Call call) {
        if (auto fault = injector_.onCall(operation, detail)) {
            return fault->error ? fault->error : error::kNoNetwork;
        }
        return call();
    }

    Network& inner_;
    FaultInjector& injector_;
};

// --- Shell -------------------------------------------------------------------------

class FaultProcess : public Process {
public:
    FaultProcess(std::unique_ptr<Process> inner, FaultInjector& injector)
        : inner_(std::move(inner)), injector_(injector) {}
    std::uint32_t wait(std::uint32_t milliseconds) override {
        return guarded(injector_, "Process.wait", std::string(), nullptr, 0, wait::kFailed,
                       [&] { return inner_->wait(milliseconds); });
    }

private:
    std::unique_ptr<Process> inner_;
    FaultInjector& injector_;
};

class FaultShell : public Shell {
public:
    FaultShell(Shell& inner, FaultInjector& injector) : inner_(inner), injector_(injector) {}

    std::intptr_t execute(WindowId owner, const std::string& file, const std::string& parameters,
                          const std::string& folder, int showCommand) override {
        if (auto fault = injector_.onCall("Shell.execute", file)) {
            return static_cast<std::intptr_t>(fault->error ? fault->error : error::kFileNotFound);
        }
        return inner_.execute(owner, file, parameters, folder, showCommand);
    }
    ExecuteResult executeEx(WindowId owner, const std::string& file,
                            const std::string& parameters, int showCommand,
                            std::uint32_t extraMask) override {
        if (auto fault = injector_.onCall("Shell.executeEx", file)) {
            ExecuteResult failed;
            failed.lastError = fault->error ? fault->error : error::kFileNotFound;
            return failed;
        }
        ExecuteResult result = inner_.executeEx(owner, file, parameters, showCommand, extraMask);
        if (result.process) {
            result.process = std::make_unique<FaultProcess>(std::move(result.process), injector_);
        }
        return result;
    }
    int deleteTree(const std::string& path, std::uint16_t flags) override {
        if (auto fault = injector_.onCall("Shell.deleteTree", path)) {
            return static_cast<int>(fault->error ? fault->error : error::kAccessDenied);
        }
        return inner_.deleteTree(path, flags);
    }
    std::optional<std::string> specialFolderPath(int csidl, bool create) override {
        return guarded(injector_, "Shell.specialFolderPath", std::to_string(csidl), nullptr, 0,
                       std::optional<std::string>{},
                       [&] { return inner_.specialFolderPath(csidl, create); });
    }
    std::optional<int> smallIconIndex(const std::string& path) override {
        return guarded(injector_, "Shell.smallIconIndex", path, nullptr, 0, std::optional<int>{},
                       [&] { return inner_.smallIconIndex(path); });
    }

private:
    Shell& inner_;
    FaultInjector& injector_;
};

// --- System ------------------------------------------------------------------------

class FaultSystem : public System {
public:
    FaultSystem(System& inner, FaultInjector& injector) : inner_(inner), injector_(injector) {}

    std::optional<OsVersion> version() override {
        return guarded(injector_, "System.version", std::string(), nullptr, 0, std::optional<OsVersion>{},
                       [&] { return inner_.version(); });
    }
    std::string windowsFolder() override {
        return guarded(injector_, "System.windowsFolder", std::string(), nullptr, 0, std::string(),
                       [&] { return inner_.windowsFolder(); });
    }
    std::optional<std::string> userName() override {
        return guarded(injector_, "System.userName", std::string(), nullptr, 0, std::optional<std::string>{},
                       [&] { return inner_.userName(); });
    }
    std::string moduleFileName() override {
        return guarded(injector_, "System.moduleFileName", std::string(), nullptr, 0, std::string(),
                       [&] { return inner_.moduleFileName(); });
    }
    // These cannot fail on Windows; they are counted and passed on.
    bool debuggerPresent() override {
        injector_.onCall("System.debuggerPresent");
        return inner_.debuggerPresent();
    }
    std::uint32_t setErrorMode(std::uint32_t mode) override {
        injector_.onCall("System.setErrorMode");
        return inner_.setErrorMode(mode);
    }
    std::uint32_t tickCount() override {
        injector_.onCall("System.tickCount");
        return inner_.tickCount();
    }
    LocalTime localTime() override {
        injector_.onCall("System.localTime");
        return inner_.localTime();
    }
    void sleep(std::uint32_t milliseconds) override {
        injector_.onCall("System.sleep");
        inner_.sleep(milliseconds);
    }
    bool setLocaleInfo(std::uint32_t lcid, std::uint32_t type, const std::string& value) override {
        return guarded(injector_, "System.setLocaleInfo", std::string(), nullptr, 0, false,
                       [&] { return inner_.setLocaleInfo(lcid, type, value); });
    }
    std::string localeInfo(std::uint32_t lcid, std::uint32_t type) override {
        return guarded(injector_, "System.localeInfo", std::string(), nullptr, 0, std::string(),
                       [&] { return inner_.localeInfo(lcid, type); });
    }
    std::optional<std::string> formatMessage(std::uint32_t code,
                                             const std::string& insert) override {
        return guarded(injector_, "System.formatMessage", std::string(), nullptr, 0,
                       std::optional<std::string>{},
                       [&] { return inner_.formatMessage(code, insert); });
    }
    std::optional<std::string> moduleResource(const std::string& name) override {
        return guarded(injector_, "System.moduleResource", name, nullptr, 0,
                       std::optional<std::string>{}, [&] { return inner_.moduleResource(name); });
    }
    std::uint32_t fileVersionInfoSize(const std::string& path) override {
        return guarded(injector_, "System.fileVersionInfoSize", path, nullptr, 0, std::uint32_t{0},
                       [&] { return inner_.fileVersionInfoSize(path); });
    }
    std::optional<std::string> fileVersionInfo(const std::string& path,
                                               std::uint32_t size) override {
        return guarded(injector_, "System.fileVersionInfo", path, nullptr, 0,
                       std::optional<std::string>{},
                       [&] { return inner_.fileVersionInfo(path, size); });
    }
    std::optional<FixedFileVersion> fixedFileVersion(const std::string& block) override {
        return guarded(injector_, "System.fixedFileVersion", std::string(), nullptr, 0,
                       std::optional<FixedFileVersion>{},
                       [&] { return inner_.fixedFileVersion(block); });
    }

private:
    System& inner_;
    FaultInjector& injector_;
};

}  // namespace

FaultInjectingPlatform::Facilities::Facilities(Platform& inner, FaultInjector& injector)
    : files(std::make_unique<FaultFiles>(*inner.files, injector)),
      profiles(std::make_unique<FaultProfiles>(*inner.profiles, injector)),
      registry(std::make_unique<FaultRegistry>(*inner.registry, injector)),
      volumes(std::make_unique<FaultVolumes>(*inner.volumes, injector)),
      network(std::make_unique<FaultNetwork>(*inner.network, injector)),
      shell(std::make_unique<FaultShell>(*inner.shell, injector)),
      system(std::make_unique<FaultSystem>(*inner.system, injector)) {}

FaultInjectingPlatform::Facilities::~Facilities() = default;

Platform FaultInjectingPlatform::Facilities::platform() {
    Platform p;
    p.files = files.get();
    p.profiles = profiles.get();
    p.registry = registry.get();
    p.volumes = volumes.get();
    p.network = network.get();
    p.shell = shell.get();
    p.system = system.get();
    return p;
}

}  // namespace platform
