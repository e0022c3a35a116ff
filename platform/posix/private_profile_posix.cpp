#include "platform/file_io.h"
#include "platform/posix/ini_document.h"
#include "platform/gbk_cut.h"
#include "platform/private_profile.h"

// Our own reader and writer with the behaviour of the Win32 functions. The
// file is read afresh on every call, as Windows notices changes made by
// others. One difference remains: a file name without a directory is taken
// from the current directory, not from the Windows directory.
namespace platform {
namespace {

// Enclosing single or double quotes are dropped from what is read.
std::string without_quotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

}  // namespace

std::string read_profile_string(const std::string& file, const std::string& section, const std::string& key,
                                const std::string& default_value, uint32_t buffer_size) {
  if (buffer_size == 0) return {};
  std::optional<std::string> found;
  if (!key.empty()) {
    if (const auto content = read_whole_file(file)) found = IniDocument(*content).value(section, key);
  }
  std::string value;
  if (found) {
    value = *found;
  } else if (!key.empty()) {
    // Only trailing spaces leave the default, not other blanks.
    value = default_value;
    while (!value.empty() && value.back() == ' ') value.pop_back();
  }
  value = without_quotes(value);
  cut_gbk(value, buffer_size - 1);
  return value;
}

bool write_profile_string(const std::string& file, const std::string& section, const char* key, const char* value) {
  // Windows would put a key of a nameless section under the section before it.
  if (file.empty() || trim_profile_blanks(section).empty()) return false;
  const std::optional<std::string> content = read_whole_file(file);
  if (!content && path_exists(file)) return false;
  IniDocument document(content ? *content : std::string());
  bool changed;
  if (!key)
    changed = document.remove_section(section);
  else if (!value)
    changed = document.remove_key(section, key);
  else
    changed = document.set(section, key, value);
  return !changed || write_whole_file(file, {document.content()});
}

}  // namespace platform
