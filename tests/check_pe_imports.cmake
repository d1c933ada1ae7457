# Fails unless every given Windows program or DLL imports only from Windows' own system DLLs (and
# from corvane.dll itself): no libstdc++-6.dll, libgcc_s_*.dll or libwinpthread-1.dll, which a
# machine without MinGW lacks. CMakeLists.txt links the MinGW runtime statically for that.
# Run by CTest with -DOBJDUMP=<triple>-objdump "-DFILES=a.dll;b.exe".
cmake_policy(VERSION 3.25)
set(allowed kernel32.dll user32.dll gdi32.dll msvcrt.dll advapi32.dll corvane.dll)
foreach(file IN LISTS FILES)
  execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p failed on ${file}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${listing}")
  set(names "")
  foreach(import IN LISTS imports)
    string(REGEX REPLACE "^DLL Name: " "" dll "${import}")
    string(TOLOWER "${dll}" dll)
    list(APPEND names ${dll})
    if(NOT dll IN_LIST allowed)
      message(FATAL_ERROR "${file} imports from ${dll}, which is not a Windows system DLL")
    endif()
  endforeach()
  get_filename_component(shown ${file} NAME)
  message(STATUS "${shown} imports: ${names}")
endforeach()
