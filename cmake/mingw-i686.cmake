# Toolchain file for the MinGW-w64 i686 cross build of the 32-bit product.
set(VRL_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
