# Runs every table generator into a scratch folder and compares what it writes with the committed
# files, so that a hand edit or a stale table fails the build's tests. The C++ interface's tables
# (standard_*) live in cxx/tables/, the detector's models (detect_*) in detect/models/, the C
# interface's in codepages/tables/.
file(GLOB generators ${SOURCE_DIR}/tools/gen_*.py)
# The generators import one another; a test leaves no __pycache__ in the source tree.
set(ENV{PYTHONDONTWRITEBYTECODE} 1)
if(NOT generators)
  message(FATAL_ERROR "no generators found under ${SOURCE_DIR}/tools")
endif()
foreach(generator IN LISTS generators)
  get_filename_component(name ${generator} NAME_WE)
  set(out ${WORK_DIR}/${name})
  file(REMOVE_RECURSE ${out})
  file(MAKE_DIRECTORY ${out})
  execute_process(COMMAND ${PYTHON} ${generator} --out ${out} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${name} refused to write its tables (exit ${rc})")
  endif()
  file(GLOB written RELATIVE ${out} ${out}/*)
  if(NOT written)
    message(FATAL_ERROR "${name} wrote nothing")
  endif()
  foreach(file IN LISTS written)
    set(committed codepages/tables/${file})
    if(file MATCHES "^standard_")
      set(committed cxx/tables/${file})
    elseif(file MATCHES "^detect_")
      set(committed detect/models/${file})
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${out}/${file}
                            ${SOURCE_DIR}/${committed}
                    RESULT_VARIABLE differ)
    if(NOT differ EQUAL 0)
      message(FATAL_ERROR "${committed} is not what ${name} writes now")
    endif()
  endforeach()
  message(STATUS "${name}: ${written} current")
endforeach()
