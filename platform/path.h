#pragma once

#include <string>

// Paths in the program are GBK texts with "\" separators. Natively they are
// turned into the file system's form (UTF-8, "/") at the platform boundary,
// and names read from the file system are turned back.
namespace platform {

std::string native_path(const std::string& program_path);
std::string program_text(const std::string& native_name);

}  // namespace platform
