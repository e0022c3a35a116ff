// Byte-set commands.
#include <algorithm>

#include "runtime/blocks.h"
#include "runtime/commands/command_args.h"
#include "runtime/commands/command_functions.h"

namespace rt::commands {

void ZeroBytes(ArgValue* result, int32_t count, ArgValue* args) {
  const int32_t size = Args(count, args).integer(0);
  *result = ArgValue::of_bytes(size > 0 ? make_zero_bytes(static_cast<uint32_t>(size)) : nullptr);
}

void BytesLength(ArgValue* result, int32_t count, ArgValue* args) {
  set_int(result, static_cast<int32_t>(Args(count, args).bytes(0).size));
}

// The address is an integer argument; in the 64-bit builds it fills both
// payload words, as references do.
void PointerToBytes(ArgValue* result, int32_t count, ArgValue* args) {
  const Args a(count, args);
  const auto* address = a[0].ref<const uint8_t>();
  const int32_t length = a.integer(1);
  if (!address || length <= 0) return set_bytes(result, nullptr, 0);
  set_bytes(result, address, static_cast<uint32_t>(length));
}

void BytesRight(ArgValue* result, int32_t count, ArgValue* args) {
  const Args a(count, args);
  const BytesView bytes = a.bytes(0);
  const int32_t wanted = a.integer(1);
  if (wanted <= 0) return set_bytes(result, nullptr, 0);
  const uint32_t n = std::min(static_cast<uint32_t>(wanted), bytes.size);
  if (n == 0) return set_bytes(result, nullptr, 0);
  set_bytes(result, bytes.data + (bytes.size - n), n);
}

}  // namespace rt::commands
