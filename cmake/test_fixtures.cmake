# updater_require_fixture(<test target> <fixture>)
#
# Makes every test of <test target> (made with updater_test) require the CTest
# fixture <fixture>, next to any fixtures required before. The tests are
# discovered only when ctest runs, so the property is set by a script that
# CTest includes after the discovery script of the same directory and that
# finds them in the list the discovery leaves in <target>_TESTS. CTest's
# scripts can only set a test property as a whole, so the one script per
# target names all of the target's fixtures at once.
function(updater_require_fixture target fixture)
  get_property(fixtures TARGET ${target} PROPERTY UPDATER_TEST_FIXTURES)
  if(fixture IN_LIST fixtures)
    return()
  endif()
  list(APPEND fixtures ${fixture})
  set_property(TARGET ${target} PROPERTY UPDATER_TEST_FIXTURES "${fixtures}")
  set(mark ${CMAKE_CURRENT_BINARY_DIR}/${target}_fixtures.cmake)
  file(WRITE ${mark}
    "if(${target}_TESTS)\n"
    "  set_tests_properties(\${${target}_TESTS} PROPERTIES FIXTURES_REQUIRED \"${fixtures}\")\n"
    "endif()\n")
  list(LENGTH fixtures count)
  if(count EQUAL 1)
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${mark})
  endif()
endfunction()

# updater_use_test_server(<test target> <server> CLIENT <source> DEFINE <macro>=<value>
#                         START <command>... STOP <command>... [LINK <library>...])
#
# Lets the tests of <test target> talk to a server that runs on 127.0.0.1 for
# this build tree. The client <source>, told where the server keeps its files
# through <macro>, is built once as <server>_testing and linked. When tests
# run, a CTest fixture named <server> runs START before the first test that
# needs it and STOP after the last, whatever the tests' outcome. Both are
# scripts, not our executables: CTest runs them directly, never through Wine.
function(updater_use_test_server target server)
  cmake_parse_arguments(S "" "CLIENT;DEFINE" "START;STOP;LINK" ${ARGN})
  if(NOT TARGET ${server}_testing)
    add_library(${server}_testing STATIC ${S_CLIENT})
    updater_target_options(${server}_testing)
    target_include_directories(${server}_testing PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_definitions(${server}_testing PRIVATE ${S_DEFINE})
    target_link_libraries(${server}_testing PUBLIC test_support ${S_LINK})
  endif()
  target_link_libraries(${target} PRIVATE ${server}_testing)
  if(NOT UPDATER_RUN_TESTS)
    return()
  endif()

  get_property(fixture_defined GLOBAL PROPERTY UPDATER_FIXTURE_${server})
  if(NOT fixture_defined)
    add_test(NAME ${server}_start COMMAND ${S_START})
    add_test(NAME ${server}_stop COMMAND ${S_STOP})
    set_tests_properties(${server}_start PROPERTIES FIXTURES_SETUP ${server} TIMEOUT 60)
    set_tests_properties(${server}_stop PROPERTIES FIXTURES_CLEANUP ${server} TIMEOUT 60)
    set_property(GLOBAL PROPERTY UPDATER_FIXTURE_${server} ON)
  endif()
  updater_require_fixture(${target} ${server})
endfunction()
