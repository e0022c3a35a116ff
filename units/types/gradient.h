#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace units {

// The colours of a gradient with default colours left out.
std::vector<COLORREF> gradient_colours(std::initializer_list<uint32_t> colours);

// Fills `rect` with a gradient through `colours` (two or more). Modes: 1 left
// to right, 2 top to bottom, 3 right to left, 4 bottom to top, 5 from both
// sides to the middle, 6 from top and bottom to the middle, 7 from the middle
// to both sides, 8 from the middle to top and bottom.
void fill_gradient(HDC dc, const RECT& rect, const std::vector<COLORREF>& colours, uint32_t mode);

// A frame `width` pixels wide around `rect`, shading through `colours` from
// the outer edge to the inner one.
void draw_gradient_frame(HDC dc, const RECT& rect, const std::vector<COLORREF>& colours, int width);

}  // namespace units
