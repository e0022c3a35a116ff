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
  set(script ${PROJECT_SOURCE_DIR}/platform/testing/ftp_server/ftp_server.py)
  updater_use_test_server(${target} ftp_server
    CLIENT ${PROJECT_SOURCE_DIR}/platform/testing/ftp_server.cpp
    DEFINE UPDATER_FTP_SERVER_DIR="${UPDATER_FTP_SERVER_DIR}"
    START ${UPDATER_FTP_PYTHON} -B ${script} start ${UPDATER_FTP_SERVER_DIR}
    STOP ${UPDATER_FTP_PYTHON} -B ${script} stop ${UPDATER_FTP_SERVER_DIR})
endfunction()
