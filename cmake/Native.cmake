# The native (Linux) configuration: the simulated backends, unit and
# contract tests, fuzzers and build-time tools.
find_package(GTest REQUIRED)
enable_testing()
include(GoogleTest)

vrl_library(platform_sim platform/sim)
target_link_libraries(platform_sim PUBLIC platform_core)
vrl_library(toolkit_sim toolkit/sim)
# The simulated toolkit fails the running test when nobody answers a box.
target_link_libraries(toolkit_sim PUBLIC toolkit_core platform_sim GTest::gtest)

# Build-time tools (the fee table generator).
file(GLOB tool_sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tools/*.cpp")
foreach(tool_source IN LISTS tool_sources)
  get_filename_component(tool "${tool_source}" NAME_WE)
  add_executable(${tool} "${tool_source}")
  target_link_libraries(${tool} PRIVATE engine common platform_sim)
  target_compile_options(${tool} PRIVATE ${VRL_WARNINGS})
endforeach()

# One unit test program per area, tests/unit/<area>/, linked with what
# that area needs, so an area builds and runs on its own.
set(unit_libs_platform platform_sim)
set(unit_libs_engine engine platform_sim)
set(unit_libs_toolkit toolkit_sim platform_sim)
set(unit_libs_common common toolkit_sim platform_sim)
set(unit_libs_startup startup toolkit_sim platform_sim)
set(unit_libs_installer installer_core toolkit_sim platform_sim)
set(unit_libs_reliability installer_core toolkit_sim platform_sim)
file(GLOB unit_areas CONFIGURE_DEPENDS LIST_DIRECTORIES true "${CMAKE_SOURCE_DIR}/tests/unit/*")
foreach(area_dir IN LISTS unit_areas)
  if(NOT IS_DIRECTORY "${area_dir}")
    continue()
  endif()
  get_filename_component(area "${area_dir}" NAME)
  file(GLOB_RECURSE area_sources CONFIGURE_DEPENDS "${area_dir}/*.cpp")
  if(NOT area_sources)
    continue()
  endif()
  if(NOT DEFINED unit_libs_${area})
    set(unit_libs_${area} installer_core toolkit_sim platform_sim)
  endif()
  add_executable(unit_${area} ${area_sources})
  target_link_libraries(unit_${area} PRIVATE ${unit_libs_${area}} GTest::gtest_main GTest::gmock)
  target_compile_options(unit_${area} PRIVATE ${VRL_WARNINGS})
  target_include_directories(unit_${area} PRIVATE "${CMAKE_SOURCE_DIR}/tests")
  gtest_discover_tests(unit_${area} DISCOVERY_TIMEOUT 120 TEST_PREFIX "${area}.")
endforeach()

# pxlib as an independent peer of the engine, for tests only (the engine
# itself never links it): the engine's tests read and write tables with it,
# and the reliability tests read every table a faulted run leaves.
find_package(PkgConfig REQUIRED)
pkg_check_modules(PXLIB REQUIRED IMPORTED_TARGET pxlib)
vrl_library(pxlib_peer tests/peer)
target_include_directories(pxlib_peer PUBLIC "${CMAKE_SOURCE_DIR}/tests")
target_link_libraries(pxlib_peer PUBLIC PkgConfig::PXLIB PRIVATE GTest::gtest)
foreach(peer_user IN ITEMS unit_engine unit_reliability)
  if(TARGET ${peer_user})
    target_link_libraries(${peer_user} PRIVATE pxlib_peer)
  endif()
endforeach()

# The engine's tests also read the binary fixtures and run the fee table tool.
if(TARGET unit_engine)
  target_link_libraries(unit_engine PRIVATE common)
  target_compile_definitions(unit_engine PRIVATE
    VRL_ENGINE_FIXTURES="${CMAKE_SOURCE_DIR}/tests/fixtures/paradox"
    VRL_FEE_SOURCES="${CMAKE_SOURCE_DIR}/resources/fees"
    VRL_FEE_TOOL="$<TARGET_FILE:make_fee_tables>")
  add_dependencies(unit_engine make_fee_tables)
endif()

vrl_sources(contract_sources tests/contract)
list(FILTER contract_sources EXCLUDE REGEX "/win32_")
if(contract_sources)
  add_executable(contract_tests ${contract_sources})
  target_link_libraries(contract_tests PRIVATE platform_sim GTest::gtest_main)
  target_compile_options(contract_tests PRIVATE ${VRL_WARNINGS})
  target_compile_definitions(contract_tests PRIVATE VRL_CONTRACT_SIM=1)
  target_include_directories(contract_tests PRIVATE "${CMAKE_SOURCE_DIR}/tests")
  gtest_discover_tests(contract_tests DISCOVERY_TIMEOUT 60)
endif()

if(EXISTS "${CMAKE_SOURCE_DIR}/tests/fuzz/CMakeLists.txt")
  add_subdirectory(tests/fuzz)
endif()
if(EXISTS "${CMAKE_SOURCE_DIR}/tests/bench/CMakeLists.txt")
  add_subdirectory(tests/bench)
endif()
if(EXISTS "${CMAKE_SOURCE_DIR}/tests/e2e/fixtures/CMakeLists.txt")
  add_subdirectory(tests/e2e/fixtures)
endif()
