#include <windows.h>

#include "platform/path.h"
#include "platform/positional_file.h"

namespace platform {
namespace {

HANDLE raw(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

bool give_size(HANDLE file, int64_t size) {
  LARGE_INTEGER end;
  end.QuadPart = size;
  return SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

}  // namespace

FileHandle create_new_file(const std::string& path, int64_t size, CreateOutcome* outcome) {
  const std::wstring wide = wide_path(path);
  // CREATE_NEW: an existing file is never touched. Others may read it while
  // it is written, as they could read the mapped file.
  const HANDLE file =
      CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    *outcome = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? CreateOutcome::AlreadyExists
                                                                           : CreateOutcome::Failed;
    return kNoFile;
  }
  if (size < 0 || !give_size(file, size)) {
    CloseHandle(file);
    DeleteFileW(wide.c_str());  // ours: we made it a moment ago
    *outcome = CreateOutcome::Failed;
    return kNoFile;
  }
  *outcome = CreateOutcome::Created;
  return reinterpret_cast<FileHandle>(file);
}

bool write_at(FileHandle file, int64_t offset, const void* data, uint32_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
    at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
    DWORD written = 0;
    if (!WriteFile(raw(file), bytes, size, &written, &at) || written == 0) return false;
    bytes += written;
    offset += written;
    size -= written;
  }
  return true;
}

void close_file(FileHandle file) {
  if (file != kNoFile) CloseHandle(raw(file));
}

std::optional<int64_t> existing_file_size(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(wide_path(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace platform
