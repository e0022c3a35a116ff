#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The local nginx that the CTest fixture of cmake/http_server.cmake starts
// for this build tree (scripts/test-http-server): where it listens and where
// its files are. Windows builds running under Wine reach the files through
// the Z: drive.
namespace test_support {

struct HttpServer {
  uint16_t port = 0;      // 0 when no server runs
  std::string directory;  // the server's directory, as this program opens files
  std::string problem;    // why no server was found

  bool running() const { return port != 0; }
  // "http://127.0.0.1:PORT" + path.
  std::string url(std::string_view path) const;
  // A file under the document root, by its path relative to the root ("a/b.txt").
  std::string document_path(std::string_view relative) const;
  // The whole file; empty when it cannot be read.
  std::string read_document(std::string_view relative) const;
  // Writes a file under the document root for the server to serve.
  bool write_document(std::string_view relative, std::string_view content) const;
  std::string access_log() const;
};

// The server of this build tree; check running() (and report problem).
HttpServer find_http_server();

}  // namespace test_support
