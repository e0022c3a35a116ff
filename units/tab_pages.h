#pragma once

#include <cstdint>

namespace units {

// Shows the units of page `page` of a tab and hides those of its other pages
// (the tab's child list, divided into pages by 0 entries, says which is which).
void show_selected_page(uint32_t window_id, uint32_t tab_unit_id, int page);

}  // namespace units
