#include "units/types/gradient.h"

#include "units/property_types.h"

namespace units {
namespace {

COLORREF mix(COLORREF a, COLORREF b, double t) {
  auto channel = [t](int x, int y) { return static_cast<BYTE>(x + (y - x) * t + 0.5); };
  return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
             channel(GetBValue(a), GetBValue(b)));
}

// The colour at position t (0..1) along the stops.
COLORREF at(const std::vector<COLORREF>& colours, double t) {
  const double scaled = t * static_cast<double>(colours.size() - 1);
  size_t i = static_cast<size_t>(scaled);
  if (i >= colours.size() - 1) return colours.back();
  return mix(colours[i], colours[i + 1], scaled - static_cast<double>(i));
}

void fill_line(HDC dc, const RECT& r, COLORREF colour) {
  SetBkColor(dc, colour);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

}  // namespace

std::vector<COLORREF> gradient_colours(std::initializer_list<uint32_t> colours) {
  std::vector<COLORREF> kept;
  for (uint32_t c : colours)
    if (c != kDefaultColour) kept.push_back(static_cast<COLORREF>(c & 0xFFFFFF));
  return kept;
}

void fill_gradient(HDC dc, const RECT& rect, const std::vector<COLORREF>& colours, uint32_t mode) {
  if (colours.size() < 2) return;
  const bool horizontal = mode == 1 || mode == 3 || mode == 5 || mode == 7;
  const int length = horizontal ? rect.right - rect.left : rect.bottom - rect.top;
  if (length <= 0) return;
  const COLORREF saved = GetBkColor(dc);
  for (int i = 0; i < length; ++i) {
    double t = length > 1 ? static_cast<double>(i) / (length - 1) : 0.0;
    if (mode == 3 || mode == 4) t = 1.0 - t;
    if (mode >= 5) t = 1.0 - 2.0 * (t < 0.5 ? 0.5 - t : t - 0.5);  // 0 at the edges, 1 in the middle
    if (mode >= 7) t = 1.0 - t;
    RECT line = rect;
    if (horizontal) {
      line.left = rect.left + i;
      line.right = line.left + 1;
    } else {
      line.top = rect.top + i;
      line.bottom = line.top + 1;
    }
    fill_line(dc, line, at(colours, t));
  }
  SetBkColor(dc, saved);
}

void draw_gradient_frame(HDC dc, const RECT& rect, const std::vector<COLORREF>& colours, int width) {
  if (colours.size() < 2 || width <= 0) return;
  const COLORREF saved = GetBkColor(dc);
  for (int i = 0; i < width; ++i) {
    const COLORREF c = at(colours, width > 1 ? static_cast<double>(i) / (width - 1) : 0.0);
    const RECT r = {rect.left + i, rect.top + i, rect.right - i, rect.bottom - i};
    fill_line(dc, {r.left, r.top, r.right, r.top + 1}, c);
    fill_line(dc, {r.left, r.bottom - 1, r.right, r.bottom}, c);
    fill_line(dc, {r.left, r.top, r.left + 1, r.bottom}, c);
    fill_line(dc, {r.right - 1, r.top, r.right, r.bottom}, c);
  }
  SetBkColor(dc, saved);
}

}  // namespace units
