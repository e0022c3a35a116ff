# updater_use_ftp_server(<test target>)
#
# Lets the tests of <test target> (made with updater_test) talk to a real
# FTP server on 127.0.0.1: pyftpdlib with its variants
# (platform/testing/ftp_server/ftp_server.py), run by /usr/bin/python3, for
# which Debian installs python3-pyftpdlib. A CTest fixture starts it for this
# build tree before the first such test and stops it after the last,
# whatever the tests' outcome, and the tests find its ports, files and
# command log through platform/testing/ftp_server.h. Each build tree runs its
# own server on its own ports, in <build>/ftp-server.
set(UPDATER_FTP_SERVER_DIR "${CMAKE_BINARY_DIR}/ftp-server")
set(UPDATER_FTP_PYTHON /usr/bin/python3 CACHE FILEPATH "The Python that has Debian's python3-pyftpdlib")

function(updater_use_ftp_server target)
  if(NOT TARGET ftp_server_testing)
    add_library(ftp_server_testing STATIC ${PROJECT_SOURCE_DIR}/platform/testing/ftp_server.cpp)
    updater_target_options(ftp_server_testing)
    target_include_directories(ftp_server_testing PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_definitions(ftp_server_testing PRIVATE UPDATER_FTP_SERVER_DIR="${UPDATER_FTP_SERVER_DIR}")
  endif()
  target_link_libraries(${target} PRIVATE ftp_server_testing)
  if(NOT UPDATER_RUN_TESTS)
    return()
  endif()

  # A Python script, not one of our executables: CTest runs it directly, never through Wine.
  get_property(fixture_defined GLOBAL PROPERTY UPDATER_FTP_SERVER_FIXTURE)
  if(NOT fixture_defined)
    set(script ${PROJECT_SOURCE_DIR}/platform/testing/ftp_server/ftp_server.py)
    add_test(NAME ftp_server_start COMMAND ${UPDATER_FTP_PYTHON} -B ${script} start ${UPDATER_FTP_SERVER_DIR})
    add_test(NAME ftp_server_stop COMMAND ${UPDATER_FTP_PYTHON} -B ${script} stop ${UPDATER_FTP_SERVER_DIR})
    set_tests_properties(ftp_server_start PROPERTIES FIXTURES_SETUP ftp_server TIMEOUT 60)
    set_tests_properties(ftp_server_stop PROPERTIES FIXTURES_CLEANUP ftp_server TIMEOUT 60)
    set_property(GLOBAL PROPERTY UPDATER_FTP_SERVER_FIXTURE ON)
  endif()

  updater_require_fixture(${target} ftp_server)
endfunction()
