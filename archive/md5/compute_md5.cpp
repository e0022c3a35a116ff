#include "archive/md5/compute_md5.h"

#include <cstring>

#include "archive/digest_library.h"
#include "archive/md5/md5_digest.h"
#include "runtime/blocks.h"

namespace archive {

void ComputeMd5(rt::ArgValue* result, int32_t count, rt::ArgValue* args) {
  // The caller's convention never passes a null byte set, but a block that
  // reached us as null anyway (or a missing argument) digests as zero bytes
  // rather than being read through; so does a block whose length is negative.
  const rt::BytesView bytes = count >= 1 ? rt::bytes_of(args[0].block()) : rt::BytesView{};
  const std::array<char, 32> hex = md5_hex(md5_of(bytes.data, bytes.size));

  auto* text = static_cast<char*>(digest_library_link().allocate(hex.size() + 1));
  std::memcpy(text, hex.data(), hex.size());
  text[hex.size()] = '\0';
  *result = rt::ArgValue::of_text(text);
}

}  // namespace archive
