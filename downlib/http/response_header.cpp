#include "downlib/http/response_header.h"

#include "downlib/mystrlib/text.h"

namespace downlib::http {
namespace {

// The largest length the engine can keep (its sizes are signed 32 bits).
constexpr int64_t kLargestLength = 0x7FFFFFFF;

int32_t status_of(std::string_view header) {
  if (header.size() < 12) return 0;
  int32_t status = 0;
  for (char c : header.substr(9, 3)) {
    if (c < '0' || c > '9') return 0;
    status = status * 10 + (c - '0');
  }
  return status;
}

void read_range(std::string_view value, ResponseHeader& out) {
  std::string_view rest = mystrlib::trimmed(value);
  if (mystrlib::starts_with_no_case(rest, "bytes")) rest.remove_prefix(5);
  rest = mystrlib::trimmed(rest);
  const size_t dash = rest.find('-');
  const size_t slash = rest.find('/');
  if (dash != std::string_view::npos) {
    if (const auto first = mystrlib::decimal_value(rest.substr(0, dash), kLargestLength)) out.range_first = *first;
  }
  if (slash != std::string_view::npos) {
    if (const auto complete = mystrlib::decimal_value(rest.substr(slash + 1), kLargestLength))
      out.range_complete = *complete;
  }
}

}  // namespace

std::optional<std::string> header_field(std::string_view header, std::string_view name) {
  // Lines after the status line; a field is "name:" at the start of one.
  size_t line = header.find("\r\n");
  while (line != std::string_view::npos) {
    line += 2;
    size_t end = header.find("\r\n", line);
    const std::string_view text =
        header.substr(line, end == std::string_view::npos ? std::string_view::npos : end - line);
    if (text.empty()) break;
    if (text.size() > name.size() && text[name.size()] == ':' &&
        mystrlib::equals_no_case(text.substr(0, name.size()), name)) {
      return std::string(mystrlib::trimmed(text.substr(name.size() + 1)));
    }
    line = end;
  }
  return std::nullopt;
}

std::optional<std::string> disposition_file_name(std::string_view value) {
  const size_t at = mystrlib::find_no_case(value, "filename=");
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view rest = value.substr(at + 9);
  const size_t open = rest.find('"');
  if (open != std::string_view::npos) {
    const size_t close = rest.find('"', open + 1);
    if (close != std::string_view::npos) return std::string(rest.substr(open + 1, close - open - 1));
    return std::string(rest.substr(open + 1));
  }
  const size_t semicolon = rest.find(';');
  if (semicolon != std::string_view::npos) rest = rest.substr(0, semicolon);
  return std::string(mystrlib::trimmed(rest));
}

ResponseHeader parse_response_header(std::string_view header) {
  ResponseHeader out;
  out.status = status_of(header);
  const int32_t s = out.status;
  if (s != 200 && s != 206 && s != 301 && s != 302) return out;

  if (s != 206) {
    if (auto length = header_field(header, "Content-Length")) {
      if (const auto value = mystrlib::decimal_value(*length, kLargestLength))
        out.content_length = *value;
      else
        out.bad_content_length = std::move(*length);
    }
  }
  if (s == 206) {
    if (const auto range = header_field(header, "Content-Range")) read_range(*range, out);
    out.via = header_field(header, "Via");
  }
  if (s == 301 || s == 302) out.location = header_field(header, "Location");

  out.accept_ranges = header_field(header, "Accept-Ranges");
  out.connection = header_field(header, "Connection");
  out.content_type = header_field(header, "Content-Type");
  out.set_cookie = header_field(header, "Set-Cookie");
  out.last_modified = header_field(header, "Last-Modified");
  out.server = header_field(header, "Server");
  out.content_disposition = header_field(header, "Content-Disposition");
  return out;
}

}  // namespace downlib::http
