#include <windows.h>
#include <wininet.h>

#include "web/url_parts.h"

namespace web {

std::optional<UrlParts> split_url(const std::string& url) {
  // Every part is at most as long as the URL, so buffers of that size never
  // make the parser fail for want of room.
  const auto room = static_cast<DWORD>(url.size() + 1);
  std::string scheme(room, '\0'), host(room, '\0'), user(room, '\0'), password(room, '\0'), object(room, '\0');
  URL_COMPONENTSA parts = {};
  parts.dwStructSize = sizeof parts;
  parts.lpszScheme = scheme.data();
  parts.dwSchemeLength = room;
  parts.lpszHostName = host.data();
  parts.dwHostNameLength = room;
  parts.lpszUserName = user.data();
  parts.dwUserNameLength = room;
  parts.lpszPassword = password.data();
  parts.dwPasswordLength = room;
  parts.lpszUrlPath = object.data();
  parts.dwUrlPathLength = room;
  if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), ICU_NO_ENCODE, &parts)) return std::nullopt;

  scheme.resize(parts.dwSchemeLength);
  host.resize(parts.dwHostNameLength);
  user.resize(parts.dwUserNameLength);
  password.resize(parts.dwPasswordLength);
  object.resize(parts.dwUrlPathLength);
  return UrlParts{scheme, host, parts.nPort, user, password, object, parts.nScheme == INTERNET_SCHEME_HTTPS};
}

}  // namespace web
