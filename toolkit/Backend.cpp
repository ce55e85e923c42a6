#include "toolkit/Backend.h"

#include <cstdio>
#include <cstdlib>

#include "toolkit/Controls.h"

namespace toolkit {

namespace {
Backend* g_installed = nullptr;
}  // namespace

Backend& CurrentBackend() {
    if (g_installed == nullptr) {
        std::fputs("toolkit::CurrentBackend() called before a backend was installed\n", stderr);
        std::abort();
    }
    return *g_installed;
}

Backend* InstallBackend(Backend* backend) {
    Backend* previous = g_installed;
    g_installed = backend;
    return previous;
}

std::uintptr_t SystemSmallImageList() { return CurrentBackend().SystemSmallImageList(); }

}  // namespace toolkit
