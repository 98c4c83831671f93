# Checks of the built notice.exe itself: what it runs on and loads, how it is
# hardened, its resources, and that the same sources give the same bytes.
set(NOTICE_PYTHON /usr/bin/python3 CACHE FILEPATH "Python 3 that has pefile (python3-pefile)")

set(pe_dir "${CMAKE_CURRENT_LIST_DIR}")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(pe_arch x64)
  set(pe_other_arch x86)
else()
  set(pe_arch x86)
  set(pe_other_arch x64)
endif()

# The check names come from the script, so a new check gets its own test.
execute_process(COMMAND "${NOTICE_PYTHON}" "${pe_dir}/check_pe.py" --list
                OUTPUT_VARIABLE pe_checks OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE pe_list_result)
if(NOT pe_list_result EQUAL 0 OR pe_checks STREQUAL "")
  message(FATAL_ERROR "${NOTICE_PYTHON} ${pe_dir}/check_pe.py --list failed: ${pe_list_result}")
endif()

# A program with every fault the checks look for, so that each check is seen
# to fail; the real program must pass them all.
add_executable(pe_faulty_program "${pe_dir}/fixture/faulty_program.cpp"
                                 "${pe_dir}/fixture/faulty_program.rc")
set_source_files_properties("${pe_dir}/fixture/faulty_program.rc" PROPERTIES OBJECT_DEPENDS
  "${pe_dir}/fixture/faulty.manifest;${PROJECT_SOURCE_DIR}/resources/notice.ico")
target_compile_options(pe_faulty_program PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-g>)
target_link_options(pe_faulty_program PRIVATE
  -Wl,--disable-dynamicbase -Wl,--disable-nxcompat -Wl,--disable-reloc-section
  $<$<EQUAL:${CMAKE_SIZEOF_VOID_P},8>:-Wl,--disable-high-entropy-va>)

foreach(check IN LISTS pe_checks)
  add_test(NAME pe.${check}
           COMMAND "${NOTICE_PYTHON}" "${pe_dir}/check_pe.py" --exe "$<TARGET_FILE:notice>"
                   --arch ${pe_arch} --check ${check})
  # Only the machine check can fail on a file built for the right processor.
  if(check STREQUAL "machine")
    set(faulty_arch ${pe_other_arch})
  else()
    set(faulty_arch ${pe_arch})
  endif()
  add_test(NAME pe.finds_faults.${check}
           COMMAND "${NOTICE_PYTHON}" "${pe_dir}/check_pe.py"
                   --exe "$<TARGET_FILE:pe_faulty_program>" --arch ${faulty_arch} --check ${check})
  set_tests_properties(pe.finds_faults.${check} PROPERTIES
    PASS_REGULAR_EXPRESSION "FAIL ${check}: ")
endforeach()

add_test(NAME pe.icon_matches_script
         COMMAND "${NOTICE_PYTHON}" "${PROJECT_SOURCE_DIR}/resources/make_icon.py" --verify)

# Two fresh builds in folders at different depths, and this tree's own file,
# must be the same bytes. The values go in a cache script so that no
# character of them passes through a command line.
set(pe_repro_dir "${CMAKE_BINARY_DIR}/repro")
set(pe_repro_cache "${CMAKE_CURRENT_BINARY_DIR}/reproducible-cache.cmake")
set(pe_repro_content "")
foreach(var IN ITEMS CMAKE_TOOLCHAIN_FILE CMAKE_BUILD_TYPE CMAKE_MAKE_PROGRAM
                     NOTICE_DOWNLOAD_URL NOTICE_ACCOUNT
                     CMAKE_CXX_FLAGS CMAKE_EXE_LINKER_FLAGS CMAKE_RC_FLAGS)
  if(DEFINED ${var})
    string(APPEND pe_repro_content "set(${var} [==========[${${var}}]==========] CACHE STRING \"\")\n")
  endif()
endforeach()
string(APPEND pe_repro_content "set(BUILD_TESTING OFF CACHE BOOL \"\")\n")
file(WRITE "${pe_repro_cache}" "${pe_repro_content}")

add_test(NAME pe.reproducible
         COMMAND "${CMAKE_COMMAND}"
                 "-DSOURCE_DIR=${PROJECT_SOURCE_DIR}"
                 "-DGENERATOR=${CMAKE_GENERATOR}"
                 "-DCACHE_SCRIPT=${pe_repro_cache}"
                 "-DBUILD_DIRS=${pe_repro_dir}/a/deep/path|${pe_repro_dir}/b"
                 "-DREFERENCE=$<TARGET_FILE:notice>"
                 -P "${pe_dir}/reproducible.cmake")
set_tests_properties(pe.reproducible PROPERTIES TIMEOUT 1200)
