#include "archive/zip/archive_path.h"

#include <algorithm>

#include "platform/file_attributes.h"
#include "platform/file_io.h"
#include "platform/gbk_cut.h"

namespace archive::zip {
namespace {

using platform::next_gbk_character;

bool is_separator(char c) { return c == '\\' || c == '/'; }

// Dots and blanks only, at least two dots: "..", "...", ". .". Windows drops
// trailing dots and blanks from names, so these are never plain names.
bool is_parent_reference(std::string_view component) {
  const bool dots_and_blanks =
      std::all_of(component.begin(), component.end(), [](char c) { return c == '.' || c == ' '; });
  return dots_and_blanks && std::count(component.begin(), component.end(), '.') >= 2;
}

// Creates each missing prefix of `path` that ends in "\" and is longer than
// `known` bytes.
ZipStatus create_levels(std::string_view path, size_t known) {
  for (size_t i = 0; i < path.size(); i = next_gbk_character(path, i)) {
    if (path[i] != '\\' || i + 1 <= known) continue;
    const std::string prefix(path.substr(0, i + 1));
    if (platform::file_attributes(prefix)) continue;
    if (prefix.size() > kLongestPath) return ZipError::PathTooLong;
    if (!platform::create_directory(prefix)) return ZipError::CreateFailed;
  }
  return done();
}

// "\\server\share\" exists or not as a whole; its shorter prefixes are no
// directories to create.
size_t network_share_length(std::string_view path) {
  if (path.substr(0, 2) != "\\\\") return 0;
  int separators = 2;
  for (size_t i = 2; i < path.size(); i = next_gbk_character(path, i))
    if (path[i] == '\\' && ++separators == 4) return i + 1;
  return path.size();
}

}  // namespace

std::string with_separator(std::string_view directory) {
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < directory.size(); i = next_gbk_character(directory, i)) last = i;
  std::string result(directory);
  if (last == std::string_view::npos || directory.substr(last) != "\\") result += '\\';
  return result;
}

std::string output_path(std::string_view target, std::string_view name) {
  std::string path = with_separator(target);
  const size_t start = path.size();
  path += name;
  // "/" is never the second byte of a two-byte character.
  std::replace(path.begin() + static_cast<std::ptrdiff_t>(start), path.end(), '/', '\\');
  return path;
}

bool name_stays_inside(std::string_view name) {
  if (name.empty() || is_separator(name[0])) return false;
  if (name.size() >= 2 && name[1] == ':') return false;
  size_t component_start = 0;
  for (size_t i = 0;; i = next_gbk_character(name, i)) {
    if (i >= name.size() || is_separator(name[i])) {
      if (is_parent_reference(name.substr(component_start, i - component_start))) return false;
      if (i >= name.size()) return true;
      component_start = i + 1;
    }
  }
}

size_t last_component_length(std::string_view path) {
  size_t after_separator = 0;
  for (size_t i = 0; i < path.size(); i = next_gbk_character(path, i))
    if (path[i] == '\\') after_separator = i + 1;
  return path.size() - after_separator;
}

ZipStatus create_directory_levels(std::string_view directory) {
  const std::string path = with_separator(directory);
  return create_levels(path, network_share_length(path));
}

ZipStatus create_parent_directories(std::string_view base, std::string_view path) {
  return create_levels(path, base.size());
}

}  // namespace archive::zip
