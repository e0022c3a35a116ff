#pragma once

#include <optional>
#include <string>
#include <string_view>

// Names of a task's target file. Paths are the program's: GBK, "\" between
// directories.
namespace downlib::engine {

// A name from outside (the server's Content-Disposition, or the URL) as a
// plain file name for the target directory: only the part after the last
// "/" or "\", characters Windows refuses in names (< > : " | ? * and
// control characters) written as "_", no leading or trailing spaces, no
// trailing dots, no device name (CON, NUL, COM1, ...) and no half
// double-byte character. Nothing when no name is left (".." for example).
std::optional<std::string> safe_file_name(std::string_view name);

// The name the URL path gives: its last "/"-separated part without query or
// fragment, percent-decoded.
std::string url_file_name(std::string_view path_part);

// The next automatic name for a path whose file exists: within the part
// after the last "\", the base is everything before the first "." and the
// extension everything from it. A base ending in a bracketed number of one
// or two digits counts on ("x(1).zip" -> "x(2).zip"); any other base gets
// "(1)" ("a.b.c" -> "a(1).b.c"). Nothing when the number would reach 100.
std::optional<std::string> next_numbered_path(std::string_view path);

}  // namespace downlib::engine
