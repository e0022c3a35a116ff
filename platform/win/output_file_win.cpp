#include <windows.h>

#include "platform/output_file.h"
#include "platform/path.h"

namespace platform {
namespace {

HANDLE as_handle(intptr_t file) { return reinterpret_cast<HANDLE>(file); }

FILETIME as_filetime(uint64_t time) { return FILETIME{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)}; }

}  // namespace

std::unique_ptr<OutputFile> OutputFile::create(const std::string& path, uint32_t attributes) {
  HANDLE file = CreateFileW(wide_path(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::unique_ptr<OutputFile>(new OutputFile(reinterpret_cast<intptr_t>(file)));
}

OutputFile::~OutputFile() { CloseHandle(as_handle(m_handle)); }

bool OutputFile::write(const void* data, size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD part = static_cast<DWORD>(size < (1u << 30) ? size : (1u << 30));
    DWORD written = 0;
    if (!WriteFile(as_handle(m_handle), bytes, part, &written, nullptr) || written == 0) return false;
    bytes += written;
    size -= written;
  }
  return true;
}

bool OutputFile::set_times(const FileTimes& times) {
  const FILETIME creation = as_filetime(times.creation);
  const FILETIME access = as_filetime(times.last_access);
  const FILETIME write = as_filetime(times.last_write);
  return SetFileTime(as_handle(m_handle), times.creation ? &creation : nullptr, times.last_access ? &access : nullptr,
                     times.last_write ? &write : nullptr) != 0;
}

}  // namespace platform
