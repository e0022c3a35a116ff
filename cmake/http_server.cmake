# updater_use_http_server(<test target>)
#
# Lets the tests of <test target> (made with updater_test) talk to a real
# nginx on 127.0.0.1: a CTest fixture starts scripts/test-http-server for
# this build tree before the first such test and stops it after the last,
# whatever the tests' outcome, and the tests find the port and the files
# through platform/testing/http_server.h. Each build tree runs its own server
# on its own port, in <build>/http-server.
set(UPDATER_HTTP_SERVER_DIR "${CMAKE_BINARY_DIR}/http-server")

function(updater_use_http_server target)
  if(NOT TARGET http_server_testing)
    add_library(http_server_testing STATIC ${PROJECT_SOURCE_DIR}/platform/testing/http_server.cpp)
    updater_target_options(http_server_testing)
    target_include_directories(http_server_testing PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_definitions(http_server_testing PRIVATE UPDATER_HTTP_SERVER_DIR="${UPDATER_HTTP_SERVER_DIR}")
  endif()
  target_link_libraries(${target} PRIVATE http_server_testing)
  if(NOT UPDATER_RUN_TESTS)
    return()
  endif()

  # Scripts, not our executables: CTest runs them directly, never through Wine.
  get_property(fixture_defined GLOBAL PROPERTY UPDATER_HTTP_SERVER_FIXTURE)
  if(NOT fixture_defined)
    set(script ${PROJECT_SOURCE_DIR}/scripts/test-http-server)
    add_test(NAME http_server_start COMMAND ${script} start ${UPDATER_HTTP_SERVER_DIR})
    add_test(NAME http_server_stop COMMAND ${script} stop ${UPDATER_HTTP_SERVER_DIR})
    set_tests_properties(http_server_start PROPERTIES FIXTURES_SETUP http_server TIMEOUT 60)
    set_tests_properties(http_server_stop PROPERTIES FIXTURES_CLEANUP http_server TIMEOUT 60)
    set_property(GLOBAL PROPERTY UPDATER_HTTP_SERVER_FIXTURE ON)
  endif()

  updater_require_fixture(${target} http_server)
endfunction()
