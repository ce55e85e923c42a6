# The MinGW-w64 i686 cross configuration: the Win32 backends, the product
# VRL_DPD134.exe, and the contract tests as a Windows program for Wine.
enable_language(RC)

vrl_library(platform_win32 platform/win32)
target_link_libraries(platform_win32 PUBLIC platform_core)
vrl_library(toolkit_win32 toolkit/win32)
target_link_libraries(toolkit_win32 PUBLIC toolkit_core platform_win32)

set(VRL_WIN32_LIBS kernel32 user32 gdi32 advapi32 mpr version shell32 comctl32 ole32)
set(VRL_STATIC_LINK -static -static-libgcc -static-libstdc++)

# The six carried fee table files, made by the native build's generator.
set(VRL_FEE_TABLE_DIR "" CACHE PATH "Folder holding the generated fee table files")

set(VRL_RESOURCE_DIR "${CMAKE_SOURCE_DIR}/resources")
set(VRL_FEE_TABLE_NAMES Dpd_c_34.DB Dpd_c_34.PX Dpd_f_34.DB Dpd_f_34.PX Dpd_f_34.XG0 Dpd_f_34.YG0)
if(NOT VRL_FEE_TABLE_DIR)
  message(WARNING "VRL_FEE_TABLE_DIR is not set, so VRL_DPD134 cannot be built: "
                  "run 'make fee-tables' and pass -DVRL_FEE_TABLE_DIR=<abs>/build/native/fee_tables")
endif()

if(EXISTS "${CMAKE_SOURCE_DIR}/installer/main.cpp")
  set(VRL_RC "${CMAKE_BINARY_DIR}/VRL_DPD134.rc")
  configure_file("${CMAKE_SOURCE_DIR}/resources/VRL_DPD134.rc.in" "${VRL_RC}" @ONLY)
  # windres reports no dependencies, so name them: the build stops with
  # "missing and no known rule to make it" until the fee tables exist, and
  # a regenerated table rebuilds the executable.
  set(rc_inputs "${VRL_RESOURCE_DIR}/version.rc" "${VRL_RESOURCE_DIR}/VRL_DPD134.manifest")
  foreach(name IN LISTS VRL_FEE_TABLE_NAMES)
    list(APPEND rc_inputs "${VRL_FEE_TABLE_DIR}/${name}")
  endforeach()
  set_source_files_properties("${VRL_RC}" PROPERTIES OBJECT_DEPENDS "${rc_inputs}")
  add_executable(VRL_DPD134 WIN32 "${CMAKE_SOURCE_DIR}/installer/main.cpp" "${VRL_RC}")
  target_link_libraries(VRL_DPD134 PRIVATE installer_core toolkit_win32 platform_win32
                        ${VRL_WIN32_LIBS})
  target_link_options(VRL_DPD134 PRIVATE ${VRL_STATIC_LINK} -mwindows)
  target_compile_options(VRL_DPD134 PRIVATE ${VRL_WARNINGS})
  set_target_properties(VRL_DPD134 PROPERTIES OUTPUT_NAME "VRL_DPD134" SUFFIX ".exe")
endif()

# GoogleTest built from Debian's sources for the contract tests under Wine.
if(EXISTS /usr/src/googletest/CMakeLists.txt)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
  # gtest's port settings for MinGW's win32 thread model (no std::mutex).
  target_include_directories(gtest BEFORE PUBLIC "${CMAKE_SOURCE_DIR}/tests/contract/gtest-port")
  vrl_sources(contract_sources tests/contract)
  list(FILTER contract_sources EXCLUDE REGEX "/sim_")
  if(contract_sources)
    add_executable(contract_tests ${contract_sources})
    target_link_libraries(contract_tests PRIVATE platform_win32 gtest gtest_main ${VRL_WIN32_LIBS})
    target_link_options(contract_tests PRIVATE ${VRL_STATIC_LINK})
    target_compile_definitions(contract_tests PRIVATE VRL_CONTRACT_WIN32=1)
    target_include_directories(contract_tests PRIVATE "${CMAKE_SOURCE_DIR}/tests")
    target_compile_options(contract_tests PRIVATE ${VRL_WARNINGS})
  endif()
endif()

# Small Windows programs for the end-to-end tests: stand-ins for the suite's
# other programs, and helpers such as window_text.
file(GLOB stand_in_sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/e2e/programs/win32/*.c")
foreach(stand_in_source IN LISTS stand_in_sources)
  get_filename_component(stand_in "${stand_in_source}" NAME_WE)
  add_executable(${stand_in} WIN32 "${stand_in_source}")
  target_link_libraries(${stand_in} PRIVATE ${VRL_WIN32_LIBS})
  target_link_options(${stand_in} PRIVATE -static -mwindows)
  target_compile_options(${stand_in} PRIVATE ${VRL_WARNINGS})
endforeach()

# Probes: Windows programs that call the shared services through the Win32
# backends, for the end-to-end tests of services the program does not yet
# reach on its own. They carry the product's version resource.
file(GLOB probe_sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/e2e/probes/*.cpp")
foreach(probe_source IN LISTS probe_sources)
  get_filename_component(probe "${probe_source}" NAME_WE)
  add_executable(${probe} WIN32 "${probe_source}" "${VRL_RESOURCE_DIR}/version.rc")
  target_link_libraries(${probe} PRIVATE engine common toolkit_win32 platform_win32 ${VRL_WIN32_LIBS})
  target_link_options(${probe} PRIVATE ${VRL_STATIC_LINK} -mwindows)
  target_compile_options(${probe} PRIVATE ${VRL_WARNINGS})
endforeach()

# Network provider DLLs that Wine's mpr loads for the end-to-end tests, in
# place of a network Wine does not have. mpr finds their entries by their
# plain names (NPGetCaps), so the stdcall decorations are dropped.
file(GLOB provider_sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/e2e/providers/*.c")
foreach(provider_source IN LISTS provider_sources)
  get_filename_component(provider "${provider_source}" NAME_WE)
  add_library(${provider} SHARED "${provider_source}")
  set_target_properties(${provider} PROPERTIES PREFIX "")
  target_link_options(${provider} PRIVATE -static -Wl,--kill-at)
  target_compile_options(${provider} PRIVATE ${VRL_WARNINGS})
endforeach()
