#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The parsed response header of one request. Field names are matched
// without regard to case, as HTTP defines them, at the start of a header
// line; "Content-Length: ", "Content-length: " and "content-length:" are all
// the same field. Which fields are read depends on the status:
//
//   200        Content-Length
//   206        Content-Range, Via (the content length stays -1)
//   301, 302   Content-Length, Location
//   any other  nothing but the status
//
// and for those four also Accept-Ranges, Connection, Content-Type,
// Set-Cookie (the first only), Last-Modified, Server, Content-Disposition.
namespace downlib::http {

struct ResponseHeader {
  int32_t status = 0;  // the three characters at offset 9; 0 when they are not digits
  // -1 when there is no Content-Length. A Content-Length that is not a plain
  // decimal below 2 GiB also gives -1, with the text kept in bad_content_length.
  int64_t content_length = -1;
  std::optional<std::string> bad_content_length;
  // "bytes <first>-<last>/<complete>"; -1 for a part that is missing.
  int64_t range_first = -1;
  int64_t range_complete = -1;
  std::optional<std::string> set_cookie, content_type, location, server, connection, accept_ranges, last_modified, via,
      content_disposition;
};

ResponseHeader parse_response_header(std::string_view header);

// The value of a field (first occurrence), matched without case at the start
// of a header line; surrounding spaces and tabs removed.
std::optional<std::string> header_field(std::string_view header, std::string_view name);

// The file name of a Content-Disposition value: after "filename=", the text
// between the next two double quotes, else the rest of the value up to a ";".
std::optional<std::string> disposition_file_name(std::string_view value);

}  // namespace downlib::http
