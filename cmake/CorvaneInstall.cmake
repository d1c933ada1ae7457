# What `cmake --install` puts in place: the shared and static libraries, the public header, the
# corvane tool, a CMake package (find_package(Corvane) gives Corvane::corvane and
# Corvane::corvane_static) and a pkg-config file for the shared library.
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

install(TARGETS corvane corvane_static quillon
        EXPORT CorvaneTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/corvane.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
if(TARGET corvane_tool)
  install(TARGETS corvane_tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(CORVANE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Corvane)
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

# The pkg-config file finds the prefix from its own place, so the tree can be installed anywhere
# (cmake --install --prefix) and moved.
file(RELATIVE_PATH CORVANE_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" CORVANE_PC_TO_PREFIX "${CORVANE_PC_TO_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/corvane.pc.in ${PROJECT_BINARY_DIR}/corvane.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/corvane.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
