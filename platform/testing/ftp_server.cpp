#include "platform/testing/ftp_server.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#ifdef _WIN32
#include <direct.h>
#else
#include <sys/stat.h>
#endif

#include "platform/testing/server_folder.h"

namespace test_support {
namespace {

void make_directory(const std::string& path) {
#ifdef _WIN32
  _mkdir(path.c_str());
#else
  mkdir(path.c_str(), 0755);
#endif
}

std::string log_path(const std::string& directory) { return directory + kPathSeparator + "commands.log"; }

}  // namespace

uint16_t FtpServer::port(std::string_view variant) const {
  const auto it = ports.find(std::string(variant));
  return it == ports.end() ? 0 : it->second;
}

std::string FtpServer::url(std::string_view variant, std::string_view path, std::string_view user_info) const {
  std::string out = "ftp://";
  if (!user_info.empty()) out += std::string(user_info) + "@";
  return out + "127.0.0.1:" + std::to_string(port(variant)) + std::string(path);
}

std::string FtpServer::root_path(std::string_view relative) const {
  return path_below(directory, "root/" + std::string(relative));
}

bool FtpServer::write_file(std::string_view relative, std::string_view content) const {
  const std::string path = root_path(relative);
  for (size_t i = directory.size() + 1; i < path.size(); ++i)
    if (path[i] == kPathSeparator) make_directory(path.substr(0, i));
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return static_cast<bool>(out);
}

size_t FtpServer::log_size() const { return read_whole_file(log_path(directory)).size(); }

std::vector<FtpCommand> FtpServer::commands(size_t from) const {
  const std::string log = read_whole_file(log_path(directory));
  std::vector<FtpCommand> out;
  size_t start = std::min(from, log.size());
  for (size_t end; (end = log.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string_view line(log.data() + start, end - start);
    const size_t tab1 = line.find('\t');
    const size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos) continue;
    FtpCommand command;
    command.variant = std::string(line.substr(0, tab1));
    command.session = std::atoi(std::string(line.substr(tab1 + 1, tab2 - tab1 - 1)).c_str());
    command.line = std::string(line.substr(tab2 + 1));
    out.push_back(std::move(command));
  }
  return out;
}

std::vector<FtpCommand> FtpServer::sessions_naming(std::string_view needle, size_t from) const {
  const std::vector<FtpCommand> all = commands(from);
  std::set<int> sessions;
  for (const FtpCommand& c : all)
    if (c.line.find(needle) != std::string::npos) sessions.insert(c.session);
  std::vector<FtpCommand> out;
  for (const FtpCommand& c : all)
    if (sessions.count(c.session)) out.push_back(c);
  return out;
}

FtpServer find_ftp_server() {
  FtpServer server;
  server.directory = server_folder(UPDATER_FTP_SERVER_DIR);
  const std::string ports_file = server.directory + kPathSeparator + "ports";
  std::istringstream lines(read_whole_file(ports_file));
  std::string variant;
  long port = 0;
  while (lines >> variant >> port)
    if (port > 0 && port <= 65535) server.ports[variant] = static_cast<uint16_t>(port);
  if (server.ports.empty()) {
    server.problem = "no test FTP server: " + ports_file +
                     " is missing; run the tests through ctest, or /usr/bin/python3 "
                     "platform/testing/ftp_server/ftp_server.py start " +
                     UPDATER_FTP_SERVER_DIR;
  }
  return server;
}

std::string command_list(const std::vector<FtpCommand>& commands) {
  std::string out;
  for (const FtpCommand& c : commands)
    out += "    " + c.variant + " #" + std::to_string(c.session) + ": " + c.line + "\n";
  return out.empty() ? "    (none)\n" : out;
}

}  // namespace test_support
