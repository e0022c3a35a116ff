#include "updater/dll_functions.h"

#include "runtime/service_table.h"

namespace updater::dll {
namespace {

// Indexes of the program's DLL command table.
enum Index : uint32_t {
  kGetTickCount64 = 0,
  kStrlen = 1,
  kMultiByteToWideChar = 2,
  kFindFirstFileW = 3,
  kLstrlenW = 4,
  kSetFileAttributesW = 5,
  kDeleteFileW = 6,
  kFindNextFileW = 7,
  kFindClose = 8,
  kRemoveDirectoryW = 9,
  kPeekMessageA = 10,
  kTranslateMessage = 11,
  kDispatchMessageA = 12,
  kPathIsDirectoryW = 13,
  kGetSystemInfo = 14,
};

constexpr uintptr_t kGbkCodePage = 936;

template <class... Args>
uint64_t call(Index index, Args... args) {
  const uintptr_t words[] = {0, static_cast<uintptr_t>(args)...};
  return rt::services().call_dll_command(index, words + 1, sizeof...(Args));
}

uintptr_t address(const void* p) { return reinterpret_cast<uintptr_t>(p); }

// BOOL results fill the low word only.
bool succeeded(uint64_t result) { return static_cast<uint32_t>(result) != 0; }

}  // namespace

uint64_t get_tick_count64() { return call(kGetTickCount64); }

void get_system_info(SYSTEM_INFO& info) { call(kGetSystemInfo, address(&info)); }

std::wstring to_utf16(const std::string& gbk) {
  const auto bytes = static_cast<int32_t>(call(kStrlen, address(gbk.c_str())));
  if (bytes <= 0) return {};
  // A first call for the length, then a buffer of that many characters.
  const auto length = static_cast<int32_t>(
      call(kMultiByteToWideChar, kGbkCodePage, 0, address(gbk.c_str()), static_cast<uintptr_t>(bytes), 0, 0));
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  call(kMultiByteToWideChar, kGbkCodePage, 0, address(gbk.c_str()), static_cast<uintptr_t>(bytes), address(wide.data()),
       static_cast<uintptr_t>(length));
  return wide;
}

int32_t wide_length(const wchar_t* text) { return static_cast<int32_t>(call(kLstrlenW, address(text))); }

HANDLE find_first_file(const std::wstring& pattern, WIN32_FIND_DATAW& found) {
  return reinterpret_cast<HANDLE>(
      static_cast<uintptr_t>(call(kFindFirstFileW, address(pattern.c_str()), address(&found))));
}

bool find_next_file(HANDLE search, WIN32_FIND_DATAW& found) {
  return succeeded(call(kFindNextFileW, address(search), address(&found)));
}

void find_close(HANDLE search) { call(kFindClose, address(search)); }

bool set_file_attributes(const std::wstring& path, uint32_t attributes) {
  return succeeded(call(kSetFileAttributesW, address(path.c_str()), attributes));
}

bool delete_file(const std::wstring& path) { return succeeded(call(kDeleteFileW, address(path.c_str()))); }

bool remove_directory(const std::wstring& path) { return succeeded(call(kRemoveDirectoryW, address(path.c_str()))); }

bool path_is_directory(const std::wstring& path) {
  return !path.empty() && succeeded(call(kPathIsDirectoryW, address(path.c_str())));
}

bool peek_message(MSG& message) {
  return succeeded(call(kPeekMessageA, address(&message), 0, 0, 0, static_cast<uintptr_t>(PM_REMOVE)));
}

void translate_message(const MSG& message) { call(kTranslateMessage, address(&message)); }

void dispatch_message(const MSG& message) { call(kDispatchMessageA, address(&message)); }

}  // namespace updater::dll
