# Installs the build into a fresh prefix, then builds and runs programs against what was
# installed: the consumer project through find_package(Corvane), consumer.c and consumer.cpp
# through the README's pkg-config lines, and the installed corvane tool, which must find the
# installed library by itself.
# cmake -DBUILD_DIR=... -DWORK_DIR=... -DSOURCE_DIR=... -DC_COMPILER=... -DCXX_COMPILER=...
#       -P run_consumer.cmake
foreach(variable BUILD_DIR WORK_DIR SOURCE_DIR C_COMPILER CXX_COMPILER)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "run_consumer.cmake needs -D${variable}=...")
  endif()
endforeach()

# Runs a command, failing on a status other than 0 or, with EXPECT "regex" first, on an output
# that does not match it; the output in OUTPUT.
function(run)
  cmake_parse_arguments(PARSE_ARGV 0 RUN "" EXPECT "")
  execute_process(COMMAND ${RUN_UNPARSED_ARGUMENTS} RESULT_VARIABLE status OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  string(REPLACE ";" " " command "${RUN_UNPARSED_ARGUMENTS}")
  if(NOT status EQUAL 0 OR (DEFINED RUN_EXPECT AND NOT out MATCHES "${RUN_EXPECT}"))
    message(FATAL_ERROR "failed (${status}): ${command}\n${out}\n${err}")
  endif()
  set(OUTPUT "${out}" PARENT_SCOPE)
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# find_package(Corvane): the shared and the static library, and the C++ interface.
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/consumer -B ${WORK_DIR}/build
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_C_COMPILER=${C_COMPILER}
    -DCMAKE_CXX_COMPILER=${CXX_COMPILER})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
foreach(program consumer_shared consumer_static)
  run(EXPECT "^ok\n$" ${WORK_DIR}/build/${program})
endforeach()
# consumer.cpp prints what it converted before its "ok".
set(cxx_ok "\nok\n$")
run(EXPECT "${cxx_ok}" ${WORK_DIR}/build/consumer_cxx)

# The package file is plain CMake written for this build: no placeholder and no condition left
# on a build option (an if(ON) where the option was substituted).
file(GLOB config_file ${prefix}/*/cmake/Corvane/CorvaneConfig.cmake
                      ${prefix}/*/*/cmake/Corvane/CorvaneConfig.cmake)
file(READ "${config_file}" config)
string(REGEX REPLACE "#[^\n]*" "" config_code "${config}")
if(config_code MATCHES "@[A-Za-z_]+@|if\\((ON|OFF|TRUE|FALSE|YES|NO|[01])\\)")
  message(FATAL_ERROR "${config_file} holds \"${CMAKE_MATCH_0}\":\n${config}")
endif()

# pkg-config: the README's own link lines, run by the shell as they stand, with consumer.c for
# app.c, and nothing but the prefix's pkgconfig folder to look in: one shared line, one static
# (--static). The shared program has to start without LD_LIBRARY_PATH (the run path the README
# gives); the static one without libcorvane.so at all (below, once the tool has run).
find_program(PKG_CONFIG pkg-config REQUIRED)
file(GLOB pc_file ${prefix}/*/pkgconfig/corvane.pc ${prefix}/*/*/pkgconfig/corvane.pc)
get_filename_component(pc_dir "${pc_file}" DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pc_dir})
unset(ENV{LD_LIBRARY_PATH})
file(STRINGS ${SOURCE_DIR}/README.md link_lines REGEX "^cc app\\.c ")
set(programs "")
foreach(line IN LISTS link_lines)
  set(program ${WORK_DIR}/consumer_pkgconfig_shared)
  if(line MATCHES "--static")
    set(program ${WORK_DIR}/consumer_pkgconfig_static)
  endif()
  string(REGEX REPLACE "^cc app\\.c"
         "'${C_COMPILER}' -o '${program}' '${SOURCE_DIR}/tests/consumer/consumer.c'" command
         "${line}")
  run(sh -c "${command}")
  run(EXPECT "^ok\n$" ${program})
  list(APPEND programs ${program})
endforeach()
list(SORT programs)
set(wanted ${WORK_DIR}/consumer_pkgconfig_shared ${WORK_DIR}/consumer_pkgconfig_static)
if(NOT programs STREQUAL wanted)
  message(FATAL_ERROR "README.md should give one shared and one static (--static) pkg-config "
                      "link line starting \"cc app.c \"; it gives:\n${link_lines}")
endif()

# The C++ interface: the README's one c++ line, with consumer.cpp for app.cpp. It names only
# corvane_cxx, so it also shows that the C++ library needs neither libcorvane nor Quillon.
file(STRINGS ${SOURCE_DIR}/README.md cxx_lines REGEX "^c\\+\\+ .*app\\.cpp ")
list(LENGTH cxx_lines cxx_line_count)
if(NOT cxx_line_count EQUAL 1)
  message(FATAL_ERROR "README.md should give one pkg-config line for C++ starting \"c++ \" with "
                      "app.cpp; it gives:\n${cxx_lines}")
endif()
set(cxx_program ${WORK_DIR}/consumer_pkgconfig_cxx)
string(REGEX REPLACE "^c\\+\\+ (.*)app\\.cpp"
       "'${CXX_COMPILER}' -o '${cxx_program}' \\1'${SOURCE_DIR}/tests/consumer/consumer.cpp'"
       command "${cxx_lines}")
run(sh -c "${command}")
run(EXPECT "${cxx_ok}" ${cxx_program})

# The installed tool, with no build tree in sight.
run(EXPECT "\tISO-2022-JP\t1.00\t1\n$" ${prefix}/bin/corvane detect
    ${SOURCE_DIR}/samples/mail.iso2022jp.eml)

# Both static programs, with the shared library gone from the prefix.
run(${PKG_CONFIG} --variable=libdir corvane)
string(STRIP "${OUTPUT}" libdir)
file(GLOB shared_libraries ${libdir}/libcorvane.so*)
if(NOT shared_libraries)
  message(FATAL_ERROR "no libcorvane.so in ${libdir}")
endif()
file(REMOVE ${shared_libraries})
foreach(program ${WORK_DIR}/build/consumer_static ${WORK_DIR}/consumer_pkgconfig_static)
  run(EXPECT "^ok\n$" ${program})
endforeach()
foreach(program ${WORK_DIR}/build/consumer_cxx ${cxx_program})
  run(EXPECT "${cxx_ok}" ${program})
endforeach()
message(STATUS "installed package: find_package, pkg-config and the tool work")
