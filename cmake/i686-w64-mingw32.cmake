# 32-bit Windows, the library's own platform: builds corvane.dll for x86. CTest starts every test
# program through the 32-bit Wine (Debian's wine32:i386, which tools/install_deps.sh windows
# installs), in a 32-bit Wine prefix of its own in the build folder. Where no 32-bit Wine starts
# (not installed, or a kernel that runs no 32-bit programs), the windows-i686 preset checks the
# DLL's tables without running anything.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CORVANE_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
# Every x86 processor that a supported 32-bit Windows runs on has SSE2 (Windows 8 and later
# require it), so the DLL takes the SSE2 UTF-8 kernels, as the 64-bit build does by default
# (both take the AVX2 ones where the processor has AVX2).
set(CMAKE_C_FLAGS_INIT "-msse2")
set(CMAKE_CXX_FLAGS_INIT "-msse2")
corvane_use_wine(32)
