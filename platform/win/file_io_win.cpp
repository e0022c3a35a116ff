#include <windows.h>

#include <cstdint>

#include "platform/file_io.h"
#include "platform/path.h"

namespace platform {
namespace {

// A byte set carries its length in a signed 32-bit word after an 8-byte head.
constexpr uint64_t kLargestContent = 0x7FFFFFFF - 8;

class Handle {
 public:
  explicit Handle(HANDLE handle) : m_handle(handle) {}
  ~Handle() {
    if (valid()) CloseHandle(m_handle);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return m_handle; }

 private:
  HANDLE m_handle;
};

}  // namespace

std::optional<std::string> read_whole_file(const std::string& path) {
  Handle file(CreateFileW(wide_path(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::nullopt;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || static_cast<uint64_t>(size.QuadPart) > kLargestContent) return std::nullopt;
  std::string content(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < content.size()) {
    DWORD read = 0;
    if (!ReadFile(file.get(), content.data() + done, static_cast<DWORD>(content.size() - done), &read, nullptr))
      return std::nullopt;
    if (read == 0) break;  // the file shrank while we read it
    done += read;
  }
  content.resize(done);
  return content;
}

bool write_whole_file(const std::string& path, const std::vector<std::string_view>& parts) {
  Handle file(
      CreateFileW(wide_path(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  for (std::string_view part : parts) {
    size_t done = 0;
    while (done < part.size()) {
      DWORD written = 0;
      if (!WriteFile(file.get(), part.data() + done, static_cast<DWORD>(part.size() - done), &written, nullptr) ||
          written == 0)
        return false;
      done += written;
    }
  }
  return true;
}

bool delete_file(const std::string& path) { return DeleteFileW(wide_path(path).c_str()) != 0; }

bool create_directory(const std::string& path) { return CreateDirectoryW(wide_path(path).c_str(), nullptr) != 0; }

bool copy_file(const std::string& source, const std::string& target) {
  return CopyFileW(wide_path(source).c_str(), wide_path(target).c_str(), FALSE) != 0;
}

bool path_exists(const std::string& path) {
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(wide_path(path).c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

std::optional<uint64_t> file_size(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(wide_path(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

bool replace_file(const std::string& source, const std::string& target) {
  return MoveFileExW(wide_path(source).c_str(), wide_path(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::string temp_directory() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return {};
  return gbk_from_wide(std::wstring(buffer, length));
}

bool remove_empty_directory(const std::string& path) { return RemoveDirectoryW(wide_path(path).c_str()) != 0; }

bool append_to_file(const std::string& path, std::string_view text) {
  Handle file(CreateFileW(wide_path(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  size_t done = 0;
  while (done < text.size()) {
    DWORD written = 0;
    if (!WriteFile(file.get(), text.data() + done, static_cast<DWORD>(text.size() - done), &written, nullptr) ||
        written == 0)
      return false;
    done += written;
  }
  return true;
}

}  // namespace platform
