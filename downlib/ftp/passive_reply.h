#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The address and port of a 227 reply: the text between the first "(" and
// the ")" after it holds six comma-separated numbers h1,h2,h3,h4,p1,p2, each
// 0-255 (spaces around a number are allowed). Anything else, or numbers over
// 255, gives nothing. The address is only reported: the data connection
// goes to the control connection's peer, with p1 * 256 + p2 as its port.
namespace downlib::ftp {

struct PassiveReply {
  uint32_t address = 0;  // host byte order
  uint16_t port = 0;
};

std::optional<PassiveReply> parse_passive_reply(std::string_view text);

}  // namespace downlib::ftp
