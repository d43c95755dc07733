include(CMakePackageConfigHelpers)

install(FILES ${PROJECT_SOURCE_DIR}/include/RixDBGrids.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/rixdbgrids)
install(TARGETS RixDBGrids EXPORT RixDBGridsTargets)
install(EXPORT RixDBGridsTargets
  NAMESPACE RixDBGrids::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/RixDBGrids)

set(RIX_PKG_MODULES cairo pangocairo sqlite3 sdl2)
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
configure_file(${PROJECT_SOURCE_DIR}/cmake/rixdbgrids.pc.in ${PROJECT_BINARY_DIR}/rixdbgrids.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/rixdbgrids.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
