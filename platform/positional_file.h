#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A file that several threads write at their own offsets, with no shared
// file position: positional writes (pwrite, or WriteFile with an offset).
// Paths are the program's (GBK, "\" separators).
namespace platform {

using FileHandle = intptr_t;
inline constexpr FileHandle kNoFile = -1;

enum class CreateOutcome { Created, AlreadyExists, Failed };

// Creates `path` as a new file of `size` bytes, with the space reserved
// where the file system allows it. An existing file is never opened,
// truncated or overwritten: that is AlreadyExists. On Failed or
// AlreadyExists the result is kNoFile; a file that was created but could not
// be given its size is removed again.
FileHandle create_new_file(const std::string& path, int64_t size, CreateOutcome* outcome);

// Writes all `size` bytes at `offset`; safe to call from several threads at
// once on one handle. False on any error.
bool write_at(FileHandle file, int64_t offset, const void* data, uint32_t size);

void close_file(FileHandle file);

// The size of an existing file (or directory entry), nothing when there is
// no file of that name.
std::optional<int64_t> existing_file_size(const std::string& path);

}  // namespace platform
