# 64-bit Windows: the same sources as the 32-bit DLL, built so that the tests can run under the
# 64-bit Wine (Debian's wine64). CTest starts every test program through
# CMAKE_CROSSCOMPILING_EMULATOR; tests/CMakeLists.txt gives each run a private Wine prefix in the
# build folder.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CORVANE_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
corvane_use_wine(64)
