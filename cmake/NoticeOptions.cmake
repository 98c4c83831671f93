# The two values of the notice that are chosen at build time, their checks,
# and the generated header that carries them into the program.
#
# The defaults are placeholders that reach nobody: an address under the
# reserved example.com domain and an account number that no service issues
# (accounts never start with 0).

set(NOTICE_URL_MAX_LENGTH 200)
set(NOTICE_ACCOUNT_MAX_LENGTH 15)

# Sets OUT to an error message naming the option, or to "" when VALUE is allowed.
function(notice_option_error OUT option value)
  string(LENGTH "${value}" length)
  if(option STREQUAL "NOTICE_DOWNLOAD_URL")
    set(rule "must start with https://, have at least one character after it, be at most ${NOTICE_URL_MAX_LENGTH} characters long and hold only printable ASCII without spaces, quotes (\" ' `) or backslashes")
    string(SUBSTRING "${value}" 0 8 scheme)
    if(NOT scheme STREQUAL "https://" OR length LESS 9 OR length GREATER NOTICE_URL_MAX_LENGTH)
      set(${OUT} "${option} ${rule}" PARENT_SCOPE)
      return()
    endif()
    # Check byte by byte: printable ASCII is 0x21..0x7E; of those, the quotes
    # 0x22 0x27 0x60 and the backslash 0x5C are refused.
    string(HEX "${value}" hex)
    string(LENGTH "${hex}" hex_length)
    math(EXPR last "${hex_length} - 2")
    foreach(at RANGE 0 ${last} 2)
      string(SUBSTRING "${hex}" ${at} 2 byte)
      math(EXPR code "0x${byte}")
      if(code LESS 33 OR code GREATER 126 OR code EQUAL 34 OR code EQUAL 39 OR code EQUAL 92
         OR code EQUAL 96)
        set(${OUT} "${option} ${rule}" PARENT_SCOPE)
        return()
      endif()
    endforeach()
  elseif(option STREQUAL "NOTICE_ACCOUNT")
    if(NOT value MATCHES "^[0-9]+$" OR length GREATER NOTICE_ACCOUNT_MAX_LENGTH)
      set(${OUT} "${option} must be 1 to ${NOTICE_ACCOUNT_MAX_LENGTH} digits (0-9) and nothing else"
          PARENT_SCOPE)
      return()
    endif()
  else()
    message(FATAL_ERROR "unknown notice option ${option}")
  endif()
  set(${OUT} "" PARENT_SCOPE)
endfunction()

# Sets OUT to VALUE as a C initialiser of byte values ending in 0, so that
# no character of the value can ever act as C++ syntax.
function(notice_c_bytes OUT value)
  string(HEX "${value}" hex)
  string(REGEX REPLACE "(..)" "0x\\1, " bytes "${hex}")
  set(${OUT} "${bytes}0" PARENT_SCOPE)
endfunction()

function(notice_write_options_header path url account)
  notice_option_error(url_error NOTICE_DOWNLOAD_URL "${url}")
  notice_option_error(account_error NOTICE_ACCOUNT "${account}")
  foreach(error IN ITEMS "${url_error}" "${account_error}")
    if(error)
      message(FATAL_ERROR "${error}.")
    endif()
  endforeach()
  notice_c_bytes(url_bytes "${url}")
  notice_c_bytes(account_bytes "${account}")
  file(CONFIGURE OUTPUT "${path}" CONTENT [=[
// Generated at configure time from NOTICE_DOWNLOAD_URL and NOTICE_ACCOUNT.
#pragma once

namespace notice {
inline constexpr char kNoticeDownloadUrl[] = {@url_bytes@};
inline constexpr char kNoticeAccount[] = {@account_bytes@};
}  // namespace notice
]=] @ONLY)
endfunction()
