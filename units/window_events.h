#pragma once

#include <cstdint>

// What the window unit asks of the window layer, and what the layer asks of
// the window unit.
namespace units {

// A window that was shown modally is closing: the windows its display
// disabled get their remembered state back.
void release_modal_windows(uint32_t window_id);

// Shows a freshly loaded window by its position property.
void show_loaded_window(void* window_control, uint32_t build_mode);

}  // namespace units

namespace units {

// The cursor made for a unit when its window was loaded, or null.
void* unit_cursor(uint32_t window_id, uint32_t unit_id);

}  // namespace units

namespace units {

// A menu command (WM_COMMAND 20000-57599) of a window: raises event 0 of the
// menu item it belongs to. False when it is not one of the window's items.
bool raise_menu_command(uint32_t window_id, unsigned command);

}  // namespace units
