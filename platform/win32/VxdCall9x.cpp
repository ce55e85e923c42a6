#include "platform/win32/VxdCall9x.h"

#include "platform/win32/WindowsSupport.h"

#if defined(__i386__)

// vrl_vxd_int21(entry, eax, ebx, ecx, edx, esi, edi, flagsOut): pushes ECX,
// EAX and the service number for the gate, calls it with the registers
// loaded, stores EFLAGS and returns EAX. The gate pops a varying number of
// bytes (Wine's only its 4-byte service number), so ESP is taken back from
// the frame rather than trusted.
extern "C" std::uint32_t vrl_vxd_int21(void* entry, std::uint32_t eax, std::uint32_t ebx,
                                       std::uint32_t ecx, std::uint32_t edx, std::uint32_t esi,
                                       std::uint32_t edi, std::uint32_t* flags);

asm(R"(
    .text
    .globl _vrl_vxd_int21
_vrl_vxd_int21:
    pushl %ebp
    movl  %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl  12(%ebp), %eax
    movl  16(%ebp), %ebx
    movl  20(%ebp), %ecx
    movl  24(%ebp), %edx
    movl  28(%ebp), %esi
    movl  32(%ebp), %edi
    pushl %ecx
    pushl %eax
    pushl $0x002A0010
    call  *8(%ebp)
    pushfl
    popl  %ecx
    movl  36(%ebp), %edx
    movl  %ecx, (%edx)
    leal  -12(%ebp), %esp
    popl  %edi
    popl  %esi
    popl  %ebx
    popl  %ebp
    ret
)");

namespace platform::win32 {

namespace {

constexpr std::uint32_t kCarryFlag = 1;

void* callGate() {
    // Only the 9x kernel has the gate at ordinal 1 (and sets GetVersion's
    // high bit); on NT that ordinal is another function.
    if (!(GetVersion() & 0x80000000u)) return nullptr;
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(kernel, MAKEINTRESOURCEA(1)));
}

}  // namespace

bool dosCall9x(const DosRegisters& in, std::uint32_t* eax) {
    void* gate = callGate();
    if (gate == nullptr) return false;
    std::uint32_t flags = 0;
    *eax = vrl_vxd_int21(gate, in.eax, in.ebx, in.ecx, in.edx, in.esi, in.edi, &flags);
    return !(flags & kCarryFlag);
}

}  // namespace platform::win32

#else

namespace platform::win32 {

// A 64-bit program has no 9x kernel beneath it: the gate is missing, as on NT.
bool dosCall9x(const DosRegisters&, std::uint32_t*) { return false; }

}  // namespace platform::win32

#endif
