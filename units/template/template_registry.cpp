#include "units/template/template_registry.h"

namespace units {
namespace {

// While a window is being or has been loaded its run-time state lives in the
// copy taken before creation; otherwise the stored entries are the only ones.
std::vector<UnitEntry>& current_entries(WindowTemplate& window) {
  const bool in_use = (window.loading || window.loaded) && !window.live.empty();
  return in_use ? window.live : window.entries;
}

}  // namespace

WindowTemplate* TemplateRegistry::find(uint32_t window_id) {
  for (auto& window : m_windows)
    if (window->id == window_id) return window.get();
  return nullptr;
}

int TemplateRegistry::find_entry_index(WindowTemplate& window, uint32_t entry_id) {
  const std::vector<UnitEntry>& entries = current_entries(window);
  if (entries.empty()) return -1;
  if (entry_id == 0 || entry_id == window.id) return 0;
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].id == entry_id) return static_cast<int>(i);
  return -1;
}

UnitEntry* TemplateRegistry::find_entry(WindowTemplate& window, uint32_t entry_id) {
  const int index = find_entry_index(window, entry_id);
  return index < 0 ? nullptr : &current_entries(window)[index];
}

}  // namespace units
