#include "platform/testing/http_server.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/testing/server_folder.h"

namespace test_support {
std::string HttpServer::url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port) + std::string(path);
}

std::string HttpServer::document_path(std::string_view relative) const {
  return path_below(directory, "root/" + std::string(relative));
}

std::string HttpServer::read_document(std::string_view relative) const { return read_whole_file(document_path(relative)); }

bool HttpServer::write_document(std::string_view relative, std::string_view content) const {
  std::ofstream out(document_path(relative), std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return static_cast<bool>(out);
}

std::string HttpServer::access_log() const {
  return read_whole_file(directory + kPathSeparator + "logs" + kPathSeparator + "access.log");
}

HttpServer find_http_server() {
  HttpServer server;
  server.directory = server_folder(UPDATER_HTTP_SERVER_DIR);
  const std::string port_file = server.directory + kPathSeparator + "port";
  const uint16_t port = read_port_file(port_file);
  if (port == 0) {
    server.problem = "no test HTTP server: " + port_file +
                     " is missing; run the tests through ctest, or scripts/test-http-server start " +
                     UPDATER_HTTP_SERVER_DIR;
    return server;
  }
  server.port = port;
  return server;
}

}  // namespace test_support
