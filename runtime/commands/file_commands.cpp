// File and directory commands. Paths are program texts; the platform layer
// turns them into what the file system takes (platform/file_io.h).
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "platform/path.h"
#include "runtime/commands/command_args.h"
#include "runtime/commands/command_functions.h"
#include "runtime/commands/gbk_text.h"
#include "runtime/commands/temp_file_name.h"
#include "runtime/system_function.h"

namespace rt::commands {
namespace {

std::string path_argument(const Args& a, int32_t i) { return std::string(a.text(i)); }

// Whether the last character is a backslash; the trail byte of a two-byte
// character may have the same value without being one.
bool ends_with_separator(std::string_view path) {
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < path.size(); i = next_character(path, i)) last = i;
  return last != std::string_view::npos && path.substr(last) == "\\";
}

}  // namespace

void RemoveFile(ArgValue* result, int32_t count, ArgValue* args) {
  set_bool(result, platform::delete_file(path_argument(Args(count, args), 0)));
}

void ReadFileBytes(ArgValue* result, int32_t count, ArgValue* args) {
  const std::string path = path_argument(Args(count, args), 0);
  const auto content = path.empty() ? std::nullopt : platform::read_whole_file(path);
  if (!content) return set_bytes(result, nullptr, 0);
  set_bytes(result, content->data(), static_cast<uint32_t>(content->size()));
}

void WriteFileBytes(ArgValue* result, int32_t count, ArgValue* args) {
  const Args a(count, args);
  const std::string path = path_argument(a, 0);
  if (path.empty()) return set_bool(result, false);
  std::vector<std::string_view> parts;
  for (int32_t i = 1; i < a.count(); ++i)
    if (const BytesView bytes = a.bytes(i); bytes.size > 0) parts.push_back(bytes.as_text_view());
  set_bool(result, platform::write_whole_file(path, parts));
}

// The runtime keeps the directory as the file system spells it; natively
// that is UTF-8 with "/", which the program gets in its own form.
void GetProgramDirectory(ArgValue* result, int32_t, ArgValue*) {
  const auto* directory =
      reinterpret_cast<const char*>(static_cast<intptr_t>(system_function(sysfn::kProgramDirectory, 0, 0)));
  set_text(result, directory ? platform::program_path(directory) : std::string());
}

void MakeTempFileName(ArgValue* result, int32_t count, ArgValue* args) {
  const Args a(count, args);
  std::string directory = a.given(0) ? path_argument(a, 0) : platform::temp_directory();
  if (!ends_with_separator(directory)) directory += '\\';
  set_text(result, make_temp_file_name(directory));
}

void MakeDirectory(ArgValue* result, int32_t count, ArgValue* args) {
  set_bool(result, platform::create_directory(path_argument(Args(count, args), 0)));
}

void CopyFileTo(ArgValue* result, int32_t count, ArgValue* args) {
  const Args a(count, args);
  set_bool(result, platform::copy_file(path_argument(a, 0), path_argument(a, 1)));
}

}  // namespace rt::commands
