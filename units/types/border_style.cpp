#include "units/types/border_style.h"

namespace units {

void apply_border_style(HWND control, uint32_t border) {
  constexpr LONG kExBits = WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME;
  LONG ex = GetWindowLongA(control, GWL_EXSTYLE) & ~kExBits;
  LONG style = GetWindowLongA(control, GWL_STYLE) & ~WS_BORDER;
  switch (border) {
    case 1: ex |= WS_EX_CLIENTEDGE; break;
    case 2: ex |= WS_EX_DLGMODALFRAME; break;
    case 3: ex |= WS_EX_STATICEDGE; break;
    case 4: ex |= WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME; break;
    case 5: style |= WS_BORDER; break;
    default: break;
  }
  SetWindowLongA(control, GWL_EXSTYLE, ex);
  SetWindowLongA(control, GWL_STYLE, style);
  SetWindowPos(control, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace units
