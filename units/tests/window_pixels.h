#pragma once

#include <windows.h>

#include <string>
#include <vector>

// What a top window shows, read back pixel by pixel after its painting: the
// client area copied out of the window (children included) into memory.
namespace units::testing {

class WindowPixels {
 public:
  // Processes pending messages first, so that every paint has happened.
  explicit WindowPixels(HWND top);

  // Colour at a point of the top window's client area; CLR_INVALID outside.
  COLORREF at(int x, int y) const;
  int width() const { return m_width; }
  int height() const { return m_height; }

 private:
  HWND m_top;
  int m_width = 0, m_height = 0;
  std::vector<COLORREF> m_pixels;
};

// A rectangle of pixels found by colour: its bounds and how many there were.
struct PixelBox {
  int count = 0;
  RECT bounds = {0, 0, 0, 0};  // right and bottom inclusive
};

// The pixels of exactly `colour` within `area`.
PixelBox find_colour(const WindowPixels& pixels, const RECT& area, COLORREF colour);
// The points of `area` whose colour differs from `colour`, as "(x,y)=RRGGBB"
// lines, at most `limit` of them, for failure messages; empty when none.
std::string points_not_of(const WindowPixels& pixels, const RECT& area, COLORREF colour, int limit = 8);
// Positions of the pixels of exactly `colour` within `area`, relative to its corner.
std::vector<POINT> mask_of(const WindowPixels& pixels, const RECT& area, COLORREF colour);
// Positions of the pixels within `area` that differ from `background`: what
// was drawn there, blended edges included.
std::vector<POINT> footprint(const WindowPixels& pixels, const RECT& area, COLORREF background);
bool same_points(const std::vector<POINT>& a, const std::vector<POINT>& b);

// A control's window rectangle in the client coordinates of `top`.
RECT rect_in(HWND control, HWND top);

}  // namespace units::testing
