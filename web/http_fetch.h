#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "web/web_context.h"

namespace web {

// One HTTP GET of `url` (no fragment) through the context's root handle, as
// the platform client does it: version HTTP/1.0, every media type accepted,
// nothing cached, redirects and authentication challenges followed by the
// client. Gives the body bytes collected, whatever the status: all of them,
// the part read before a read failed, or none when the URL does not parse,
// the root handle cannot be opened, or the request cannot be sent.
std::vector<uint8_t> fetch_body(WebContext& context, const std::string& url);

// The user agent of every request.
inline constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

}  // namespace web
