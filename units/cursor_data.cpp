#include "units/cursor_data.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace units {
namespace {

constexpr int32_t kStandard[15] = {0,     32512, 32515, 32513, 32514, 32651, 32650, 32648,
                                   32646, 32643, 32645, 32642, 32644, 32516, 32649};
constexpr int32_t kHand = 32649;
constexpr int kHandResource = 1032;

// A cursor file is loaded through a temporary file: the system reads .cur and
// .ani the same way then.
HCURSOR cursor_from_file_bytes(const char* bytes, size_t size) {
  if (size == 0) return nullptr;
  char directory[MAX_PATH], path[MAX_PATH];
  if (!GetTempPathA(sizeof directory, directory) || !GetTempFileNameA(directory, "cur", 0, path)) return nullptr;
  HCURSOR cursor = nullptr;
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr) && written == size;
    CloseHandle(file);
    if (ok) cursor = LoadCursorFromFileA(path);
  }
  DeleteFileA(path);
  return cursor;
}

HCURSOR system_cursor(int32_t id) {
  if (id == kHand) {
    if (HCURSOR own = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kHandResource))) return own;
  }
  return LoadCursorA(nullptr, MAKEINTRESOURCEA(id));
}

}  // namespace

int32_t cursor_number_to_id(int32_t number) { return number >= 1 && number <= 14 ? kStandard[number] : number; }

int32_t cursor_id_to_number(int32_t id) {
  for (int32_t i = 1; i < 15; ++i)
    if (kStandard[i] == id) return i;
  return id;
}

void* cursor_from_data(const std::string& data) {
  if (data.empty()) return nullptr;
  int32_t number = 0;
  if (data.size() < 4)
    number = static_cast<uint8_t>(data[0]);
  else
    std::memcpy(&number, data.data(), 4);
  if (number != -1 && data.size() > 10)
    if (HCURSOR cursor = cursor_from_file_bytes(data.data(), data.size())) return cursor;
  if (number == -1) return data.size() > 4 ? cursor_from_file_bytes(data.data() + 4, data.size() - 4) : nullptr;
  if (number == 0) return nullptr;
  const int32_t id = cursor_number_to_id(number);
  for (int32_t known : kStandard)
    if (known == id && id != 0) return system_cursor(id);
  return nullptr;
}

}  // namespace units
