// The Windows 9x kernel's VxD call gate (kernel32 export ordinal 1) used
// for interrupt 21h functions, reached through a small assembly thunk.
#pragma once

#include <cstdint>

namespace platform::win32 {

struct DosRegisters {
    std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0, esi = 0, edi = 0;
};

// Runs int 21h with the registers through VWIN32's service 2A0010h.
// False when the gate is missing (an NT system, or any 64-bit build) or the
// call set the carry flag; `eax` receives the answer.
bool dosCall9x(const DosRegisters& in, std::uint32_t* eax);

}  // namespace platform::win32
