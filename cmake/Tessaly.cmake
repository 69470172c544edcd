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

# tessaly_gui_program(name): a program that may load the Qt backend module.
# The module takes the window system's symbols from the program, so the
# program exports its symbols and links the platform libraries whole: every
# core symbol then exists, exactly once, whether the program uses it or not.
function(tessaly_gui_program name)
  set_target_properties(${name} PROPERTIES ENABLE_EXPORTS ON)
  target_link_options(${name} PRIVATE
    "LINKER:--whole-archive"
    "$<TARGET_FILE:ce_gui>" "$<TARGET_FILE:ce_device>" "$<TARGET_FILE:ce_core>"
    "LINKER:--no-whole-archive")
  target_link_libraries(${name} PRIVATE ce_gui ce_device ce_core)
  add_dependencies(${name} ce_gui ce_device ce_core)
  if(TESSALY_WITH_QT)
    add_dependencies(${name} tessaly-qt)
  endif()
endfunction()

# tessaly_test(name SOURCES a_test.cpp ... DEPS ... [LABELS ...] [ENVIRONMENT ...])
# One GoogleTest executable; each test case becomes a CTest test that runs
# with TZ=UTC and LC_ALL=C.UTF-8 and knows where the built tools are.
function(tessaly_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS;LABELS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} test_support GTest::gtest GTest::gtest_main)
  set(environment "TZ=UTC" "LC_ALL=C.UTF-8" "TESSALY_BIN_DIR=${PROJECT_BINARY_DIR}/bin"
                  ${ARG_ENVIRONMENT})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    TEST_LIST ${name}_TESTS
    PROPERTIES
      TIMEOUT ${ARG_TIMEOUT})
  # List-valued properties cannot pass through gtest_discover_tests: it
  # flattens them into its own argument list, so that only the first
  # variable would reach the tests. A file that CTest reads after the
  # discovered tests sets them on every one.
  set(settings "${CMAKE_CURRENT_BINARY_DIR}/${name}_settings.cmake")
  file(WRITE "${settings}"
    "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES\n"
    "    ENVIRONMENT [==[${environment}]==]\n"
    "    LABELS [==[${ARG_LABELS}]==])\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${settings}")
endfunction()

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
include(GoogleTest)

# The installed tree (cmake/Install.cmake): programs in bin/, the Qt module
# in lib/tessaly/, the help in share/tessaly/help/. The programs find the
# module and the help relative to their own folder, so the places are
# compiled in relative to bin/.
include(GNUInstallDirs)
set(TESSALY_INSTALL_MODULEDIR ${CMAKE_INSTALL_LIBDIR}/tessaly)
set(TESSALY_INSTALL_HELPDIR ${CMAKE_INSTALL_DATADIR}/tessaly/help)
file(RELATIVE_PATH TESSALY_MODULE_DIR_FROM_BIN /prefix/${CMAKE_INSTALL_BINDIR}
     /prefix/${TESSALY_INSTALL_MODULEDIR})
file(RELATIVE_PATH TESSALY_HELP_DIR_FROM_BIN /prefix/${CMAKE_INSTALL_BINDIR}
     /prefix/${TESSALY_INSTALL_HELPDIR})

# tessaly_embed_bitmaps(<output.cpp> FUNCTION <name> NAMESPACE <ns> HEADER <header> FILES <png>...
#                       [ICONS <png>...])
# writes a source whose function adds the PNG files to a resource module,
# each numbered by the number its file name starts with (ICONS as pictures of
# icons, sized by the number their name ends with).
function(tessaly_embed_bitmaps output)
  cmake_parse_arguments(EMBED "" "FUNCTION;NAMESPACE;HEADER" "FILES;ICONS" ${ARGN})
  list(TRANSFORM EMBED_FILES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ OUTPUT_VARIABLE paths)
  list(TRANSFORM EMBED_ICONS PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ OUTPUT_VARIABLE icons)
  string(REPLACE ";" "|" argument "${paths}")
  string(REPLACE ";" "|" icon_argument "${icons}")
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} "-DINPUTS=${argument}" "-DICONS=${icon_argument}"
            -DFUNCTION=${EMBED_FUNCTION} -DNAMESPACE=${EMBED_NAMESPACE} -DHEADER=${EMBED_HEADER}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedBitmaps.cmake
    DEPENDS ${paths} ${icons} ${PROJECT_SOURCE_DIR}/cmake/EmbedBitmaps.cmake
    COMMENT "Embedding bitmaps for ${EMBED_FUNCTION}"
    VERBATIM)
endfunction()
