#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "archive/zip/zip_result.h"

// Paths of the unpacked files: program texts (GBK, "\" separators) in which
// a byte of value "\" may be the second byte of a two-byte character, so
// they are always walked character by character.
namespace archive::zip {

// The longest path a file or directory is created at, in bytes (the Win32
// limit of the calls the program was written against).
inline constexpr size_t kLongestPath = 259;

// The directory with one "\" at its end.
std::string with_separator(std::string_view directory);

// The target directory and the entry name joined by one "\", with every "/"
// of the name turned into "\".
std::string output_path(std::string_view target, std::string_view name);

// Whether an entry name, joined to the target directory, names a place
// inside it: not empty, not absolute (a "/" or "\" first, which covers
// "\\server\share", or a drive "C:"), and no component ".." (nor one of dots
// and blanks only that some systems read as "..") between either separator.
bool name_stays_inside(std::string_view name);

// Bytes after the last "\" of a path (all of them when there is none).
size_t last_component_length(std::string_view path);

// Creates a directory and every missing level above it: each prefix of the
// path that ends in "\" and does not exist is created, from the shortest.
// A level longer than kLongestPath fails.
ZipStatus create_directory_levels(std::string_view directory);

// Creates the missing directories between `base`, which exists and ends in
// "\", and the file `path` below it.
ZipStatus create_parent_directories(std::string_view base, std::string_view path);

}  // namespace archive::zip
