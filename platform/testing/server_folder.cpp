#include "platform/testing/server_folder.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace test_support {

std::string server_folder(std::string_view unix_path) {
  std::string path(unix_path);
#ifdef _WIN32
  for (char& c : path)
    if (c == '/') c = '\\';
  path.insert(0, "Z:");
#endif
  return path;
}

std::string path_below(const std::string& folder, std::string_view relative) {
  std::string path = folder + kPathSeparator + std::string(relative);
  for (size_t i = folder.size(); i < path.size(); ++i)
    if (path[i] == '/') path[i] = kPathSeparator;
  return path;
}

std::string read_whole_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

uint16_t read_port_file(const std::string& path) {
  const std::string text = read_whole_file(path);
  const long port = text.empty() ? 0 : std::strtol(text.c_str(), nullptr, 10);
  return port > 0 && port <= 65535 ? static_cast<uint16_t>(port) : 0;
}

}  // namespace test_support
