#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The folder of a test server that a CTest fixture runs for this build tree
// (nginx, the scripted fault server, pyftpdlib), as a test program opens its
// files: ports, documents, logs.
namespace test_support {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The folder at `unix_path` as this program names it. Windows builds run
// under Wine, which maps the whole Unix file system to drive Z:.
std::string server_folder(std::string_view unix_path);

// `relative` ("/" between names) below `folder`, in this program's separators.
std::string path_below(const std::string& folder, std::string_view relative);

// The whole file; empty when it cannot be read.
std::string read_whole_file(const std::string& path);

// The number in a server's port file; 0 when it is missing or no port.
uint16_t read_port_file(const std::string& path);

}  // namespace test_support
