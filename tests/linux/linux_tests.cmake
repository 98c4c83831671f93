# Tests of the real Linux program, each in a private Xvfb (tools/x-session),
# with openbox where a check needs a window manager and a private D-Bus
# session for the accessibility interface.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

add_executable(notice_print_text linux/print_notice.cpp)
target_link_libraries(notice_print_text PRIVATE notice_core)
add_library(notice_no_cp936 MODULE linux/no_cp936.cpp)
target_link_libraries(notice_no_cp936 PRIVATE ${CMAKE_DL_LIBS})

set(linux_session "${PROJECT_SOURCE_DIR}/tools/x-session")
set(linux_test_env
  "NOTICE_PROGRAM=$<TARGET_FILE:notice>"
  "NOTICE_TEXT_TOOL=$<TARGET_FILE:notice_print_text>"
  "NOTICE_NO_CP936=$<TARGET_FILE:notice_no_cp936>"
  "NOTICE_ICON=${PROJECT_SOURCE_DIR}/resources/notice.ico"
  "PYTHONPATH=${CMAKE_CURRENT_SOURCE_DIR}/linux"
  "PYTHONDONTWRITEBYTECODE=1"
  # GTK's own input method, whatever the machine has installed; English
  # labels in the context menu; UTF-8 for typing Chinese.
  "GTK_IM_MODULE=gtk-im-context-simple"
  "LC_ALL=C.UTF-8")

# Each row: test name, session options, unittest names.
set(linux_test_rows
  "window|--wm --bus --screen 1024x768|test_window.Look test_window.Text test_window.Keys test_window.Closing test_window.Start"
  "window_without_wm|--bus --screen 1024x768|test_window.Look test_window.Text test_window.Closing"
  "geometry.1024x768|--wm --bus --screen 1024x768|test_window.Geometry"
  "geometry.1025x769|--wm --bus --screen 1025x769|test_window.Geometry"
  # openbox keeps a window's frame on the screen: the narrow screens show
  # the program's own placement without a window manager.
  "geometry.300x400|--bus --screen 300x400|test_window.Geometry"
  "geometry.301x400|--bus --screen 301x400|test_window.Geometry")
foreach(row IN LISTS linux_test_rows)
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 name)
  list(GET fields 1 options)
  list(GET fields 2 cases)
  separate_arguments(options)
  separate_arguments(cases)
  add_test(NAME linux.${name}
    COMMAND ${linux_session} ${options} --timeout 600 --
            env ${linux_test_env} /usr/bin/python3 -m unittest -v ${cases}
    WORKING_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}/linux")
  set_tests_properties(linux.${name} PROPERTIES TIMEOUT 700 LABELS linux)
endforeach()

# Nothing written: private HOME and XDG folders, no D-Bus session and so no
# accessibility bus; strace flags write-type calls, and the shared temporary
# folders are compared before and after (tests/linux/no_writes.py).
add_test(NAME linux.no_writes
  COMMAND ${linux_session} --wm --timeout 300 --
          env ${linux_test_env} /usr/bin/python3 no_writes.py
  WORKING_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}/linux")
set_tests_properties(linux.no_writes PROPERTIES TIMEOUT 400 LABELS linux)
