#pragma once

#include <cstddef>
#include <cstdint>

namespace archive::zip {

// Where an extracted entry's content goes.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // All of the bytes, or false.
  virtual bool write(const uint8_t* data, size_t size) = 0;
};

}  // namespace archive::zip
