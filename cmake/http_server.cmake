# updater_use_http_server(<test target>)
#
# Lets the tests of <test target> (made with updater_test) talk to a real
# nginx on 127.0.0.1, started by scripts/test-http-server for this build tree
# in <build>/http-server on a port of its own. The tests find the port and the
# files through platform/testing/http_server.h.
set(UPDATER_HTTP_SERVER_DIR "${CMAKE_BINARY_DIR}/http-server")

function(updater_use_http_server target)
  set(script ${PROJECT_SOURCE_DIR}/scripts/test-http-server)
  updater_use_test_server(${target} http_server
    CLIENT ${PROJECT_SOURCE_DIR}/platform/testing/http_server.cpp
    DEFINE UPDATER_HTTP_SERVER_DIR="${UPDATER_HTTP_SERVER_DIR}"
    START ${script} start ${UPDATER_HTTP_SERVER_DIR}
    STOP ${script} stop ${UPDATER_HTTP_SERVER_DIR})
endfunction()
