// Owning wrappers for the window and GDI handles the peers make.
#pragma once

#include <memory>
#include <type_traits>

#include "platform/Types.h"
#include "toolkit/win32/Win32.h"

namespace toolkit::win32 {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const {
        if (object != nullptr) DeleteObject(object);
    }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;

struct WindowDeleter {
    void operator()(HWND window) const {
        if (window != nullptr) DestroyWindow(window);
    }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

inline HWND AsWindow(platform::WindowId id) { return reinterpret_cast<HWND>(id); }
inline platform::WindowId AsId(HWND window) { return reinterpret_cast<platform::WindowId>(window); }

}  // namespace toolkit::win32
