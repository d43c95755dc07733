# Shared settings for every target of the project.

set(RIX_WARNINGS -Wall -Wextra -Wpedantic -Wno-unused-parameter)
# A warning in the project's own code fails the build; third-party headers
# come in as system headers and stay out of it.
# GCC 12 warns wrongly (-Wrestrict) about "literal" + std::string at -O3,
# inside libstdc++'s own inline code (GCC bugs 105329 and 105651).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND RIX_WARNINGS -Wno-restrict)
endif()
# A component is freed through its class's destroying operator delete, which
# runs the removal notifications before the destructor. GCC's new/delete
# pairing check does not know destroying deletes and reports every delete of
# a component made with a plain new once it inlines across them.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND RIX_WARNINGS -Wno-mismatched-new-delete)
endif()
option(RIX_WERROR "Treat warnings in the project's own code as errors" ON)
if(RIX_WERROR)
  list(APPEND RIX_WARNINGS -Werror)
endif()

if(RIX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(RIX_FUZZ)
  add_compile_options(-fsanitize=address,undefined,fuzzer-no-link -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

set_property(GLOBAL PROPERTY RIX_LIBRARIES "")

# rix_library(NAME [DEPS lib...] [PKG pkg-config-module...])
# One library per source folder. Sources and public headers are picked up from
# the folder itself (*.cpp, *.h); a folder without sources yet is an interface
# library, so the build never depends on how far a folder has grown.
function(rix_library NAME)
  cmake_parse_arguments(ARG "" "" "DEPS;PKG;SOURCES_GLOB" ${ARGN})
  file(GLOB_RECURSE _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB_RECURSE _hdrs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(_srcs)
    add_library(${NAME} STATIC ${_srcs} ${_hdrs})
    set(_scope PUBLIC)
    target_compile_options(${NAME} PRIVATE ${RIX_WARNINGS})
    set_target_properties(${NAME} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  else()
    add_library(${NAME} INTERFACE)
    set(_scope INTERFACE)
  endif()
  target_include_directories(${NAME} ${_scope}
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/rixdbgrids>)
  if(ARG_DEPS)
    target_link_libraries(${NAME} ${_scope} ${ARG_DEPS})
  endif()
  foreach(_pkg ${ARG_PKG})
    string(MAKE_C_IDENTIFIER "RIXPKG_${_pkg}" _var)
    if(NOT TARGET PkgConfig::${_var})
      pkg_check_modules(${_var} REQUIRED IMPORTED_TARGET GLOBAL ${_pkg})
    endif()
    target_link_libraries(${NAME} ${_scope} PkgConfig::${_var})
  endforeach()
  # Headers are installed with their folder layout under include/rixdbgrids.
  file(RELATIVE_PATH _rel ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  foreach(_h ${_hdrs})
    file(RELATIVE_PATH _hrel ${CMAKE_CURRENT_SOURCE_DIR} ${_h})
    get_filename_component(_hdir ${_hrel} DIRECTORY)
    install(FILES ${_h} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/rixdbgrids/${_rel}/${_hdir})
  endforeach()
  install(TARGETS ${NAME} EXPORT RixDBGridsTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  set_property(GLOBAL APPEND PROPERTY RIX_LIBRARIES ${NAME})
endfunction()

# rix_test(NAME [DEPS lib...]): one GoogleTest executable for a test folder.
function(rix_test NAME)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT _srcs)
    return()
  endif()
  add_executable(${NAME} ${_srcs})
  target_compile_options(${NAME} PRIVATE ${RIX_WARNINGS})
  target_link_libraries(${NAME} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_include_directories(${NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # The tree locations as macros: gtest_discover_tests cannot pass a list of
  # environment variables (the ';' splits the property list).
  target_compile_definitions(${NAME} PRIVATE RIX_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    RIX_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${NAME} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "RIX_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
