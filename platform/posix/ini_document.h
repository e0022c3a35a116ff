#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An INI file held as its lines, so that a change rewrites only the line it
// touches and keeps comments, blank lines and line endings as they were.
// Names are compared with surrounding blanks ignored and ASCII letters
// without regard to case; two-byte characters must be equal (Wine's profile
// functions fold no other letters either). The section before the first
// header has no name and is never found.
namespace platform {

class IniDocument {
 public:
  explicit IniDocument(std::string_view content);

  // The value of the first such key in the first section of that name;
  // nothing when the key is missing or is a line without "=".
  std::optional<std::string> value(std::string_view section, std::string_view key) const;

  // Each answers whether the content changed.
  bool set(std::string_view section, std::string_view key, std::string_view value);
  bool remove_key(std::string_view section, std::string_view key);
  bool remove_section(std::string_view section);

  std::string content() const;

 private:
  enum class Kind { Blank, Header, Entry };
  struct Line {
    Kind kind = Kind::Blank;
    std::string name;                  // section of a header, key of an entry
    std::optional<std::string> value;  // entries with "=" only
    std::string text;                  // the line as written, without its ending
    std::string ending;                // "\r\n", "\n" or nothing on the last line
  };
  // Lines [header, end) of a section.
  struct Range {
    size_t header;
    size_t end;
  };

  static Line parse(std::string_view text, std::string_view ending);
  std::optional<Range> find_section(std::string_view name, size_t from = 0) const;
  std::optional<size_t> find_key(const Range& section, std::string_view key) const;
  void insert(size_t at, const std::string& text);

  std::vector<Line> m_lines;
};

// Blanks as the profile functions see them: ASCII white space, CR and ^Z.
bool is_profile_blank(char c);
std::string_view trim_profile_blanks(std::string_view text);
bool profile_names_equal(std::string_view a, std::string_view b);

}  // namespace platform
