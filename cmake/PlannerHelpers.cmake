# Helpers that keep the per-folder build uniform: a folder's sources are globbed, so adding a file
# needs no edit here; CONFIGURE_DEPENDS makes the build notice new files.

# planner_library(<folder> [DEPENDS <lib>...] [EXCLUDE <source>...]): a static library of
# <folder>/*.cpp (less the sources another library of the folder builds), or nothing while the folder
# holds no sources yet.
function(planner_library folder)
  cmake_parse_arguments(ARG "" "" "DEPENDS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  if(ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${ARG_EXCLUDE})
  endif()
  if(NOT sources)
    return()
  endif()
  add_library(${folder} STATIC ${sources})
  target_include_directories(${folder} PUBLIC ${CMAKE_SOURCE_DIR})
  foreach(dep ${ARG_DEPENDS})
    if(TARGET ${dep})
      target_link_libraries(${folder} PUBLIC ${dep})
    endif()
  endforeach()
  if(COMMAND planner_${folder}_extras)
    cmake_language(CALL planner_${folder}_extras ${folder})
  endif()
endfunction()

# planner_resources(<target> <dir>): compiles every <dir>/*.res with rescomp into an object library.
# An object library keeps the registering initialisers from being dropped by the linker.
function(planner_resources target dir)
  file(GLOB scripts CONFIGURE_DEPENDS ${dir}/*.res)
  set(outputs)
  foreach(script ${scripts})
    get_filename_component(stem ${script} NAME)
    set(out ${CMAKE_BINARY_DIR}/generated/resources/${stem}.cpp)
    add_custom_command(
      OUTPUT ${out}
      COMMAND rescomp ${script} ${out} ${out}.d
      DEPENDS rescomp ${script}
      DEPFILE ${out}.d
      COMMENT "Compiling resources ${stem}"
      VERBATIM)
    list(APPEND outputs ${out})
  endforeach()
  if(NOT outputs)
    set(out ${CMAKE_BINARY_DIR}/generated/resources/empty.cpp)
    file(WRITE ${out} "// no resource scripts\n")
    list(APPEND outputs ${out})
  endif()
  add_library(${target} OBJECT ${outputs})
  target_link_libraries(${target} PUBLIC platform)
endfunction()

# planner_test_code(<target>): test sources build unoptimised in the debug configuration. The code
# under test keeps its -O1; the tests' own code is mostly assertion macros, which the optimiser and
# the sanitizers' instrumentation together make two to three times dearer to compile at -O1, for
# no check gained (the sanitizers check at least as much at -O0).
function(planner_test_code target)
  target_compile_options(${target} PRIVATE $<$<CONFIG:Debug>:-O0>)
endfunction()

# The test programs' common compile settings: the includes and definitions below, plus those of the
# libraries linked in by the caller.
function(planner_test_settings target)
  planner_test_code(${target})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${target} PRIVATE
    PLANNER_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    PLANNER_BINARY_DIR="${CMAKE_BINARY_DIR}")
endfunction()

# test_pch: gtest and gmock precompiled once, with the test programs' own settings, for every test
# program to reuse: parsing them was a sixth of what a test source cost to compile. ccache caches
# sources that use a precompiled header only with the sloppiness set here.
function(planner_test_pch)
  if(TARGET test_pch)
    return()
  endif()
  set(source ${CMAKE_BINARY_DIR}/generated/test_pch.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "// Owns the test programs' precompiled header.\n")
  add_library(test_pch OBJECT ${source})
  planner_test_settings(test_pch)
  # platform brings the definitions every test program gets through its libraries.
  target_link_libraries(test_pch PRIVATE GTest::gtest GTest::gmock platform)
  target_precompile_headers(test_pch PRIVATE <gtest/gtest.h> <gmock/gmock.h>)
  planner_pch_launcher(test_pch)
endfunction()

function(planner_pch_launcher target)
  if(CCACHE_PROGRAM)
    set_target_properties(${target} PROPERTIES CXX_COMPILER_LAUNCHER
      "env;CCACHE_SLOPPINESS=pch_defines,time_macros;${CCACHE_PROGRAM}")
  endif()
endfunction()

# The test support shared by the test binaries (tests/support/): the handle zone that a binary named in
# PLANNER_HANDLE_ZONE_TESTS runs every test in. An object library, so that the environment's
# registering initialiser is never dropped by the linker.
function(planner_test_support)
  if(TARGET test_handle_zone)
    return()
  endif()
  add_library(test_handle_zone OBJECT ${CMAKE_SOURCE_DIR}/tests/support/ZoneEnvironment.cpp)
  planner_test_code(test_handle_zone)
  target_include_directories(test_handle_zone PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(test_handle_zone PUBLIC GTest::gtest foundation)
endfunction()

# planner_tests(<folder>): tests/<folder>/*.cpp become <folder>_tests, registered with CTest.
function(planner_tests folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(name ${folder}_tests)
  add_executable(${name} ${sources})
  planner_test_settings(${name})
  planner_test_pch()
  target_precompile_headers(${name} REUSE_FROM test_pch)
  planner_pch_launcher(${name})
  set(libs GTest::gtest GTest::gmock GTest::gtest_main program_resources test_resources)
  if(TARGET ${folder})
    list(APPEND libs ${folder})
  endif()
  if(TARGET planner_${folder}_test_support)
    list(APPEND libs planner_${folder}_test_support)
  endif()
  if(folder IN_LIST PLANNER_HANDLE_ZONE_TESTS)
    planner_test_support()
    list(APPEND libs test_handle_zone)
  endif()
  target_link_libraries(${name} PRIVATE ${libs})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      TIMEOUT 600
      # One variable only: a list here would be split into separate properties. scripts/test sets
      # the sanitizers' other options for the whole run.
      ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp")
endfunction()

# Libraries the platform layer draws and decodes with.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(PLANNER_GFX REQUIRED IMPORTED_TARGET cairo fontconfig freetype2 libpng zlib)
# OpenGL through Mesa's off-screen contexts, GLU, and SDL2 for the interactive backend. OSMesa comes
# before GLU so that GLU's calls bind to the same OpenGL as ours. Xlib only for the X error handler
# the SDL backend installs on an X display.
pkg_check_modules(PLANNER_GL REQUIRED IMPORTED_TARGET osmesa glu sdl2 x11)
# HTTPS form posts of the platform layer (HttpsClient).
pkg_check_modules(PLANNER_NET REQUIRED IMPORTED_TARGET libcurl)
# Whole-buffer inflating of the pictures' image data (framework/PngLoader.cpp): libpng still reads
# every picture's header and decodes the unusual kinds with zlib.
pkg_check_modules(PLANNER_DEFLATE IMPORTED_TARGET libdeflate)
if(NOT PLANNER_DEFLATE_FOUND)
  message(FATAL_ERROR "libdeflate was not found through pkg-config: install libdeflate-dev (scripts/deps)")
endif()

# planner_platform_core(): the static library platform_core of the sources cmake/platform-core.txt
# names; sets PLATFORM_CORE_SOURCES in the caller for the rest of the layer to leave out.
function(planner_platform_core)
  set(list_file ${CMAKE_SOURCE_DIR}/cmake/platform-core.txt)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list_file})
  file(STRINGS ${list_file} stems REGEX "^[A-Za-z0-9_]+$")
  set(sources)
  foreach(stem ${stems})
    if(EXISTS ${CMAKE_SOURCE_DIR}/platform/${stem}.cpp)
      list(APPEND sources ${CMAKE_SOURCE_DIR}/platform/${stem}.cpp)
    endif()
  endforeach()
  add_library(platform_core STATIC ${sources})
  target_include_directories(platform_core PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(platform_core PUBLIC PkgConfig::PLANNER_GFX Threads::Threads)
  set(PLATFORM_CORE_SOURCES ${sources} PARENT_SCOPE)
  add_executable(platform_core_link_check ${CMAKE_SOURCE_DIR}/cmake/platform-core-link-check.cpp)
  target_link_libraries(platform_core_link_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,platform_core>")
endfunction()

function(planner_platform_extras target)
  target_link_libraries(${target} PUBLIC platform_core PkgConfig::PLANNER_GFX PkgConfig::PLANNER_GL
                        PkgConfig::PLANNER_NET Threads::Threads ${CMAKE_DL_LIBS})
endfunction()

function(planner_foundation_extras target)
  target_link_libraries(${target} PUBLIC Threads::Threads)
endfunction()

# planner_exchange_test_support(): the loopback HTTPS document server of the exchange tests
# (tests/support/), over cpp-httplib's TLS server and OpenSSL, which also makes its certificates.
function(planner_exchange_test_support)
  pkg_check_modules(PLANNER_TEST_HTTPS REQUIRED IMPORTED_TARGET cpp-httplib openssl)
  add_library(planner_exchange_test_support STATIC
    ${CMAKE_SOURCE_DIR}/tests/support/LoopbackDocumentServer.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/TestCertificates.cpp)
  planner_test_code(planner_exchange_test_support)
  target_include_directories(planner_exchange_test_support PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(planner_exchange_test_support PUBLIC PkgConfig::PLANNER_TEST_HTTPS Threads::Threads)
endfunction()

function(planner_framework_extras target)
  target_link_libraries(${target} PUBLIC PkgConfig::PLANNER_DEFLATE)
endfunction()
