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
