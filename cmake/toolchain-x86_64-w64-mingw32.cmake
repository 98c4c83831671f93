# The same program for x86-64 Windows. It is not shipped: it lets the tests
# drive the real program under 64-bit Wine on hosts whose kernel cannot run
# 32-bit code (and so cannot run 32-bit Wine).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(NOTICE_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
