#include <windows.h>

#include "platform/path.h"

namespace platform {
namespace {

constexpr UINT kGbkCodePage = 936;

}  // namespace

std::string native_path(const std::string& program_path) { return program_path; }
std::string program_text(const std::string& native_name) { return native_name; }
std::string program_path(const std::string& native) { return native; }

std::wstring wide_path(const std::string& program_path) {
  if (program_path.empty()) return {};
  const int size = static_cast<int>(program_path.size());
  const int length = MultiByteToWideChar(kGbkCodePage, 0, program_path.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(kGbkCodePage, 0, program_path.data(), size, wide.data(), length);
  return wide;
}

std::string gbk_from_wide(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(kGbkCodePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(kGbkCodePage, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

}  // namespace platform
