#include "downlib/tests/scenario/records.h"

#include <cstdlib>

namespace scenario {
namespace {

std::vector<std::string> split_words(std::string_view line) {
  std::vector<std::string> words;
  size_t start = 0;
  while (start <= line.size()) {
    const size_t space = line.find(' ', start);
    const size_t end = space == std::string_view::npos ? line.size() : space;
    words.emplace_back(line.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

bool is_length(const std::string& word) {
  if (word.empty() || word.size() > 9) return false;
  for (char c : word)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

Records read_records(std::string_view text) {
  Records out;
  size_t at = 0;
  while (at < text.size()) {
    const size_t line_end = text.find('\n', at);
    const std::string where =
        "record " + std::to_string(out.records.size() + 1) + " (offset " + std::to_string(at) + ")";
    if (line_end == std::string_view::npos) {
      out.problem = where + ": no line end";
      return out;
    }
    Record record;
    record.words = split_words(text.substr(at, line_end - at));
    const std::string length_word = record.words.back();
    record.words.pop_back();
    if (!is_length(length_word) || record.words.empty()) {
      out.problem = where + ": the line does not end in a length";
      return out;
    }
    const size_t length = std::strtoul(length_word.c_str(), nullptr, 10);
    const size_t payload = line_end + 1;
    if (length > text.size() - payload || text.size() - payload - length < 1 || text[payload + length] != '\n') {
      out.problem = where + ": the payload of " + length_word + " bytes runs past the end";
      return out;
    }
    record.payload = std::string(text.substr(payload, length));
    out.records.push_back(std::move(record));
    at = payload + length + 1;
  }
  return out;
}

}  // namespace scenario
