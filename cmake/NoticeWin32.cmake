# The Windows program: the Win32 layer, the resources and the executable.
enable_language(RC)

add_library(notice_win32_flags INTERFACE)
if(MSVC)
  # The manifest comes from the resource script, so the linker must not add one.
  target_link_options(notice_win32_flags INTERFACE /MANIFEST:NO /DYNAMICBASE /NXCOMPAT
                      $<$<EQUAL:${CMAKE_SIZEOF_VOID_P},4>:/SAFESEH>)
  target_compile_options(notice_win32_flags INTERFACE $<$<COMPILE_LANGUAGE:CXX>:/GS>)
else()
  target_compile_options(notice_win32_flags INTERFACE
    $<$<COMPILE_LANGUAGE:CXX>:-fstack-protector-strong -ffunction-sections -fdata-sections
      "-ffile-prefix-map=${CMAKE_SOURCE_DIR}=." "-ffile-prefix-map=${CMAKE_BINARY_DIR}=."
    >)
  target_link_options(notice_win32_flags INTERFACE
    -static -fstack-protector-strong -Wl,--gc-sections
    -Wl,--dynamicbase -Wl,--nxcompat -Wl,--no-insert-timestamp)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # This toolchain unwinds with DWARF tables and emits no SEH handlers.
    target_link_options(notice_win32_flags INTERFACE -Wl,--no-seh)
  else()
    target_link_options(notice_win32_flags INTERFACE -Wl,--high-entropy-va)
  endif()
endif()
target_compile_definitions(notice_win32_flags INTERFACE
  UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  # The resource script picks the manifest for the processor it is built for.
  target_compile_definitions(notice_win32_flags INTERFACE $<$<COMPILE_LANGUAGE:RC>:NOTICE_X64>)
endif()

# The Win32 layer: everything but the entry point, so that tests can create
# the window inside their own process.
add_library(notice_win32 STATIC
  app/notice_window.h
  app/notice_window.cpp
  app/notice_app.h
  app/notice_app.cpp
  app/unique_handle.h
  resources/resource_ids.h)
target_include_directories(notice_win32 PUBLIC app resources)
target_link_libraries(notice_flags INTERFACE notice_win32_flags)
target_link_libraries(notice_win32 PUBLIC notice_core)
# Code generation for what ships (and for the benchmark's floor, which must be
# built the same way): it throws nothing and asks nothing of RTTI; without
# thread-safe statics no guard code drags the C++ runtime's unwinder into the
# file, and code that nothing unwinds through needs no unwind tables.
# Optimising the whole program at link time keeps the file small; the
# objects keep plain code as well, for test programs linked without it.
function(notice_program_code target)
  if(MSVC)
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:/EHs-c- /GR->)
    return()
  endif()
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti -fno-threadsafe-statics
      -fno-asynchronous-unwind-tables -fno-unwind-tables>)
  set(lto $<$<CONFIG:Release,MinSizeRel>:-flto=auto -ffat-lto-objects>)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${lto}>)
  target_link_options(${target} PRIVATE ${lto})
endfunction()
notice_program_code(notice_win32)
notice_program_code(notice_core)

set(NOTICE_RESOURCE_FILES
  "${PROJECT_SOURCE_DIR}/resources/notice.rc"
  "${PROJECT_SOURCE_DIR}/resources/resource_ids.h")
set_source_files_properties("${PROJECT_SOURCE_DIR}/resources/notice.rc" PROPERTIES OBJECT_DEPENDS
  "${PROJECT_SOURCE_DIR}/resources/notice.manifest;${PROJECT_SOURCE_DIR}/resources/notice-x64.manifest;${PROJECT_SOURCE_DIR}/resources/notice.ico")

add_executable(notice WIN32 app/main.cpp ${NOTICE_RESOURCE_FILES})
target_link_libraries(notice PRIVATE notice_win32)
notice_program_code(notice)
if(NOT MSVC)
  target_link_options(notice PRIVATE -municode -s)
endif()
