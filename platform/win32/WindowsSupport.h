// The one header of the platform backend that includes <windows.h>; every
// file of platform/win32/ includes this one instead. It also holds the
// owning wrappers for the handles the backend opens.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
// Windows XP headers, for the toolkit's window peers (GetAncestor,
// SetWindowLongPtr); the platform backend itself reaches anything newer
// than Windows 95 through GetProcAddress.
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0501
#endif

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>
#include <winnetwk.h>
#include <winver.h>

#include <cstdint>
#include <memory>
#include <type_traits>

namespace platform::win32 {

struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct KeyCloser {
    void operator()(HKEY key) const {
        if (key != nullptr) RegCloseKey(key);
    }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

struct FindCloser {
    void operator()(HANDLE find) const {
        if (find != nullptr && find != INVALID_HANDLE_VALUE) FindClose(find);
    }
};
using UniqueFind = std::unique_ptr<void, FindCloser>;

// An export that older Windows versions may lack; null when missing.
template <typename Function>
Function optionalExport(const char* module, const char* name) {
    HMODULE handle = GetModuleHandleA(module);
    if (handle == nullptr) handle = LoadLibraryA(module);
    if (handle == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
}

}  // namespace platform::win32
