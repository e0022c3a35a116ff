#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Recognising a task's URL. The lower-cased URL's first letter picks the row
// where testing starts; each row sums the character codes after the first
// letter and compares the sum with its scheme's:
//
//   first letter  bytes summed        sum         protocol  prefix  port
//   h             2nd-7th             496         HTTP      7       80
//   f             2nd-6th             380         FTP       6       21
//   m             2nd-6th / 2nd-7th   376 / 492   MMS       6 / 7   1755
//   r             2nd-7th             495         RTSP      7       554
//
// A failed row goes on to the rows below it. So "https://" matches nothing,
// and a first letter outside h, f, m, r matches nothing.
namespace downlib {

enum class Protocol : int32_t { Http = 1, Ftp = 2, Mms = 3, Rtsp = 4 };

struct UrlParts {
  Protocol protocol = Protocol::Http;
  size_t prefix_length = 0;
  std::string authority;  // between the prefix and the next "/", as written
  uint16_t port = 0;      // from the authority, else the protocol's default
  std::string path;       // from that "/" to the end, as written
};

// The URL's parts, or nothing when it is refused: no row matches, no "/"
// after the authority, an empty authority, or a port that is not a number
// from 1 to 65535.
std::optional<UrlParts> recognise_url(std::string_view url);

// The protocol's row only (no authority or path rules), for tests of the sums.
std::optional<Protocol> recognise_protocol(std::string_view url, size_t* prefix_length = nullptr);

uint16_t default_port(Protocol protocol);

}  // namespace downlib
