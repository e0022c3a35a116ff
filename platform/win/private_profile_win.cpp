#include <windows.h>

#include <vector>

#include "platform/path.h"
#include "platform/gbk_cut.h"
#include "platform/private_profile.h"

// The wide private-profile functions, with the file name converted with code
// page 936 like every other path of the program, so that the same file is
// reached on any system. Section, key and value go through the ANSI code page
// instead: Windows reads and writes the bytes of an INI file without a byte
// order mark in that code page, so names and file content must be converted
// the same way to be compared. That is exactly what the ANSI functions do, so
// only the file name differs from them, and on a system whose ANSI code page
// is 936 nothing does.
namespace platform {
namespace {

std::wstring from_ansi(const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string to_ansi(const wchar_t* wide, int size) {
  if (size <= 0) return {};
  const int length = WideCharToMultiByte(CP_ACP, 0, wide, size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, size, text.data(), length, nullptr, nullptr);
  return text;
}

}  // namespace

std::string read_profile_string(const std::string& file, const std::string& section, const std::string& key,
                                const std::string& default_value, uint32_t buffer_size) {
  if (buffer_size == 0) return {};
  std::vector<wchar_t> buffer(buffer_size, L'\0');
  const DWORD length =
      GetPrivateProfileStringW(from_ansi(section).c_str(), from_ansi(key).c_str(), from_ansi(default_value).c_str(),
                               buffer.data(), buffer_size, wide_path(file).c_str());
  std::string value = to_ansi(buffer.data(), static_cast<int>(length));
  cut_gbk(value, buffer_size - 1);
  return value;
}

bool write_profile_string(const std::string& file, const std::string& section, const char* key, const char* value) {
  const std::wstring key_wide = key ? from_ansi(key) : std::wstring();
  const std::wstring value_wide = value ? from_ansi(value) : std::wstring();
  return WritePrivateProfileStringW(from_ansi(section).c_str(), key ? key_wide.c_str() : nullptr,
                                    value ? value_wide.c_str() : nullptr, wide_path(file).c_str()) != 0;
}

}  // namespace platform
