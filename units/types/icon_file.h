#pragma once

#include <windows.h>

#include <string>

namespace units {

// An icon made from the image of an ICO file that best fits `size` pixels
// (the largest image not above it, else the smallest); null when the bytes
// are not an icon file.
HICON icon_from_file_bytes(const std::string& bytes, int size);

}  // namespace units
