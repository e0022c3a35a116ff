// INI-file commands over the platform's private-profile functions.
#include <string>

#include "platform/private_profile.h"
#include "runtime/commands/command_args.h"
#include "runtime/commands/command_functions.h"

namespace rt::commands {
namespace {

// Values are read into a buffer of this many bytes, so at most 10,239 come back.
constexpr uint32_t kValueBufferSize = 10240;

std::string without_leading_blanks(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
  return std::string(text);
}

}  // namespace

void ReadConfigItem(ArgValue* result, int32_t count, ArgValue* args) {
  const Args a(count, args);
  const std::string file = without_leading_blanks(a.text(0));
  const std::string section = without_leading_blanks(a.text(1));
  const std::string key = without_leading_blanks(a.text(2));
  // An empty name would make the platform list sections or keys instead.
  if (file.empty() || section.empty() || key.empty()) return set_text(result, {});
  const std::string default_value(a.given(3) ? a.text(3) : std::string_view());
  set_text(result, platform::read_profile_string(file, section, key, default_value, kValueBufferSize));
}

void WriteConfigItem(ArgValue* result, int32_t count, ArgValue* args) {
  const Args a(count, args);
  const std::string file(a.text(0));
  const std::string section(a.text(1));
  const std::string key(a.text(2));
  const std::string value(a.text(3));
  set_bool(result, platform::write_profile_string(file, section, a.given(2) ? key.c_str() : nullptr,
                                                  a.given(3) ? value.c_str() : nullptr));
}

}  // namespace rt::commands
