#include "updater/targets_file.h"

#include <optional>

#include "platform/file_io.h"
#include "updater/wide_text.h"

namespace updater {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
// The ideographic space too, which a Chinese input method types.
bool is_blank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == 0x3000; }

// The lines of a text, blanks around them dropped, empty ones left out;
// each with its 1-based line number.
template <class Text>
std::vector<std::pair<size_t, Text>> lines_of(const Text& text) {
  std::vector<std::pair<size_t, Text>> lines;
  size_t number = 0;
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find('\n', start);
    if (end == Text::npos) end = text.size();
    ++number;
    size_t first = start, last = end;
    while (first < last && is_blank(text[first])) ++first;
    while (last > first && is_blank(text[last - 1])) --last;
    if (first < last) lines.emplace_back(number, text.substr(first, last - first));
    start = end + 1;
  }
  return lines;
}

std::wstring wide_from_utf16(const std::string& bytes, size_t from, bool big_endian) {
  std::wstring wide;
  for (size_t i = from; i + 1 < bytes.size(); i += 2) {
    const auto low = static_cast<unsigned char>(bytes[big_endian ? i + 1 : i]);
    const auto high = static_cast<unsigned char>(bytes[big_endian ? i : i + 1]);
    wide += static_cast<wchar_t>(low | (high << 8));
  }
  return wide;
}

bool starts_with(const std::string& bytes, const char* mark) { return bytes.rfind(mark, 0) == 0; }

Result<std::vector<std::string>> targets_from_wide(const std::wstring& text) {
  std::vector<std::string> targets;
  for (const auto& [number, line] : lines_of(text)) {
    const std::optional<std::string> target = gbk_exactly(line);
    if (!target) return Failure{"第 " + std::to_string(number) + " 行的目录含有 GBK 以外的字符"};
    targets.push_back(*target);
  }
  return targets;
}

}  // namespace

Result<std::vector<std::string>> targets_from_bytes(const std::string& bytes) {
  if (starts_with(bytes, "\xFF\xFE") || starts_with(bytes, "\xFE\xFF")) {
    if (bytes.size() % 2 != 0) return Failure{"UTF-16 的内容不完整"};
    return targets_from_wide(wide_from_utf16(bytes, 2, bytes[0] == '\xFE'));
  }
  const bool marked_utf8 = starts_with(bytes, "\xEF\xBB\xBF");
  const std::string content = marked_utf8 ? bytes.substr(3) : bytes;
  if (const std::optional<std::wstring> wide = wide_from_utf8(content)) return targets_from_wide(*wide);
  if (marked_utf8) return Failure{"不是有效的 UTF-8"};
  // Not UTF-8: the program's own GBK, whose second bytes never come near
  // the codes of the line breaks and blanks.
  std::vector<std::string> targets;
  for (auto& [number, line] : lines_of(content)) targets.push_back(std::move(line));
  return targets;
}

Result<std::vector<std::string>> read_targets_file(const std::string& path) {
  const std::optional<uint64_t> size = platform::file_size(path);
  if (size && *size > kTargetsFileLimit) return Failure{"目录列表 " + path + " 太大"};
  const std::optional<std::string> bytes = platform::read_whole_file(path);
  if (!bytes) return Failure{"无法读取目录列表 " + path};
  Result<std::vector<std::string>> targets = targets_from_bytes(*bytes);
  if (!targets.ok()) return Failure{"目录列表 " + path + ": " + targets.reason()};
  if (targets.value().empty()) return Failure{"目录列表 " + path + " 中没有目录"};
  return targets;
}

}  // namespace updater
