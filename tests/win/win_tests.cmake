# Tests of the real window under Wine in a private X server.
#
# Wine can run the 32-bit program only where the kernel runs 32-bit code.
# Where it cannot, the same sources are built for x86-64 in a sub-build and
# the window tests drive that build; the checks of the shipped file itself
# always read the 32-bit notice.exe.
set(NOTICE_WINE_ARCH "auto" CACHE STRING "Wine to test under: auto, win32 or win64")
set_property(CACHE NOTICE_WINE_ARCH PROPERTY STRINGS auto win32 win64)
if(NOT NOTICE_WINE_ARCH MATCHES "^(auto|win32|win64)$")
  message(FATAL_ERROR "NOTICE_WINE_ARCH must be auto, win32 or win64 (got \"${NOTICE_WINE_ARCH}\").")
endif()
if(NOTICE_WINE_ARCH STREQUAL "auto" AND CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(wine_arch win64)
else()
  # The session tool makes the same choice for every run; ask it once here.
  execute_process(COMMAND "${PROJECT_SOURCE_DIR}/tools/wine-session" --arch "${NOTICE_WINE_ARCH}"
                          --print-arch
                  OUTPUT_VARIABLE wine_arch OUTPUT_STRIP_TRAILING_WHITESPACE
                  ERROR_VARIABLE wine_arch_error RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${wine_arch_error}")
  endif()
  if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND wine_arch STREQUAL "win64")
    message(STATUS "32-bit Wine cannot run on this host: window tests drive an x86-64 build")
  endif()
endif()

add_executable(notice_wine_tests
  win/wine_test_support.h
  win/creation_veto.h
  win/wine_test_support.cpp
  win/in_process_test.cpp
  win/real_program_test.cpp
  win/fuzz_test.cpp
  win/soak_test.cpp
  win/startup_failure_test.cpp
  ${NOTICE_RESOURCE_FILES})
target_link_libraries(notice_wine_tests PRIVATE notice_win32 GTest::gtest_main)
target_link_options(notice_wine_tests PRIVATE -static)
# The program's libraries also hold code for link-time optimisation, which
# cannot mix its inline definitions with those of the tests' plain objects.
target_link_options(notice_wine_tests PRIVATE -fno-lto)

add_executable(notice_fault_runner WIN32 win/fault_runner.cpp win/creation_veto.h ${NOTICE_RESOURCE_FILES})
target_link_libraries(notice_fault_runner PRIVATE notice_win32)
target_link_options(notice_fault_runner PRIVATE -static -municode -fno-lto)

# Only the sub-build that exists to give the tests a runnable program stops here.
if(NOTICE_TEST_VEHICLE)
  return()
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND wine_arch STREQUAL "win64")
  include(ExternalProject)
  ExternalProject_Add(notice_x64
    SOURCE_DIR "${PROJECT_SOURCE_DIR}"
    BINARY_DIR "${CMAKE_BINARY_DIR}/x64"
    CMAKE_CACHE_ARGS
      "-DCMAKE_TOOLCHAIN_FILE:FILEPATH=${PROJECT_SOURCE_DIR}/cmake/toolchain-x86_64-w64-mingw32.cmake"
      "-DCMAKE_BUILD_TYPE:STRING=${CMAKE_BUILD_TYPE}"
      "-DNOTICE_DOWNLOAD_URL:STRING=${NOTICE_DOWNLOAD_URL}"
      "-DNOTICE_ACCOUNT:STRING=${NOTICE_ACCOUNT}"
      "-DNOTICE_WARNINGS_AS_ERRORS:BOOL=${NOTICE_WARNINGS_AS_ERRORS}"
      "-DNOTICE_TEST_VEHICLE:BOOL=ON"
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target notice notice_wine_tests notice_fault_runner notice_floor bench_launcher
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON)
  set(tested_program "${CMAKE_BINARY_DIR}/x64/notice.exe")
  set(fault_runner "${CMAKE_BINARY_DIR}/x64/tests/notice_fault_runner.exe")
  set(test_runner "${CMAKE_BINARY_DIR}/x64/tests/notice_wine_tests.exe")
else()
  set(tested_program "$<TARGET_FILE:notice>")
  set(fault_runner "$<TARGET_FILE:notice_fault_runner>")
  set(test_runner "$<TARGET_FILE:notice_wine_tests>")
endif()

# Wine sees the host's root as drive Z:.
function(notice_windows_path OUT path)
  string(REPLACE "/" "\\" windows "${path}")
  set(${OUT} "Z:${windows}" PARENT_SCOPE)
endfunction()
notice_windows_path(program_windows_path "${tested_program}")
notice_windows_path(fault_runner_windows_path "${fault_runner}")

# Each row: test name, screen, GoogleTest filter, and optionally the number
# of soak cycles. A name ending in ".long" carries the label "long", which
# the plain test presets leave out and the CI ones run.
set(wine_test_rows
  "in_process|1024x768|InProcess*:CreationFailure*:Vetoed/*"
  "startup_failure|1024x768|Refused/StartupFailure.*"
  "real_program|1024x768|RealProgram.*:Ways/RealProgramClose.*"
  "x_input|1024x768|RealProgramXInput.*"
  "fuzz|1024x768|Fuzz.*"
  "soak|1024x768|Soak.*|20"
  "soak.long|1024x768|Soak.*|200"
  "geometry.1024x768|1024x768|RealProgramGeometry.*"
  "geometry.1025x769|1025x769|RealProgramGeometry.*"
  "geometry.300x400|300x400|RealProgramGeometry.*"
  "geometry.301x400|301x400|RealProgramGeometry.*")
foreach(row IN LISTS wine_test_rows)
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 name)
  list(GET fields 1 screen)
  list(GET fields 2 filter)
  set(soak_env)
  list(LENGTH fields count)
  if(count GREATER 3)
    list(GET fields 3 cycles)
    set(soak_env "NOTICE_SOAK_CYCLES=${cycles}")
  endif()
  add_test(NAME wine.${name}
    COMMAND "${PROJECT_SOURCE_DIR}/tools/wine-session" --screen ${screen} --arch ${wine_arch}
            --prefix "${CMAKE_BINARY_DIR}/wineprefix-${wine_arch}" --timeout 1800 --
            env "NOTICE_EXE=${program_windows_path}" "NOTICE_FAULT_RUNNER=${fault_runner_windows_path}"
                ${soak_env}
            sh -c "exec \"\$NOTICE_WINE\" \"\$0\" --gtest_filter=\"\$1\" --gtest_color=no"
            "${test_runner}" "${filter}")
  # One prefix, one Wine server: the sessions take turns.
  set(labels wine)
  if(name MATCHES "\\.long$")
    list(APPEND labels long)
  endif()
  set_tests_properties(wine.${name} PROPERTIES RESOURCE_LOCK wine TIMEOUT 2000 LABELS "${labels}")
endforeach()

# A run leaves the prefix's files and registry as they were; the probe
# shows that the comparison finds a write.
notice_windows_path(runner_windows_path "${test_runner}")
foreach(mode IN ITEMS "" --probe)
  set(name wine.no_writes)
  if(mode)
    set(name wine.no_writes.finds_a_write)
  endif()
  add_test(NAME ${name}
    COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/win/no_writes.sh" "${CMAKE_BINARY_DIR}/wineprefix-${wine_arch}"
            ${wine_arch} "${runner_windows_path}" "${program_windows_path}" ${mode})
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine TIMEOUT 900 LABELS wine)
endforeach()
