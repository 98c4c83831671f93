# cmake -DINPUT=file -DOUTPUT=header -DNAME=identifier -P EmbedBytes.cmake
#
# Writes a C++ header holding the bytes of INPUT as an array, so that the
# program carries the file in itself and reads nothing at run time.
foreach(var INPUT OUTPUT NAME)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "EmbedBytes.cmake needs -D${var}=...")
  endif()
endforeach()
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" length)
if(length EQUAL 0)
  message(FATAL_ERROR "${INPUT} is empty")
endif()
# 16 bytes a line.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
get_filename_component(source "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${source} by EmbedBytes.cmake: do not edit.\n"
  "#pragma once\n\n#include <cstdint>\n\n"
  "inline constexpr std::uint8_t ${NAME}[] = {\n    ${bytes}\n};\n")
# Only a changed header makes its users build again.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
