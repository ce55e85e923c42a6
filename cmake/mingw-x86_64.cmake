# Toolchain file for the MinGW-w64 x86_64 cross build: the same sources as a
# 64-bit program, which the Wine tests run when the machine cannot run
# 32-bit programs (the product itself stays the i686 build).
set(VRL_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
