#include <windows.h>

#include "platform/path.h"
#include "platform/read_only_file.h"

namespace platform {
namespace {

HANDLE as_handle(NativeFile file) { return reinterpret_cast<HANDLE>(file); }

// ReadFile takes a 32-bit count; larger requests are read in parts by the caller.
constexpr size_t kLargestRead = 1u << 30;

}  // namespace

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::open(const std::string& path) {
  HANDLE file = CreateFileW(wide_path(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::unique_ptr<ReadOnlyFile>(new ReadOnlyFile(reinterpret_cast<NativeFile>(file), 0, false));
}

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::duplicate(NativeFile handle) {
  LARGE_INTEGER position = {};
  if (!SetFilePointerEx(as_handle(handle), LARGE_INTEGER{}, &position, FILE_CURRENT)) return nullptr;
  HANDLE copy = nullptr;
  const HANDLE process = GetCurrentProcess();
  if (!DuplicateHandle(process, as_handle(handle), process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) return nullptr;
  return std::unique_ptr<ReadOnlyFile>(
      new ReadOnlyFile(reinterpret_cast<NativeFile>(copy), static_cast<uint64_t>(position.QuadPart), true));
}

ReadOnlyFile::~ReadOnlyFile() { CloseHandle(as_handle(m_handle)); }

std::optional<uint64_t> ReadOnlyFile::size() const {
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(as_handle(m_handle), &size)) return std::nullopt;
  return static_cast<uint64_t>(size.QuadPart);
}

std::optional<size_t> ReadOnlyFile::read_at(uint64_t offset, void* buffer, size_t size) const {
  // A duplicated handle shares its position with the caller's handle: the
  // position is put back after reading at an explicit offset.
  LARGE_INTEGER before = {};
  if (m_shared_position) SetFilePointerEx(as_handle(m_handle), LARGE_INTEGER{}, &before, FILE_CURRENT);
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD read = 0;
  const BOOL ok =
      ReadFile(as_handle(m_handle), buffer, static_cast<DWORD>(size < kLargestRead ? size : kLargestRead), &read, &at);
  if (m_shared_position) SetFilePointerEx(as_handle(m_handle), before, nullptr, FILE_BEGIN);
  if (!ok) return GetLastError() == ERROR_HANDLE_EOF ? std::optional<size_t>(0) : std::nullopt;
  return static_cast<size_t>(read);
}

}  // namespace platform
