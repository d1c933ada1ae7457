# Shared part of the MinGW-w64 toolchain files: cross-compiling for Windows with Debian's
# MinGW-w64 compilers (packages g++-mingw-w64-i686 and g++-mingw-w64-x86-64). The including file
# sets CORVANE_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first.
#
# The "-posix" flavour of the compilers is used: its C++ runtime has std::thread (through
# winpthreads), which the tests use; the library itself starts no threads. CMakeLists.txt links
# that runtime statically, so no MinGW DLL is needed at run time.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${CORVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CORVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CORVANE_MINGW_TRIPLE}-windres)
# Named outright: CMake cannot derive the binutils' prefix from a compiler name that ends in
# "-posix".
set(CMAKE_AR ${CORVANE_MINGW_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${CORVANE_MINGW_TRIPLE}-ranlib CACHE FILEPATH "")
set(CMAKE_NM ${CORVANE_MINGW_TRIPLE}-nm CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${CORVANE_MINGW_TRIPLE}-objdump CACHE FILEPATH "")

# Libraries and headers of the target only; programs (Python, Wine) of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${CORVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Finds the Wine loader that runs this build's programs (BITS 32 or 64) and makes it
# CMAKE_CROSSCOMPILING_EMULATOR, but only when it starts on this machine; otherwise
# CORVANE_WINE_MISSING says why, and the test programs are built but not run. The loader is
# taken by name, not through Debian's `wine`, a wrapper that hands every program to the 32-bit
# loader once wine32 is installed, even where that cannot start: Debian keeps the loaders in
# /usr/lib/wine (`wine64`, and `wine` from wine32:i386); elsewhere they are on the PATH. A 32-bit
# loader has to be a 32-bit program itself: a `wine` that is a script or a 64-bit program does
# not run 32-bit Windows programs. Not cached, so that a Wine installed later is seen.
macro(corvane_use_wine BITS)
  unset(CORVANE_WINE_MISSING)
  if(${BITS} EQUAL 64)
    find_program(CORVANE_WINE_LOADER NAMES wine64 wine HINTS /usr/lib/wine NO_CACHE)
  else()
    find_program(CORVANE_WINE_LOADER NAMES wine HINTS /usr/lib/wine NO_CACHE)
  endif()
  if(NOT CORVANE_WINE_LOADER)
    set(CORVANE_WINE_MISSING "no Wine found (tools/install_deps.sh windows installs it)")
  elseif(${BITS} EQUAL 32)
    file(READ ${CORVANE_WINE_LOADER} corvane_elf_header LIMIT 5 HEX)
    if(NOT corvane_elf_header STREQUAL "7f454c4601")  # ELF, 32-bit
      set(CORVANE_WINE_MISSING "no 32-bit Wine found (Debian's wine32:i386)")
    endif()
  endif()
  if(NOT DEFINED CORVANE_WINE_MISSING)
    execute_process(COMMAND ${CORVANE_WINE_LOADER} --version RESULT_VARIABLE corvane_wine_status
                    OUTPUT_QUIET ERROR_QUIET)
    if(NOT corvane_wine_status EQUAL 0)
      set(CORVANE_WINE_MISSING
          "${CORVANE_WINE_LOADER} does not start here (${corvane_wine_status})")
      if(${BITS} EQUAL 32)
        string(APPEND CORVANE_WINE_MISSING
               ": a kernel with IA-32 emulation off runs no 32-bit program")
      endif()
    endif()
  endif()
  if(NOT DEFINED CORVANE_WINE_MISSING)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CORVANE_WINE_LOADER})
  endif()
endmacro()
