#include "platform/posix/ini_document.h"

namespace platform {
namespace {

constexpr char kNewLine[] = "\r\n";

bool is_lead(unsigned char c) { return c >= 0x80; }

unsigned char fold(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 0x20) : c; }

}  // namespace

bool is_profile_blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1A;
}

std::string_view trim_profile_blanks(std::string_view text) {
  while (!text.empty() && is_profile_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_profile_blank(text.back())) text.remove_suffix(1);
  return text;
}

bool profile_names_equal(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  // Only single-byte letters fold: a trail byte in the letter range is not one.
  for (size_t i = 0; i < a.size(); ++i) {
    const auto ca = static_cast<unsigned char>(a[i]);
    const auto cb = static_cast<unsigned char>(b[i]);
    if (is_lead(ca)) {
      if (ca != cb) return false;
      if (i + 1 < a.size()) {
        ++i;
        if (a[i] != b[i]) return false;
      }
    } else if (fold(ca) != fold(cb)) {
      return false;
    }
  }
  return true;
}

IniDocument::IniDocument(std::string_view content) {
  while (!content.empty()) {
    const size_t end = content.find('\n');
    std::string_view text = content.substr(0, end);
    std::string_view ending;
    if (end != std::string_view::npos) {
      ending = "\n";
      if (!text.empty() && text.back() == '\r') {
        text.remove_suffix(1);
        ending = kNewLine;
      }
      content.remove_prefix(end + 1);
    } else {
      content = {};
    }
    m_lines.push_back(parse(text, ending));
  }
}

IniDocument::Line IniDocument::parse(std::string_view text, std::string_view ending) {
  Line line;
  line.text = std::string(text);
  line.ending = std::string(ending);
  const std::string_view trimmed = trim_profile_blanks(text);
  if (trimmed.empty()) return line;
  const size_t close = trimmed.rfind(']');
  if (trimmed.front() == '[' && close != std::string_view::npos && close > 0) {
    line.kind = Kind::Header;
    line.name = std::string(trimmed.substr(1, close - 1));
    return line;
  }
  line.kind = Kind::Entry;
  const size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) {
    line.name = std::string(trimmed);
    return line;
  }
  line.name = std::string(trim_profile_blanks(trimmed.substr(0, equals)));
  line.value = std::string(trim_profile_blanks(trimmed.substr(equals + 1)));
  return line;
}

std::optional<IniDocument::Range> IniDocument::find_section(std::string_view name, size_t from) const {
  name = trim_profile_blanks(name);
  for (size_t i = from; i < m_lines.size(); ++i) {
    const Line& line = m_lines[i];
    if (line.kind != Kind::Header || line.name.empty() || !profile_names_equal(line.name, name)) continue;
    size_t end = i + 1;
    while (end < m_lines.size() && m_lines[end].kind != Kind::Header) ++end;
    return Range{i, end};
  }
  return std::nullopt;
}

std::optional<size_t> IniDocument::find_key(const Range& section, std::string_view key) const {
  key = trim_profile_blanks(key);
  for (size_t i = section.header + 1; i < section.end; ++i)
    if (m_lines[i].kind == Kind::Entry && profile_names_equal(m_lines[i].name, key)) return i;
  return std::nullopt;
}

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const {
  const auto range = find_section(section);
  if (!range) return std::nullopt;
  const auto at = find_key(*range, key);
  if (!at) return std::nullopt;
  return m_lines[*at].value;
}

void IniDocument::insert(size_t at, const std::string& text) {
  // The line before gets an ending if it was the last one without.
  if (at > 0 && m_lines[at - 1].ending.empty()) m_lines[at - 1].ending = kNewLine;
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), parse(text, kNewLine));
}

bool IniDocument::set(std::string_view section, std::string_view key, std::string_view value) {
  key = trim_profile_blanks(key);
  while (!value.empty() && is_profile_blank(value.front())) value.remove_prefix(1);
  const auto range = find_section(section);
  if (!range) {
    // A new section goes at the end, right after the last line (as Windows writes it).
    const size_t at = m_lines.size();
    insert(at, "[" + std::string(trim_profile_blanks(section)) + "]");
    insert(at + 1, std::string(key) + "=" + std::string(value));
    return true;
  }
  if (const auto at = find_key(*range, key)) {
    Line& line = m_lines[*at];
    if (line.value && *line.value == value) return false;
    const std::string ending = line.ending;
    line = parse(line.name + "=" + std::string(value), ending);
    return true;
  }
  // After the section's last line that is not blank.
  size_t at = range->end;
  while (at > range->header + 1 && m_lines[at - 1].kind == Kind::Blank) --at;
  insert(at, std::string(key) + "=" + std::string(value));
  return true;
}

bool IniDocument::remove_key(std::string_view section, std::string_view key) {
  for (auto range = find_section(section); range; range = find_section(section, range->end)) {
    if (const auto at = find_key(*range, key)) {
      m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*at));
      return true;
    }
  }
  return false;
}

bool IniDocument::remove_section(std::string_view section) {
  const auto range = find_section(section);
  if (!range) return false;
  m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(range->header),
                m_lines.begin() + static_cast<std::ptrdiff_t>(range->end));
  return true;
}

std::string IniDocument::content() const {
  std::string out;
  for (const Line& line : m_lines) out += line.text + line.ending;
  return out;
}

}  // namespace platform
