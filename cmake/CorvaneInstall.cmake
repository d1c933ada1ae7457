# What `cmake --install` puts in place: the shared and static libraries, the C++ interface's
# static library, the public headers, the corvane tool, a CMake package (find_package(Corvane)
# gives Corvane::corvane, Corvane::corvane_static and Corvane::corvane_cxx) and pkg-config files
# for all three (corvane, corvane-static, corvane-cxx).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

if(NOT WIN32)
  set_target_properties(corvane PROPERTIES VERSION ${PROJECT_VERSION}
                                           SOVERSION ${PROJECT_VERSION_MAJOR})
endif()

# The static library keeps Quillon (w_strlen) in a library of its own, as in the build; the
# package links it, and fontconfig where the library was built with it, for the user.
if(CORVANE_WITH_FONTCONFIG)
  target_link_libraries(corvane_static PUBLIC $<INSTALL_INTERFACE:Fontconfig::Fontconfig>)
endif()

# corvane_cxx carries its C++20 requirement (a compile feature) and the include folder into the
# package, so a project that links Corvane::corvane_cxx compiles corvane.hpp as C++20 by itself.
install(TARGETS corvane corvane_static quillon corvane_cxx
        EXPORT CorvaneTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/corvane.h ${PROJECT_SOURCE_DIR}/include/corvane.hpp
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
if(TARGET corvane_tool)
  install(TARGETS corvane_tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(CORVANE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Corvane)
# What the package looks for is written out for this build, so that the installed file holds no
# condition on a build option.
if(CORVANE_WITH_FONTCONFIG)
  set(CORVANE_PACKAGE_DEPENDENCIES [[
# Only the static library needs fontconfig; a program that links the shared one does not, so it
# is looked for quietly and missed only by a program that links Corvane::corvane_static.
find_package(Fontconfig QUIET)
]])
else()
  set(CORVANE_PACKAGE_DEPENDENCIES "")
endif()
install(EXPORT CorvaneTargets NAMESPACE Corvane:: DESTINATION ${CORVANE_PACKAGE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/CorvaneConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/CorvaneConfig.cmake
                              INSTALL_DESTINATION ${CORVANE_PACKAGE_DIR})
# Before 1.0 a minor version may change the interface.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/CorvaneConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/CorvaneConfig.cmake
              ${PROJECT_BINARY_DIR}/CorvaneConfigVersion.cmake
        DESTINATION ${CORVANE_PACKAGE_DIR})

# The pkg-config files find the prefix from their own place, so the tree can be installed
# anywhere (cmake --install --prefix) and moved. corvane is the shared library; corvane-static
# the static one, a name of its own because its archive is not libcorvane.a and its link line
# differs (docs/building.md, Installing); corvane-cxx the C++ interface, which needs neither.
file(RELATIVE_PATH CORVANE_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" CORVANE_PC_TO_PREFIX "${CORVANE_PC_TO_PREFIX}")
set(CORVANE_PC_STATIC_REQUIRES "")
set(CORVANE_PC_STATIC_SYSTEM_LIBS "")
if(CORVANE_WITH_FONTCONFIG)
  set(CORVANE_PC_STATIC_REQUIRES fontconfig)
endif()
if(WIN32)
  set(CORVANE_PC_STATIC_SYSTEM_LIBS " -luser32 -lgdi32")
endif()
foreach(pc corvane corvane-static corvane-cxx)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/${pc}.pc.in ${PROJECT_BINARY_DIR}/${pc}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()
