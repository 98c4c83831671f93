# Builds notice.exe from SOURCE_DIR in each of BUILD_DIRS (separated by |),
# each fresh, and fails unless they and REFERENCE are the same bytes.
#   cmake -DSOURCE_DIR=... -DGENERATOR=... -DCACHE_SCRIPT=... -DBUILD_DIRS=a|b
#         -DREFERENCE=.../notice.exe -P reproducible.cmake
foreach(var IN ITEMS SOURCE_DIR GENERATOR CACHE_SCRIPT BUILD_DIRS REFERENCE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "reproducible.cmake needs -D${var}=...")
  endif()
endforeach()
if(NOT EXISTS "${REFERENCE}")
  message(FATAL_ERROR "${REFERENCE} is missing: build the notice target first")
endif()

string(REPLACE "|" ";" build_dirs "${BUILD_DIRS}")
file(SHA256 "${REFERENCE}" reference_hash)
set(report "${REFERENCE}\n    ${reference_hash}")
set(differ FALSE)
foreach(dir IN LISTS build_dirs)
  file(REMOVE_RECURSE "${dir}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${dir}" -G "${GENERATOR}"
                          -C "${CACHE_SCRIPT}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "configuring ${dir} failed:\n${out}")
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" --build "${dir}" --target notice --parallel
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "building ${dir} failed:\n${out}")
  endif()
  file(SHA256 "${dir}/notice.exe" hash)
  string(APPEND report "\n${dir}/notice.exe\n    ${hash}")
  if(NOT hash STREQUAL reference_hash)
    set(differ TRUE)
  endif()
endforeach()

if(differ)
  message(FATAL_ERROR "The builds of the same sources differ (cmp -l shows where):\n${report}")
endif()
message(STATUS "All builds are the same bytes:\n${report}")
