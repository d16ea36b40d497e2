# Writes a C++ source that holds every function and numeric constant that the subset's
# <windows.h> declares up against whatever <windows.h> it is compiled with: each
# function's exact type (calling convention included) and each constant's value. Built
# with MinGW against the real header, a declaration that differs fails to compile.
#
# cmake -DHEADER=<subset windows.h> -DOUT=<generated .cpp> -P generate_api_check.cmake
file(READ ${HEADER} text)
string(REGEX REPLACE "\\\\\n" " " text "${text}")
string(REGEX REPLACE "\n[ \t]+" " " text "${text}")
string(REPLACE ";" "<semicolon>" text "${text}")
string(REPLACE "\n" ";" lines "${text}")

set(functions "")
set(constants "")
set(names "")
foreach(line IN LISTS lines)
  string(REPLACE "<semicolon>" ";" line "${line}")
  if(line MATCHES "^VK_W32_API (.+) WINAPI ([A-Za-z0-9_]+)\\((.*)\\);")
    set(ret "${CMAKE_MATCH_1}")
    set(name "${CMAKE_MATCH_2}")
    set(params "${CMAKE_MATCH_3}")
    string(APPEND functions
      "static_assert(std::is_same<decltype(&${name}), ${ret} (WINAPI *)(${params})>::value,\n"
      "              \"${name}: the declaration differs from <windows.h>\");\n")
    string(APPEND names "    reinterpret_cast<const void *>(&${name}),\n")
  elseif(line MATCHES "^#define ([A-Z][A-Z0-9_]*) (\\(?(\\(DWORD\\))?-?(0x[0-9A-Fa-f]+|[0-9]+)L?\\)?)[ \t]*(//.*)?$")
    set(name "${CMAKE_MATCH_1}")
    set(value "${CMAKE_MATCH_2}")
    string(APPEND constants
      "static_assert((long long)(${name}) == (long long)${value}, \"${name} differs from <windows.h>\");\n")
  elseif(line MATCHES "^#define ([A-Z][a-z][A-Za-z]*) ([A-Za-z]+A)$")
    # The ANSI names that <windows.h> maps without UNICODE.
    string(APPEND names "    reinterpret_cast<const void *>(&${CMAKE_MATCH_1}),\n")
  endif()
endforeach()

file(WRITE ${OUT}.tmp
  "// Generated from the subset's windows.h; do not edit.\n"
  "#include <windows.h>\n\n#include <type_traits>\n\n"
  "${functions}\n${constants}\n"
  "// Every function is also referenced, so the link needs each one to exist.\n"
  "extern const void *const kEveryFunction[] = {\n${names}};\n"
  "extern const unsigned kFunctionCount = sizeof kEveryFunction / sizeof kEveryFunction[0];\n")
configure_file(${OUT}.tmp ${OUT} COPYONLY)
