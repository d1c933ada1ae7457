# Installs the build into a fresh prefix, then builds and runs programs against what was
# installed: the consumer project through find_package(Corvane), consumer.c through
# pkg-config, and the installed corvane tool, which must find the installed library by itself.
# cmake -DBUILD_DIR=... -DWORK_DIR=... -DSOURCE_DIR=... -DC_COMPILER=... -P run_consumer.cmake
foreach(variable BUILD_DIR WORK_DIR SOURCE_DIR C_COMPILER)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "run_consumer.cmake needs -D${variable}=...")
  endif()
endforeach()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "failed (${status}): ${command}\n${out}\n${err}")
  endif()
  set(OUTPUT "${out}" PARENT_SCOPE)
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# find_package(Corvane): the shared and the static library.
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/consumer -B ${WORK_DIR}/build
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_C_COMPILER=${C_COMPILER})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
foreach(program consumer_shared consumer_static)
  run(${WORK_DIR}/build/${program})
  if(NOT OUTPUT STREQUAL "ok\n")
    message(FATAL_ERROR "${program} printed: ${OUTPUT}")
  endif()
endforeach()

# pkg-config: the compile line a Makefile would use.
find_program(PKG_CONFIG pkg-config REQUIRED)
file(GLOB pc_file ${prefix}/*/pkgconfig/corvane.pc ${prefix}/*/*/pkgconfig/corvane.pc)
get_filename_component(pc_dir "${pc_file}" DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pc_dir})
run(${PKG_CONFIG} --cflags --libs corvane)
separate_arguments(flags UNIX_COMMAND "${OUTPUT}")
run(${PKG_CONFIG} --variable=libdir corvane)
string(STRIP "${OUTPUT}" libdir)
run(${C_COMPILER} ${SOURCE_DIR}/tests/consumer/consumer.c ${flags} -Wl,-rpath,${libdir}
    -o ${WORK_DIR}/consumer_pkgconfig)
run(${WORK_DIR}/consumer_pkgconfig)
if(NOT OUTPUT STREQUAL "ok\n")
  message(FATAL_ERROR "consumer_pkgconfig printed: ${OUTPUT}")
endif()

# The installed tool, with no build tree in sight.
run(${prefix}/bin/corvane detect ${SOURCE_DIR}/samples/mail.iso2022jp.eml)
if(NOT OUTPUT MATCHES "\t2022\tiso-2022-jp\t1\n$")
  message(FATAL_ERROR "the installed corvane printed: ${OUTPUT}")
endif()
message(STATUS "installed package: find_package, pkg-config and the tool work")
