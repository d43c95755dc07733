include(CMakePackageConfigHelpers)

# A sanitized build's static libraries need the sanitizer runtimes in every
# program that links them; the installed package says so itself.
set(RIX_PC_LINK_FLAGS "")
if(RIX_SANITIZE)
  target_link_options(RixDBGrids INTERFACE -fsanitize=address,undefined)
  set(RIX_PC_LINK_FLAGS " -fsanitize=address,undefined")
endif()

install(FILES ${PROJECT_SOURCE_DIR}/include/RixDBGrids.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/rixdbgrids)
install(TARGETS RixDBGrids EXPORT RixDBGridsTargets)
install(EXPORT RixDBGridsTargets
  NAMESPACE RixDBGrids::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/RixDBGrids)

set(RIX_PKG_MODULES cairo pangocairo pixman-1 sqlite3 libpq sdl2 x11)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/RixDBGridsConfig.cmake.in
  ${PROJECT_BINARY_DIR}/RixDBGridsConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/RixDBGrids)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/RixDBGridsConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/RixDBGridsConfig.cmake
  ${PROJECT_BINARY_DIR}/RixDBGridsConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/RixDBGrids)

# pkg-config: the libraries are static, so their order (dependants first) and
# the system packages they use are part of the link line.
get_property(_libs GLOBAL PROPERTY RIX_LIBRARIES)
set(RIX_PC_LIBS "")
foreach(_l rix_design rix_grid rix_resources rix_messages rix_drawing rix_hosts rix_controls rix_data rix_graphics rix_streaming rix_core)
  if(_l IN_LIST _libs)
    get_target_property(_type ${_l} TYPE)
    if(NOT _type STREQUAL "INTERFACE_LIBRARY")
      string(APPEND RIX_PC_LIBS " -l${_l}")
    endif()
  endif()
endforeach()
string(REPLACE ";" " " RIX_PC_REQUIRES "${RIX_PKG_MODULES}")
# The prefix is found from the .pc file's own place, so `cmake --install
# --prefix P` gives a working file wherever P is.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(RIX_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  string(REGEX REPLACE "[^/]+" ".." _up "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
  set(RIX_PC_PREFIX "\${pcfiledir}/${_up}")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/rixdbgrids.pc.in ${PROJECT_BINARY_DIR}/rixdbgrids.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/rixdbgrids.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The install check: install into a scratch prefix and build a separate
# project against it (find_package and pkg-config).
if(RIX_TESTS)
  add_test(NAME InstallAndConsume
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${PROJECT_BINARY_DIR} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
      -DWORK_DIR=${PROJECT_BINARY_DIR}/install-check -DCXX=${CMAKE_CXX_COMPILER}
      -P ${PROJECT_SOURCE_DIR}/tests/install/check.cmake)
  set_tests_properties(InstallAndConsume PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE)
endif()
