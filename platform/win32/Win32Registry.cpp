// Registry keys through advapi32.
#include <vector>

#include "platform/win32/Win32Facilities.h"
#include "platform/win32/WindowsSupport.h"

namespace platform::win32 {

namespace {

using ErrorSlot = std::shared_ptr<std::uint32_t>;

class Win32RegistryKey : public RegistryKey {
public:
    Win32RegistryKey(HKEY key, ErrorSlot error) : key_(key), error_(std::move(error)) {}

    bool valueExists(const std::string& name) override {
        return ok(RegQueryValueExA(key_.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr));
    }

    std::optional<RegistryValue> read(const std::string& name) override {
        DWORD type = 0;
        DWORD size = 0;
        if (!ok(RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size))) {
            return std::nullopt;
        }
        std::vector<BYTE> data(size + 1, 0);
        if (!ok(RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, data.data(), &size))) {
            return std::nullopt;
        }
        RegistryValue value;
        value.type = type;
        value.data.assign(reinterpret_cast<const char*>(data.data()), size);
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            while (!value.data.empty() && value.data.back() == '\0') value.data.pop_back();
        }
        return value;
    }

    bool writeString(const std::string& name, const std::string& text) override {
        return ok(RegSetValueExA(key_.get(), name.c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(text.size() + 1)));
    }
    bool writeNumber(const std::string& name, std::uint32_t number) override {
        const DWORD value = number;
        return ok(RegSetValueExA(key_.get(), name.c_str(), 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&value), sizeof value));
    }
    bool deleteValue(const std::string& name) override {
        return ok(RegDeleteValueA(key_.get(), name.c_str()));
    }

private:
    bool ok(LONG result) {
        *error_ = static_cast<std::uint32_t>(result);
        return result == ERROR_SUCCESS;
    }

    UniqueKey key_;
    ErrorSlot error_;
};

class Win32Registry : public Registry {
public:
    std::unique_ptr<RegistryKey> open(RegistryRoot root, const std::string& path,
                                      std::uint32_t access, bool create) override {
        HKEY base = root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        const std::string relative = !path.empty() && path[0] == '\\' ? path.substr(1) : path;
        HKEY key = nullptr;
        LONG result;
        if (create) {
            DWORD disposition = 0;
            result = RegCreateKeyExA(base, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     access, nullptr, &key, &disposition);
        } else {
            result = RegOpenKeyExA(base, relative.c_str(), 0, access, &key);
        }
        *error_ = static_cast<std::uint32_t>(result);
        if (result != ERROR_SUCCESS) return nullptr;
        return std::make_unique<Win32RegistryKey>(key, error_);
    }

    std::uint32_t lastError() const override { return *error_; }

private:
    ErrorSlot error_ = std::make_shared<std::uint32_t>(0);
};

}  // namespace

std::unique_ptr<Registry> makeRegistry() { return std::make_unique<Win32Registry>(); }

}  // namespace platform::win32
