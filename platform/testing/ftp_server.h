#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// The local pyftpdlib server that the CTest fixture of cmake/ftp_server.cmake
// starts for this build tree (platform/testing/ftp_server/ftp_server.py):
// the port of each variant, its files, and the commands it received.
// Windows builds running under Wine reach its folder through the Z: drive.
namespace test_support {

// One command line as the server received it.
struct FtpCommand {
  std::string variant;
  int session = 0;
  std::string line;  // the bytes sent, without CR LF
};

struct FtpServer {
  std::map<std::string, uint16_t> ports;  // variant -> port; empty when no server runs
  std::string directory;                  // the server's folder, as this program opens files
  std::string problem;                    // why no server was found

  bool running() const { return !ports.empty(); }
  // The variant's port; 0 when it has none.
  uint16_t port(std::string_view variant) const;
  // "ftp://[user_info@]127.0.0.1:PORT" + path.
  std::string url(std::string_view variant, std::string_view path, std::string_view user_info = {}) const;
  // A file under the served root, by its path relative to the root ("a/b.zip").
  std::string root_path(std::string_view relative) const;
  // Writes a file (and its folders) under the root for the server to serve.
  bool write_file(std::string_view relative, std::string_view content) const;

  // Every command received so far; `from` (an earlier size of the log, see
  // log_size) skips what came before it.
  std::vector<FtpCommand> commands(size_t from = 0) const;
  size_t log_size() const;
  // The commands of every session that sent a command containing `needle`
  // (a path only this test uses), in the order they arrived.
  std::vector<FtpCommand> sessions_naming(std::string_view needle, size_t from = 0) const;
};

// The server of this build tree; check running() (and report problem).
FtpServer find_ftp_server();

// The command lines alone, one per line, for failure messages.
std::string command_list(const std::vector<FtpCommand>& commands);

}  // namespace test_support
