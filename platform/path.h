#pragma once

#include <string>

// Paths in the program are GBK texts with "\" separators. Natively they are
// turned into the file system's form (UTF-8, "/") at the platform boundary,
// and names read from the file system are turned back.
namespace platform {

std::string native_path(const std::string& program_path);
std::string program_text(const std::string& native_name);
// A whole path of the file system in the program's form (GBK, "\").
std::string program_path(const std::string& native);

#ifdef _WIN32
// The UTF-16 form of a GBK text for the wide Win32 functions, converted with
// code page 936 whatever the system's ANSI code page is, and back.
std::wstring wide_path(const std::string& program_path);
std::string gbk_from_wide(const std::wstring& wide);
#endif

}  // namespace platform
