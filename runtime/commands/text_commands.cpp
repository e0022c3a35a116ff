// Text commands. Positions and lengths are in bytes; searches and splits walk
// the text by GBK character (gbk_text.h).
#include <algorithm>
#include <vector>

#include "runtime/blocks.h"
#include "runtime/commands/command_args.h"
#include "runtime/commands/command_functions.h"
#include "runtime/commands/gbk_text.h"

namespace rt::commands {
namespace {

ArgValue text_array(const std::vector<std::string_view>& members) {
  void* block = make_array(static_cast<uint32_t>(members.size()), sizeof(void*));
  const ArrayView array = array_of(block);
  for (size_t i = 0; i < members.size(); ++i) set_array_ref_at(array, static_cast<uint32_t>(i), make_text(members[i]));
  return ArgValue::of_ref(block, tag::kText | tag::kArrayFlag);
}

// The pieces between separators. Once `limit` pieces (when positive) have
// been taken the rest is dropped; a rest after the last separator is a piece
// only when it is not empty.
std::vector<std::string_view> split(std::string_view text, std::string_view separator, int32_t limit) {
  std::vector<std::string_view> pieces;
  const auto full = [&] { return limit > 0 && pieces.size() >= static_cast<size_t>(limit); };
  size_t piece_start = 0;
  size_t i = 0;
  while (i < text.size() && !is_dangling_lead(text, i) && !full()) {
    if (matches_at(text, i, separator, Case::Exact)) {
      pieces.push_back(text.substr(piece_start, i - piece_start));
      i += separator.size();
      piece_start = i;
    } else {
      i = next_character(text, i);
    }
  }
  if (!full() && piece_start < text.size()) pieces.push_back(text.substr(piece_start));
  return pieces;
}

}  // namespace

void FindText(ArgValue* result, int32_t count, ArgValue* args) {
  const Args a(count, args);
  const std::string_view text = a.text(0);
  const std::string_view sought = a.text(1);
  const int32_t start = a.given(2) ? std::max(a.integer(2), 1) : 1;
  const auto from = static_cast<size_t>(start - 1);
  if (from >= text.size()) return set_int(result, -1);
  if (sought.empty()) return set_int(result, 1);
  const size_t at = find_from(text, from, sought, a.flag(3) ? Case::IgnoreAscii : Case::Exact);
  set_int(result, at == std::string_view::npos ? -1 : static_cast<int32_t>(at + 1));
}

void TextLength(ArgValue* result, int32_t count, ArgValue* args) {
  set_int(result, static_cast<int32_t>(Args(count, args).text(0).size()));
}

void TextRight(ArgValue* result, int32_t count, ArgValue* args) {
  const Args a(count, args);
  const std::string_view text = a.text(0);
  const int32_t wanted = a.integer(1);
  if (wanted <= 0) return set_text(result, {});
  const size_t n = std::min(static_cast<size_t>(wanted), text.size());
  set_text(result, text.substr(text.size() - n));
}

void SplitText(ArgValue* result, int32_t count, ArgValue* args) {
  const Args a(count, args);
  const std::string_view text = a.text(0);
  const std::string_view separator = a.given(1) ? a.text(1) : std::string_view(",");
  const int32_t limit = a.given(2) ? std::max(a.integer(2), 0) : -1;
  if (text.empty() || limit == 0) {
    *result = text_array({});
  } else if (separator.empty()) {
    *result = text_array({text});
  } else {
    *result = text_array(split(text, separator, limit));
  }
}

void ToUpper(ArgValue* result, int32_t count, ArgValue* args) {
  set_text(result, ascii_upper(Args(count, args).text(0)));
}

void CompareText(ArgValue* result, int32_t count, ArgValue* args) {
  const Args a(count, args);
  set_int(result, compare_gbk(a.text(0), a.text(1), a.flag(2) ? Case::Exact : Case::IgnoreAscii));
}

}  // namespace rt::commands
