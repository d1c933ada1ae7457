# Fails unless the Windows DLL's export table is exactly the CV_ functions of
# expected_exports.txt: by name, undecorated, with the ordinals 1 to 11 in the order of that file
# (alphabetical), every ordinal named, and nothing else. Then checks that each export is the cdecl
# function of its name: the DLL's symbol table has it as SYMBOL_PREFIX + name (a leading
# underscore on 32-bit x86, where stdcall would add "@N"; no decoration on x64) at the exported
# address. Run by CTest with
#   -DOBJDUMP=<triple>-objdump -DNM=<triple>-nm -DLIBRARY=corvane.dll -DSYMBOL_PREFIX=_ or empty
cmake_policy(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p failed on ${LIBRARY}")
endif()
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/expected_exports.txt expected)
list(LENGTH expected expectedCount)

# The sections of objdump's listing that matter, in the order objdump prints them:
#   ImageBase            67d40000
#   Ordinal Base         1
#   Export Address Table -- Ordinal Base 1
#           [   0] +base[   1] 4130 Export RVA
#   [Ordinal/Name Pointer] Table
#           [   0] CV_CodePageIDToName          (the number is the ordinal less the base)
# Square brackets would hold CMake's list items together, so they become angle brackets first.
string(REPLACE "[" "<" listing "${listing}")
string(REPLACE "]" ">" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(imageBase "")
set(ordinalBase "")
set(section "")
set(addresses "")  # "<ordinal>=<rva>" per exported address
set(names "")      # "<ordinal>=<name>" per exported name
foreach(line IN LISTS lines)
  if(line MATCHES "^ImageBase[ \t]+([0-9a-fA-F]+)$")
    set(imageBase "0x${CMAKE_MATCH_1}")
  elseif(line MATCHES "^Ordinal Base[ \t]+([0-9]+)$")
    set(ordinalBase "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^Export Address Table -- ")
    set(section addresses)
  elseif(line MATCHES "^<Ordinal/Name Pointer> Table")
    set(section names)
  elseif(line MATCHES "^[ \t]*$")
    set(section "")
  elseif(section STREQUAL "addresses" AND line MATCHES "\\+base< *([0-9]+)> ([0-9a-fA-F]+) ")
    list(APPEND addresses "${CMAKE_MATCH_1}=0x${CMAKE_MATCH_2}")
  elseif(section STREQUAL "names" AND line MATCHES "^[ \t]*< *([0-9]+)> (.+)$")
    math(EXPR ordinal "${CMAKE_MATCH_1} + ${ordinalBase}")
    list(APPEND names "${ordinal}=${CMAKE_MATCH_2}")
  endif()
endforeach()

set(wanted "")
set(ordinal 0)
foreach(name IN LISTS expected)
  math(EXPR ordinal "${ordinal} + 1")
  list(APPEND wanted "${ordinal}=${name}")
endforeach()
list(SORT names COMPARE NATURAL)
if(NOT ordinalBase STREQUAL "1" OR NOT names STREQUAL wanted)
  message(FATAL_ERROR "export table differs\n  ordinal base: ${ordinalBase} (expected 1)\n"
                      "  expected: ${wanted}\n  found:    ${names}")
endif()
list(LENGTH addresses addressCount)
if(NOT addressCount EQUAL expectedCount)
  message(FATAL_ERROR "${addressCount} exported addresses for ${expectedCount} names: an export "
                      "by ordinal only, or a gap in the ordinals\n  ${addresses}")
endif()

# Each exported address is the plain cdecl function of the export's name.
execute_process(COMMAND ${NM} ${LIBRARY} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR imageBase STREQUAL "")
  message(FATAL_ERROR "${NM} found no symbol table in ${LIBRARY} (or objdump no image base)")
endif()
foreach(entry IN LISTS names)
  string(REGEX MATCH "^([0-9]+)=(.+)$" _ "${entry}")
  set(ordinal ${CMAKE_MATCH_1})
  set(name ${CMAKE_MATCH_2})
  set(rva "")
  foreach(address IN LISTS addresses)
    if(address MATCHES "^${ordinal}=(.+)$")
      set(rva ${CMAKE_MATCH_1})
    endif()
  endforeach()
  math(EXPR va "${imageBase} + ${rva}" OUTPUT_FORMAT HEXADECIMAL)
  string(REGEX REPLACE "^0x" "" va "${va}")
  string(TOLOWER "${va}" va)
  if(NOT symbols MATCHES "(^|\n)0*${va} [Tt] ${SYMBOL_PREFIX}${name}\n")
    message(FATAL_ERROR "export ${name} (ordinal ${ordinal}, address ${va}) is not the cdecl "
                        "function ${SYMBOL_PREFIX}${name}")
  endif()
  if(symbols MATCHES "[ _@]${name}@[0-9]+\n")
    message(FATAL_ERROR "${name} is also defined with a stdcall or fastcall decoration")
  endif()
endforeach()
message(STATUS "exports: ${names}")
