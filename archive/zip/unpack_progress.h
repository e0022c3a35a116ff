#pragma once

#include <cstdint>

namespace archive::zip {

enum class ProgressAnswer { Continue, Stop };

// Where the unpacking reports how far it got. The command reports through
// the ZIP object unit's event 1; the tests watch it directly.
class UnpackProgress {
 public:
  virtual ~UnpackProgress() = default;
  virtual ProgressAnswer report(int32_t percent) = 0;
};

// `current` of `total` in whole per cent, truncated. Nothing of nothing is all done.
inline int32_t percentage(uint32_t current, uint32_t total) {
  if (total == 0) return 100;
  return static_cast<int32_t>(static_cast<double>(current) / static_cast<double>(total) * 100.0);
}

}  // namespace archive::zip
