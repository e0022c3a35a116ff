#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Whole-file operations on program paths (GBK, "\" separators). On Windows
// they use the wide functions after converting the path with code page 936,
// so they reach the same files whatever the system's ANSI code page is.
namespace platform {

// The whole content; nothing when the file cannot be opened or read, or is
// too large for a byte set.
std::optional<std::string> read_whole_file(const std::string& path);

// Creates or truncates the file, opened without sharing so that nobody reads
// a half-written file, and writes the parts in order. False on any error; a
// file already created by then stays as it is.
bool write_whole_file(const std::string& path, const std::vector<std::string_view>& parts);

bool delete_file(const std::string& path);
// One level only: the parent must exist.
bool create_directory(const std::string& path);
// Overwrites an existing target.
bool copy_file(const std::string& source, const std::string& target);
// Whether a file or directory of that name exists.
bool path_exists(const std::string& path);
// Size of a file in bytes; nothing when it does not exist or is a directory.
std::optional<uint64_t> file_size(const std::string& path);
// Moves `source` to `target` in one step, replacing a file already there, so
// a reader finds either the old file or the whole new one. Both lie in the
// same directory. False (and nothing moved) on any error.
bool replace_file(const std::string& source, const std::string& target);

// The directory for temporary files, in the program's form, ending in "\".
std::string temp_directory();

// Removes a directory only when it is empty.
bool remove_empty_directory(const std::string& path);

// Adds the text at the end of the file, creating it when missing.
bool append_to_file(const std::string& path, std::string_view text);

}  // namespace platform
