# Shared helpers for the module CMakeLists files.

# Warnings every target of ours is built with.
function(trakomer_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
  if(TRAKOMER_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# trakomer_library(name SOURCES ... [DEPS ...]) : a static library whose
# public include root is the source tree, so headers are included as
# "core/track.h", "gps/nmea_parser.h", ...
function(trakomer_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  trakomer_warnings(${name})
endfunction()

# trakomer_test(name SOURCES ... [DEPS ...] [LABELS ...] [TIMEOUT s]) : one
# GoogleTest executable, its cases registered with CTest one by one.
function(trakomer_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS;LABELS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    TRAKOMER_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    TRAKOMER_BINARY_DIR="${CMAKE_BINARY_DIR}")
  trakomer_warnings(${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set(props TIMEOUT ${ARG_TIMEOUT})
  if(ARG_LABELS)
    list(APPEND props LABELS "${ARG_LABELS}")
  endif()
  # Every test runs with Mesa made deterministic: no on-disk shader cache
  # (its writer thread outlives the GL context, depends on the state of the
  # user's cache folder and crashes LeakSanitizer's exit-time tracer) and
  # llvmpipe without worker threads. The variables are set by running each
  # test through env(1): gtest_discover_tests flattens a list given to the
  # ENVIRONMENT property, keeping only its first entry.
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
    "/usr/bin/env;MESA_SHADER_CACHE_DISABLE=true;LP_NUM_THREADS=0;${ARG_ENV}")
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
endfunction()
