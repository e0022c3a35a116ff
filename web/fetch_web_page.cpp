#include "web/fetch_web_page.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "web/http_fetch.h"
#include "web/web_library.h"

namespace web {
namespace {

// The body as a byte-set block of the runtime's allocator; null when empty
// or longer than a byte set can say.
void* make_byte_set(const std::vector<uint8_t>& body) {
  if (body.empty() || body.size() > 0x7FFFFFF7u) return nullptr;
  const auto length = static_cast<int32_t>(body.size());
  auto* block = static_cast<uint8_t*>(web_library_link().allocate(static_cast<uint32_t>(body.size() + 8)));
  const int32_t header[2] = {1, length};
  std::memcpy(block, header, sizeof header);
  std::memcpy(block + 8, body.data(), body.size());
  return block;
}

}  // namespace

void FetchWebPage(rt::ArgValue* result, int32_t count, rt::ArgValue* args) {
  *result = rt::ArgValue::of_bytes(nullptr);
  const char* url = count >= 1 ? args[0].text() : nullptr;
  if (!url || url[0] == '\0') return;

  std::string target(url);
  target.erase(std::min(target.find('#'), target.size()));
  std::vector<uint8_t> body;
  try {
    body = fetch_body(web_context(), target);
  } catch (const std::bad_alloc&) {
    return;  // the body did not fit in memory: nothing
  }
  result->set_ref(make_byte_set(body));
}

}  // namespace web
