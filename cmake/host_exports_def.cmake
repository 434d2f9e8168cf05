# host_exports_def.cmake - writes the module-definition file of the host's
# names from interface/host_api.h, so that the list cannot drift from the
# header: every variable and function declared there, variables marked DATA.
# The same file makes the import library that pelk1.dll links against and
# the export table of the stand-in VARNOKII.exe.
#
#   cmake -DHEADER=interface/host_api.h -DOUTPUT=VARNOKII.def -P host_exports_def.cmake
#
# Every variable must carry PELK_HOST_DATA, the mark that lets the Windows
# module import data from an executable; a variable without it stops here.
cmake_minimum_required(VERSION 3.22)
if(NOT HEADER OR NOT OUTPUT)
  message(FATAL_ERROR "usage: cmake -DHEADER=host_api.h -DOUTPUT=file.def -P host_exports_def.cmake")
endif()

# ---- 1. The declarations alone: no comments, no preprocessor lines ----------
file(READ "${HEADER}" text)
string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" " " text "${text}")
string(REGEX REPLACE "//[^\n]*" " " text "${text}")
string(REGEX REPLACE "(^|\n)[ \t]*#[^\n]*" "\n" text "${text}")
string(REPLACE "extern \"C\" {" " " text "${text}")
string(REGEX REPLACE "[\n\t ]+" " " text "${text}")
# Square brackets would group list items: keep them out of the way.
string(REGEX REPLACE "\\[[^]]*\\]" "" text "${text}")

# ---- 2. One name per declaration ------------------------------------------
set(identifier "[A-Za-z_][A-Za-z0-9_]*")
set(lines "")
string(REGEX MATCHALL "[^;]+;" statements "${text}")
foreach(statement IN LISTS statements)
  string(REGEX REPLACE "[{};]" "" statement "${statement}")
  string(STRIP "${statement}" statement)
  if(statement STREQUAL "" OR statement MATCHES "^(typedef|struct|enum|union) ")
    continue()
  endif()
  if(statement MATCHES "^extern ")
    if(statement MATCHES "\\(\\* *(${identifier}) *\\)")
      set(name ${CMAKE_MATCH_1})          # a hook: pointer to a function
    elseif(statement MATCHES "(${identifier}) *$")
      set(name ${CMAKE_MATCH_1})
    else()
      message(FATAL_ERROR "${HEADER}: cannot read the variable of \"${statement}\"")
    endif()
    if(NOT statement MATCHES "^extern PELK_HOST_DATA ")
      message(FATAL_ERROR "${HEADER}: the host variable ${name} is declared without PELK_HOST_DATA, "
                          "so the Windows module could not import it")
    endif()
    string(APPEND lines "    ${name} DATA\n")
  elseif(statement MATCHES "(${identifier}) *\\(")
    string(APPEND lines "    ${CMAKE_MATCH_1}\n")
  else()
    message(FATAL_ERROR "${HEADER}: cannot read the declaration \"${statement}\"")
  endif()
endforeach()

# ---- 3. The module-definition file ----------------------------------------
get_filename_component(header_name "${HEADER}" NAME)
set(content "; The host's names, as VARNOKII.exe exports them and pelk1.dll imports them.\n")
string(APPEND content "; Made from ${header_name} by host_exports_def.cmake: do not edit.\n")
string(APPEND content "EXPORTS\n${lines}")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
  if(old STREQUAL content)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${content}")
