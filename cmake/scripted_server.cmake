# updater_use_scripted_server(<test target>)
#
# Lets the tests of <test target> (made with updater_test) play download
# fault scenarios against the scripted HTTP peer on 127.0.0.1
# (platform/testing/scripted_server/scripted_server.py): a CTest fixture
# starts it for this build tree before the first such test and stops it
# after the last, whatever the tests' outcome, and the tests find its port
# and control interface through platform/testing/scripted_server.h. Each
# build tree runs its own server on its own port, in <build>/scripted-server.
#
# The server serves the scenario files of the folders in UPDATER_SCENARIO_DIRS
# (the engine's fault scenarios, and the updater's package servers for its
# end-to-end and command-line tests), read afresh whenever a test resets a
# scenario. For an FTP scenario it hands out the plan with the port of the FTP
# server's variant and puts the body under that server's root
# (cmake/ftp_server.cmake); tests that play FTP scenarios use both servers.
set(UPDATER_SCRIPTED_SERVER_DIR "${CMAKE_BINARY_DIR}/scripted-server")
set(UPDATER_SCENARIO_DIRS
  "${PROJECT_SOURCE_DIR}/downlib/tests/scenarios"
  "${PROJECT_SOURCE_DIR}/updater/tests/scenarios")

function(updater_use_scripted_server target)
  set(script ${PROJECT_SOURCE_DIR}/platform/testing/scripted_server/scripted_server.py)
  set(scenario_args)
  foreach(scenario_dir IN LISTS UPDATER_SCENARIO_DIRS)
    list(APPEND scenario_args --scenarios ${scenario_dir})
  endforeach()
  set(sockets)
  if(WIN32)
    set(sockets ws2_32)
  endif()
  updater_use_test_server(${target} scripted_server
    CLIENT ${PROJECT_SOURCE_DIR}/platform/testing/scripted_server.cpp
    DEFINE UPDATER_SCRIPTED_SERVER_DIR="${UPDATER_SCRIPTED_SERVER_DIR}"
    LINK ${sockets}
    START ${UPDATER_PYTHON} -B ${script} start ${UPDATER_SCRIPTED_SERVER_DIR} ${scenario_args}
          --ftp-server ${UPDATER_FTP_SERVER_DIR}
    STOP ${UPDATER_PYTHON} -B ${script} stop ${UPDATER_SCRIPTED_SERVER_DIR})
endfunction()
