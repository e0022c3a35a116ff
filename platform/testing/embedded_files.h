#pragma once

#include <cstddef>
#include <cstdint>

// A file built into a test by updater_embed_files (cmake/embed_files.cmake).
namespace test_support {

struct EmbeddedFile {
  const char* name;  // "folder/file": the folder it was kept in, and its name
  const uint8_t* data;
  size_t size;
};

}  // namespace test_support
