# Shared build settings and the helpers every folder uses.

add_compile_options(-Wall -Wextra)
if(TESSALY_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# tessaly_library(name SOURCES a.cpp ... [PUBLIC_DEPS ...] [PRIVATE_DEPS ...])
function(tessaly_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# tessaly_test(name SOURCES a_test.cpp ... DEPS ... [LABELS ...])
# One GoogleTest executable; each test case becomes a CTest test that runs
# with TZ=UTC and LC_ALL=C.UTF-8 and knows where the built tools are.
function(tessaly_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} test_support GTest::gtest GTest::gtest_main)
  # Tests run the palm-size edition's shell.
  set_target_properties(${name} PROPERTIES TESSALY_SHELL shell_palm)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      ENVIRONMENT "TZ=UTC;LC_ALL=C.UTF-8;TESSALY_BIN_DIR=${PROJECT_BINARY_DIR}/bin"
      TIMEOUT ${ARG_TIMEOUT}
      LABELS "${ARG_LABELS}")
endfunction()

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
include(GoogleTest)
