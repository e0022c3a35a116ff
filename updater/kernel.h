#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/arg_value.h"
#include "runtime/calling_convention.h"

// The library commands the updater calls, through the libraries' command
// tables with the runtime's calling convention. Texts and byte sets the
// commands return are taken over and released here.
namespace updater::kernel {

// A value returned by a command, released when it goes.
class Owned {
 public:
  explicit Owned(rt::ArgValue value) : m_value(value) {}
  ~Owned();
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  const rt::ArgValue& value() const { return m_value; }
  std::string text() const;

 private:
  rt::ArgValue m_value;
};

std::string get_program_directory();
std::string read_config_item(const std::string& file, const std::string& section, const std::string& key,
                             const std::string* default_value);
bool write_config_item(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& value);
bool remove_file(const std::string& path);
std::string make_temp_file_name(const std::string& directory);
int32_t find_text(const std::string& text, const std::string& sought);
int32_t find_text_ignoring_case(const std::string& text, const std::string& sought);
std::vector<std::string> split_text(const std::string& text, const std::string& separator);
std::string to_upper(const std::string& text);
std::string number_to_formatted_text(double number, int32_t decimals);  // no thousands separators
bool make_directory(const std::string& path);
bool copy_file_to(const std::string& source, const std::string& target);  // overwrites
int32_t tick_count();
int32_t to_integer(const std::string& text);
int32_t show_message(const std::string& text, int32_t buttons, uint32_t parent_window, uint32_t parent_unit);

// ComputeMd5 of ReadFileBytes of the path: the digest of the file, or of
// nothing when it is missing or empty.
std::string file_digest(const std::string& path);
// FetchWebPage, then ToText: the body up to its first zero byte.
std::string fetch_text(const std::string& url);
// ToBytes of the text, written with WriteFileBytes.
bool write_text_file(const std::string& path, const std::string& text);
// ReadFileBytes, then ToText: the content up to its first zero byte.
std::string read_text_file(const std::string& path);

// StartThread with only the routine: no parameter, the handle is not kept.
using ThreadRoutine = uint32_t(RT_STDCALL*)(uint32_t parameter);
bool start_thread(ThreadRoutine routine);

// UnpackArchive with the ZIP unit (window id, unit id): 1 done, 0 failed,
// -1 no archive.
int32_t unpack_archive(uint32_t window_id, uint32_t unit_id, const std::string& archive, const std::string& target);

}  // namespace updater::kernel
