#include "downlib/engine/target_name.h"

#include "downlib/mystrlib/text.h"

namespace downlib::engine {
namespace {

constexpr std::string_view kDeviceNames[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4",
                                             "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3",
                                             "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};

bool refused_in_names(unsigned char c) {
  return c < 0x20 || c == 0x7F || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' || c == '*' ||
         c == '/' || c == '\\';
}

bool is_device_name(std::string_view name) {
  const std::string_view base = name.substr(0, name.find('.'));
  for (std::string_view device : kDeviceNames)
    if (mystrlib::equals_no_case(mystrlib::trimmed(base), device)) return true;
  return false;
}

// After the last "/" or "\" that is a character of its own.
std::string_view last_part(std::string_view name) {
  size_t cut = std::string_view::npos;
  for (size_t i = 0; i < name.size();) {
    const size_t step = mystrlib::gbk_char_at(name, i);
    if (step == 1 && (name[i] == '/' || name[i] == '\\')) cut = i;
    i += step;
  }
  return cut == std::string_view::npos ? name : name.substr(cut + 1);
}

}  // namespace

std::optional<std::string> safe_file_name(std::string_view name) {
  const std::string_view part = last_part(name);
  std::string out;
  for (size_t i = 0; i < part.size();) {
    const auto c = static_cast<unsigned char>(part[i]);
    if (mystrlib::gbk_char_at(part, i) == 2) {
      out.append(part.substr(i, 2));
      i += 2;
      continue;
    }
    if (mystrlib::gbk_char_size(c) == 2) {
      // A lead byte without a valid second byte is half a character: at the
      // end it goes, elsewhere it becomes "_".
      if (i + 1 < part.size()) out.push_back('_');
    } else {
      out.push_back(refused_in_names(c) ? '_' : static_cast<char>(c));
    }
    i += 1;
  }
  while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
  while (!out.empty() && out.front() == ' ') out.erase(0, 1);
  if (out.empty()) return std::nullopt;
  if (is_device_name(out)) out.insert(0, "_");
  return out;
}

std::string url_file_name(std::string_view path_part) {
  const size_t end = path_part.find_first_of("?#");
  if (end != std::string_view::npos) path_part = path_part.substr(0, end);
  return mystrlib::percent_decoded(mystrlib::after_last(path_part, '/'));
}

std::optional<std::string> next_numbered_path(std::string_view path) {
  const size_t slash = mystrlib::find_last_gbk(path, '\\');
  const size_t name_at = slash == std::string_view::npos ? 0 : slash + 1;
  const std::string_view name = path.substr(name_at);
  const size_t dot = name.find('.');
  std::string_view base = name.substr(0, dot);
  const std::string_view extension = dot == std::string_view::npos ? std::string_view() : name.substr(dot);

  int number = 1;
  if (base.size() >= 3 && base.back() == ')') {
    const size_t open = base.rfind('(');
    const size_t digits = open == std::string_view::npos ? 0 : base.size() - open - 2;
    if (open != std::string_view::npos && digits >= 1 && digits <= 2) {
      const auto value = mystrlib::decimal_value(base.substr(open + 1, digits), 99);
      if (value) {
        number = static_cast<int>(*value) + 1;
        if (number >= 100) return std::nullopt;
        base = base.substr(0, open);
      }
    }
  }
  return std::string(path.substr(0, name_at)) + std::string(base) + "(" + std::to_string(number) + ")" +
         std::string(extension);
}

}  // namespace downlib::engine
