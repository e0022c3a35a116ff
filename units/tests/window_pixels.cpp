#include "units/tests/window_pixels.h"

#include <algorithm>
#include <cstdio>

#include "units/tests/window_test_support.h"

namespace units::testing {

WindowPixels::WindowPixels(HWND top) : m_top(top) {
  pump();
  RECT client;
  GetClientRect(top, &client);
  m_width = client.right;
  m_height = client.bottom;
  m_pixels.assign(static_cast<size_t>(m_width) * m_height, CLR_INVALID);

  // Not clipped to the top window's own pixels: its children are what we read.
  HDC window_dc = GetDCEx(top, nullptr, DCX_CACHE);
  HDC memory_dc = CreateCompatibleDC(window_dc);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = m_width;
  info.bmiHeader.biHeight = -m_height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(memory_dc, bitmap);
    BitBlt(memory_dc, 0, 0, m_width, m_height, window_dc, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* row = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < m_pixels.size(); ++i) {
      const uint32_t bgrx = row[i];  // 0x00RRGGBB in memory order B, G, R
      m_pixels[i] = RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF);
    }
    SelectObject(memory_dc, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory_dc);
  ReleaseDC(top, window_dc);
}

COLORREF WindowPixels::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
  return m_pixels[static_cast<size_t>(y) * m_width + x];
}

PixelBox find_colour(const WindowPixels& pixels, const RECT& area, COLORREF colour) {
  PixelBox box;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      if (pixels.at(x, y) != colour) continue;
      if (box.count++ == 0) {
        box.bounds = {x, y, x, y};
      } else {
        box.bounds.left = std::min<LONG>(box.bounds.left, x);
        box.bounds.top = std::min<LONG>(box.bounds.top, y);
        box.bounds.right = std::max<LONG>(box.bounds.right, x);
        box.bounds.bottom = std::max<LONG>(box.bounds.bottom, y);
      }
    }
  return box;
}

std::string points_not_of(const WindowPixels& pixels, const RECT& area, COLORREF colour, int limit) {
  std::string out;
  int found = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      const COLORREF c = pixels.at(x, y);
      if (c == colour) continue;
      if (found++ < limit) {
        char line[48];
        std::snprintf(line, sizeof line, "(%d,%d)=%02X%02X%02X ", x, y, GetRValue(c), GetGValue(c), GetBValue(c));
        out += line;
      }
    }
  if (found > limit) out += "... " + std::to_string(found) + " in all";
  return out;
}

std::vector<POINT> mask_of(const WindowPixels& pixels, const RECT& area, COLORREF colour) {
  std::vector<POINT> points;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (pixels.at(x, y) == colour) points.push_back({x - area.left, y - area.top});
  return points;
}

std::vector<POINT> footprint(const WindowPixels& pixels, const RECT& area, COLORREF background) {
  std::vector<POINT> points;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (pixels.at(x, y) != background) points.push_back({x - area.left, y - area.top});
  return points;
}

bool same_points(const std::vector<POINT>& a, const std::vector<POINT>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
  return true;
}

RECT rect_in(HWND control, HWND top) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace units::testing
