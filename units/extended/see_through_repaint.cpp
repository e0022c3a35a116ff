#include "units/extended/see_through_repaint.h"

#include <vector>

namespace extended {
namespace {

// Visible descendants of `parent`, each window after its own descendants and
// siblings from the top of the z-order down: walked backwards, this paints
// from the bottom up, every parent before what lies on it.
void collect_visible(HWND parent, std::vector<HWND>& out) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    collect_visible(child, out);
    out.push_back(child);
  }
}

void to_client(HWND window, RECT& rect) { MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2); }

}  // namespace

HWND top_window_of(HWND window) {
  HWND top = window;
  while (!(GetWindowLongA(top, GWL_STYLE) & WS_POPUP)) {
    const HWND parent = GetParent(top);
    if (!parent) break;
    top = parent;
  }
  return top;
}

void repaint_see_through(HWND window) {
  const HWND top = top_window_of(window);

  RECT area;  // the window's client area on the screen
  GetClientRect(window, &area);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);

  RECT in_top = area;
  to_client(top, in_top);
  InvalidateRect(top, &in_top, TRUE);
  UpdateWindow(top);

  // The top window's own painting leaves out its children (and theirs); each
  // one that overlaps the area draws its share again, bottom to top.
  std::vector<HWND> windows;
  collect_visible(top, windows);
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    RECT bounds, part;
    GetWindowRect(*it, &bounds);
    if (!IntersectRect(&part, &bounds, &area)) continue;
    to_client(*it, part);
    RedrawWindow(*it, &part, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ERASENOW | RDW_FRAME);
  }

  // Over the fresh background, without erasing it again.
  InvalidateRect(window, nullptr, FALSE);
}

}  // namespace extended
