# The Linux program: the platform-neutral core with a GTK 3 layer.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GTK3 IMPORTED_TARGET gtk+-3.0)
if(NOT GTK3_FOUND)
  message(FATAL_ERROR "GTK 3 development files not found: install libgtk-3-dev "
                      "(tools/setup-debian does).")
endif()

# The icon travels inside the program: the same .ico the Windows build carries.
set(icon_header "${CMAKE_CURRENT_BINARY_DIR}/generated/notice_icon_ico.h")
add_custom_command(
  OUTPUT "${icon_header}"
  COMMAND ${CMAKE_COMMAND} -DINPUT=${PROJECT_SOURCE_DIR}/resources/notice.ico
          -DOUTPUT=${icon_header} -DNAME=kNoticeIco -P ${PROJECT_SOURCE_DIR}/cmake/EmbedBytes.cmake
  DEPENDS "${PROJECT_SOURCE_DIR}/resources/notice.ico" "${PROJECT_SOURCE_DIR}/cmake/EmbedBytes.cmake"
  COMMENT "Embedding the program icon"
  VERBATIM)

add_executable(notice
  app/gtk/main_linux.cpp
  app/gtk/notice_window_gtk.h
  app/gtk/notice_window_gtk.cpp
  "${icon_header}")
target_include_directories(notice PRIVATE app/gtk "${CMAKE_CURRENT_BINARY_DIR}/generated")
target_link_libraries(notice PRIVATE notice_core PkgConfig::GTK3)
# Only what is used is linked and loaded; the shipped file is stripped.
target_link_options(notice PRIVATE -Wl,--as-needed $<$<CONFIG:MinSizeRel,Release>:-s>)
