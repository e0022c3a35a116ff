#include "units/types/icon_file.h"

#include <cstdint>
#include <cstring>

namespace units {
namespace {

uint32_t read_u32(const std::string& b, size_t at) {
  uint32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

uint16_t read_u16(const std::string& b, size_t at) {
  uint16_t v;
  std::memcpy(&v, b.data() + at, 2);
  return v;
}

}  // namespace

HICON icon_from_file_bytes(const std::string& bytes, int size) {
  // ICONDIR: reserved 0, type 1, count; then 16-byte entries.
  if (bytes.size() < 6 || read_u16(bytes, 0) != 0 || read_u16(bytes, 2) != 1) return nullptr;
  const uint16_t count = read_u16(bytes, 4);
  if (bytes.size() < 6 + 16u * count) return nullptr;
  int best = -1, best_width = 0;
  for (int i = 0; i < count; ++i) {
    const size_t entry = 6 + 16u * i;
    const int width = static_cast<uint8_t>(bytes[entry]) ? static_cast<uint8_t>(bytes[entry]) : 256;
    const uint32_t length = read_u32(bytes, entry + 8), offset = read_u32(bytes, entry + 12);
    if (offset > bytes.size() || length > bytes.size() - offset) continue;
    const bool fits = width <= size;
    const bool better = best < 0 || (fits && (best_width > size || width > best_width)) ||
                        (!fits && best_width > size && width < best_width);
    if (better) {
      best = i;
      best_width = width;
    }
  }
  if (best < 0) return nullptr;
  const size_t entry = 6 + 16u * best;
  const uint32_t length = read_u32(bytes, entry + 8), offset = read_u32(bytes, entry + 12);
  auto* image = reinterpret_cast<PBYTE>(const_cast<char*>(bytes.data() + offset));
  return CreateIconFromResourceEx(image, length, TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR);
}

}  // namespace units
