// Mouse-pointer data to cursors.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "units/cursor_data.h"

namespace units {
namespace {

std::string number_data(int32_t number) {
  std::string data(4, '\0');
  std::memcpy(data.data(), &number, 4);
  return data;
}

// A 32x32 monochrome cursor file with its hot spot at (5, 7).
std::string cursor_file() {
  std::string file;
  auto put16 = [&](uint16_t v) { file.append(reinterpret_cast<const char*>(&v), 2); };
  auto put32 = [&](uint32_t v) { file.append(reinterpret_cast<const char*>(&v), 4); };
  const uint32_t image_size = 40 + 8 + 128 + 128;
  put16(0), put16(2), put16(1);                       // header: cursor, one image
  file += std::string("\x20\x20\x00\x00", 4);         // 32x32, no palette
  put16(5), put16(7), put32(image_size), put32(22);   // hot spot, size, offset
  put32(40), put32(32), put32(64), put16(1), put16(1), put32(0), put32(256), put32(0), put32(0), put32(2), put32(0);
  put32(0x000000), put32(0xFFFFFF);                   // palette
  file += std::string(128, '\x55');                   // XOR mask
  file += std::string(128, '\x00');                   // AND mask
  return file;
}

TEST(CursorData, numbers_translate_through_the_standard_table) {
  struct Case {
    int32_t number;
    LPCSTR system;
  } cases[] = {{1, IDC_ARROW}, {2, IDC_CROSS}, {3, IDC_IBEAM}, {4, IDC_WAIT}, {10, IDC_SIZENS}, {13, IDC_UPARROW}};
  for (const Case& c : cases)
    EXPECT_EQ(cursor_from_data(number_data(c.number)), LoadCursorA(nullptr, c.system)) << "number " << c.number;
  // A system cursor id stands for itself; a short datum uses its first byte.
  EXPECT_EQ(cursor_from_data(number_data(32513)), LoadCursorA(nullptr, IDC_IBEAM));
  EXPECT_EQ(cursor_from_data(std::string(1, '\x03')), LoadCursorA(nullptr, IDC_IBEAM));
}

TEST(CursorData, empty_and_zero_mean_the_default) {
  EXPECT_EQ(cursor_from_data(""), nullptr);
  EXPECT_EQ(cursor_from_data(number_data(0)), nullptr);
  EXPECT_EQ(cursor_from_data(number_data(99)), nullptr);
}

TEST(CursorData, minus_one_is_followed_by_a_cursor_file) {
  HCURSOR cursor = static_cast<HCURSOR>(cursor_from_data(number_data(-1) + cursor_file()));
  ASSERT_NE(cursor, nullptr);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 5u);
  EXPECT_EQ(info.yHotspot, 7u);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DestroyCursor(cursor);
}

TEST(CursorData, program_numbers_and_system_ids_map_both_ways) {
  for (int32_t n = 1; n <= 14; ++n) EXPECT_EQ(cursor_id_to_number(cursor_number_to_id(n)), n);
  EXPECT_EQ(cursor_number_to_id(0), 0);
  EXPECT_EQ(cursor_number_to_id(-1), -1);
}

}  // namespace
}  // namespace units
