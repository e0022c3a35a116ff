#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Windows file attributes of program paths. Natively only two of them mean
// something: a directory, and read-only, which is a file without write
// permission bits. A writable file reads back as normal; hidden, system and
// archive are not kept.
namespace platform {

inline constexpr uint32_t kAttributeReadOnly = 0x01;
inline constexpr uint32_t kAttributeHidden = 0x02;
inline constexpr uint32_t kAttributeSystem = 0x04;
inline constexpr uint32_t kAttributeDirectory = 0x10;
inline constexpr uint32_t kAttributeArchive = 0x20;
inline constexpr uint32_t kAttributeNormal = 0x80;

// Nothing when the path does not exist.
std::optional<uint32_t> file_attributes(const std::string& path);
bool set_file_attributes(const std::string& path, uint32_t attributes);

inline bool is_directory(const std::string& path) {
  const auto attributes = file_attributes(path);
  return attributes && (*attributes & kAttributeDirectory) != 0;
}

enum class PathKind { Missing, File, Directory };
inline PathKind path_kind(const std::string& path) {
  const auto attributes = file_attributes(path);
  if (!attributes) return PathKind::Missing;
  return (*attributes & kAttributeDirectory) ? PathKind::Directory : PathKind::File;
}

// Takes the read-only mark off a file, so that it can be replaced or
// deleted; true when the file is writable afterwards.
inline bool make_writable(const std::string& path) {
  const auto attributes = file_attributes(path);
  if (!attributes) return false;
  if (!(*attributes & kAttributeReadOnly)) return true;
  const uint32_t writable = *attributes & ~kAttributeReadOnly;
  return set_file_attributes(path, writable ? writable : kAttributeNormal);
}

}  // namespace platform
