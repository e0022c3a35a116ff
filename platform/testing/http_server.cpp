#include "platform/testing/http_server.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace test_support {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// Wine maps the whole Unix file system to drive Z:.
std::string program_path(std::string_view unix_path) {
  std::string path(unix_path);
#ifdef _WIN32
  for (char& c : path)
    if (c == '/') c = '\\';
  path.insert(0, "Z:");
#endif
  return path;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace

std::string HttpServer::url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port) + std::string(path);
}

std::string HttpServer::document_path(std::string_view relative) const {
  std::string path = directory + kSeparator + "root" + kSeparator + std::string(relative);
  for (size_t i = directory.size(); i < path.size(); ++i)
    if (path[i] == '/') path[i] = kSeparator;
  return path;
}

std::string HttpServer::read_document(std::string_view relative) const { return read_file(document_path(relative)); }

bool HttpServer::write_document(std::string_view relative, std::string_view content) const {
  std::ofstream out(document_path(relative), std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return static_cast<bool>(out);
}

std::string HttpServer::access_log() const {
  return read_file(directory + kSeparator + "logs" + kSeparator + "access.log");
}

HttpServer find_http_server() {
  HttpServer server;
  server.directory = program_path(UPDATER_HTTP_SERVER_DIR);
  const std::string port_file = server.directory + kSeparator + "port";
  const std::string text = read_file(port_file);
  const long port = text.empty() ? 0 : std::strtol(text.c_str(), nullptr, 10);
  if (port <= 0 || port > 65535) {
    server.problem = "no test HTTP server: " + port_file +
                     " is missing; run the tests through ctest, or scripts/test-http-server start " +
                     UPDATER_HTTP_SERVER_DIR;
    return server;
  }
  server.port = static_cast<uint16_t>(port);
  return server;
}

}  // namespace test_support
