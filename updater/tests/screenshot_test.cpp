// Keeps a picture of the main window after its first check, for a person to
// compare with the window's design (main_window_after_first_check.bmp in the
// test's directory); the test itself checks what a picture can show for sure.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "updater/main_window_units.h"
#include "updater/tests/updater_test_support.h"

namespace updater::testing {
namespace {

bool save_bitmap(HDC dc, HBITMAP bitmap, int width, int height, const std::string& path) {
  BITMAPINFOHEADER info = {sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const int stride = ((width * 3 + 3) / 4) * 4;
  std::vector<uint8_t> pixels(static_cast<size_t>(stride) * height);
  if (!GetDIBits(dc, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS))
    return false;
  BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof info + pixels.size()), 0, 0,
                           sizeof(BITMAPFILEHEADER) + sizeof info};
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&info, sizeof info, 1, out);
  std::fwrite(pixels.data(), 1, pixels.size(), out);
  std::fclose(out);
  return true;
}

COLORREF pixel_of_text(HDC screen, HWND label, COLORREF wanted) {
  RECT r;
  GetWindowRect(label, &r);
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (GetPixel(screen, x, y) == wanted) return wanted;
  return CLR_INVALID;
}

TEST(MainWindowPicture, after_the_first_check_shows_its_verdicts_in_their_colours) {
  put_program_file("霁川.zip", "engine");
  put_program_file("功能.zip", "old feature");
  put_program_file("反挂.zip", "");
  put_program_file("工具.zip", "tools");
  put_program_file("Config.ini", "");
  publish_configuration(configuration_for("engine", "feature", "anti-cheat", "tools"));
  open_main_window();
  const HWND window = static_cast<HWND>(GetAncestor(unit_handle("标签1"), GA_ROOT));
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  pump();
  Sleep(200);
  pump();

  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ(r.right - r.left, 681);
  EXPECT_EQ(r.bottom - r.top, 433);
  HDC screen = GetDC(nullptr);
  // Verdict texts drawn in pure green and pure red.
  EXPECT_EQ(pixel_of_text(screen, unit_handle("标签1"), RGB(0, 255, 0)), RGB(0, 255, 0));
  EXPECT_EQ(pixel_of_text(screen, unit_handle("标签2"), RGB(255, 0, 0)), RGB(255, 0, 0));
  EXPECT_EQ(pixel_of_text(screen, unit_handle("标签3"), RGB(255, 0, 0)), RGB(255, 0, 0));
  EXPECT_EQ(pixel_of_text(screen, unit_handle("标签5"), RGB(0, 255, 0)), RGB(0, 255, 0));

  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  EXPECT_TRUE(save_bitmap(memory, bitmap, r.right - r.left, r.bottom - r.top,
                          program_directory() + "main_window_after_first_check.bmp"));
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  close_main_window();
}

}  // namespace
}  // namespace updater::testing
