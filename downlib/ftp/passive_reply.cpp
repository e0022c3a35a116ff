#include "downlib/ftp/passive_reply.h"

#include "downlib/mystrlib/text.h"

namespace downlib::ftp {

std::optional<PassiveReply> parse_passive_reply(std::string_view text) {
  const size_t open = text.find('(');
  if (open == std::string_view::npos) return std::nullopt;
  const size_t close = text.find(')', open + 1);
  if (close == std::string_view::npos) return std::nullopt;
  std::string_view inside = text.substr(open + 1, close - open - 1);

  uint32_t numbers[6] = {};
  for (int i = 0; i < 6; ++i) {
    const size_t comma = inside.find(',');
    if ((i < 5) == (comma == std::string_view::npos)) return std::nullopt;  // five commas, no more
    const std::string_view part = i < 5 ? inside.substr(0, comma) : inside;
    const auto value = mystrlib::decimal_value(part, 255);
    if (!value) return std::nullopt;
    numbers[i] = static_cast<uint32_t>(*value);
    if (i < 5) inside.remove_prefix(comma + 1);
  }
  PassiveReply reply;
  reply.address = numbers[0] << 24 | numbers[1] << 16 | numbers[2] << 8 | numbers[3];
  reply.port = static_cast<uint16_t>(numbers[4] * 256 + numbers[5]);
  return reply;
}

}  // namespace downlib::ftp
