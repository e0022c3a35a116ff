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
