#include "units/window_units.h"

#include <atomic>

#include "runtime/runtime_app.h"
#include "runtime/system_function.h"
#include "runtime/unit_type_lookup.h"
#include "runtime/event_record.h"
#include "runtime/toolkit/dialog_keyboard.h"
#include "units/controls/unit_control.h"
#include "units/menu_builder.h"
#include "units/tab_pages.h"
#include "units/window_events.h"

namespace units {
namespace {

std::atomic<WindowUnits*> g_current{nullptr};

}  // namespace

WindowUnits::WindowUnits() { g_current = this; }

WindowUnits::~WindowUnits() {
  WindowUnits* self = this;
  g_current.compare_exchange_strong(self, nullptr);
}

WindowUnits* WindowUnits::current() { return g_current.load(); }

HWND create_marshal_window();

bool WindowUnits::read_templates(const uint8_t* data, uint32_t size, uintptr_t code_base) {
  // Runs on the window thread: property access from other threads is relayed here.
  if (!m_marshal_window) m_marshal_window = create_marshal_window();
  m_registry = TemplateRegistry::read(data, size, code_base);
  return m_registry.has_value();
}

void WindowUnits::release_templates() {
  // Windows may still live while the program ends; their controls keep their
  // own data, and every look-up finds nothing from here on.
  m_registry.reset();
}

WindowTemplate* WindowUnits::loaded_window(uint32_t window_id) {
  if (!m_registry) return nullptr;
  WindowTemplate* window = m_registry->find(window_id);
  return window && (window->loaded || window->loading) ? window : nullptr;
}

UnitEntry* WindowUnits::entry(uint32_t window_id, uint32_t unit_id) {
  WindowTemplate* window = loaded_window(window_id);
  return window ? TemplateRegistry::find_entry(*window, unit_id) : nullptr;
}

UnitControl* WindowUnits::control(uint32_t window_id, uint32_t unit_id) {
  UnitEntry* found = entry(window_id, unit_id);
  if (!found || found->is_menu_item() || !found->object) return nullptr;
  auto* control = static_cast<UnitControl*>(found->object);
  return IsWindow(control->handle()) ? control : nullptr;
}

const rt::UnitType* WindowUnits::type_of(const UnitEntry& entry) {
  return reinterpret_cast<const rt::UnitType*>(
      static_cast<intptr_t>(rt::system_function(rt::sysfn::kUnitType, static_cast<intptr_t>(entry.type), 0)));
}

bool WindowUnits::any_window_alive() {
  if (!m_registry) return false;
  for (auto& window : m_registry->windows()) {
    if (!window->loaded || window->live.empty()) continue;
    auto* control = static_cast<UnitControl*>(window->live[0].object);
    if (control && IsWindow(control->handle())) return true;
  }
  return false;
}

void* WindowUnits::live_control(uint32_t window_id, uint32_t unit_id) {
  UnitControl* found = control(window_id, unit_id);
  return found ? found->handle() : nullptr;
}

UnitEntry* WindowUnits::entry_of_handle(HWND handle, bool try_parent, uint32_t* window_id) {
  if (!m_registry || !handle) return nullptr;
  for (int attempt = 0; attempt < (try_parent ? 2 : 1); ++attempt) {
    for (auto& window : m_registry->windows()) {
      if (!window->loaded && !window->loading) continue;
      for (size_t i = 1; i < window->live.size(); ++i) {
        UnitEntry& e = window->live[i];
        if (e.is_menu_item() || !e.object) continue;
        if (static_cast<UnitControl*>(e.object)->handle() == handle) {
          if (window_id) *window_id = window->id;
          return &e;
        }
      }
      for (size_t i = 1; i < window->live.size(); ++i) {
        UnitEntry& e = window->live[i];
        const rt::UnitType* type = e.is_menu_item() ? nullptr : type_of(e);
        if (!type || !e.object || (type->state_flags & 0x200200) == 0) continue;
        if (IsChild(static_cast<UnitControl*>(e.object)->handle(), handle)) {
          if (window_id) *window_id = window->id;
          return &e;
        }
      }
    }
    handle = GetParent(handle);
  }
  return nullptr;
}

void WindowUnits::unit_destroyed(uint32_t window_id, uint32_t unit_id) {
  WindowTemplate* window = loaded_window(window_id);
  if (!window || window->live.empty()) return;
  const bool whole_window = unit_id == 0 || unit_id == window->live[0].id;
  if (!whole_window) {
    if (UnitEntry* e = TemplateRegistry::find_entry(*window, unit_id)) e->object = nullptr;
    return;
  }
  install_accelerators(*window, nullptr);
  for (UnitEntry& e : window->live) {
    if (e.cursor) DestroyCursor(static_cast<HCURSOR>(e.cursor));
    e.cursor = nullptr;
    e.object = nullptr;
  }
  window->loaded = false;
  window->loading = false;
  window->live.clear();
  if (m_modal_window == window_id) release_modal(window_id);
  if (rt::RuntimeApp* app = rt::RuntimeApp::current()) app->window_closed();
}

rt::ErrorPlace WindowUnits::locate(uint32_t window_id, uint32_t unit_id) {
  rt::ErrorPlace place;
  WindowTemplate* window = loaded_window(window_id);
  if (!window || window->live.empty()) return place;
  place.window_loaded = true;
  place.window_tag = window->live[0].tag;
  const UnitEntry* e = TemplateRegistry::find_entry(*window, unit_id);
  if (e && !e->is_menu_item()) {
    place.unit_found = true;
    place.unit_tag = e->tag;
  }
  return place;
}

bool WindowUnits::on_hidden_tab_page(WindowTemplate& window, const UnitEntry& unit) {
  for (const UnitEntry& e : window.live) {
    const rt::UnitType* type = e.is_menu_item() ? nullptr : type_of(e);
    if (!type || !(type->state_flags & rt::unit_flag::kKeepsPage) || !e.object) continue;
    int page = 0;
    for (uint32_t child : e.children) {
      if (child == 0) {
        ++page;
        continue;
      }
      if (child != unit.id) continue;
      HWND tab = static_cast<UnitControl*>(e.object)->handle();
      return page != static_cast<int>(SendMessageA(tab, 0x130B /* TCM_GETCURSEL */, 0, 0));
    }
  }
  return false;
}

void WindowUnits::show_page(uint32_t window_id, uint32_t tab_unit_id, int page) {
  WindowTemplate* window = loaded_window(window_id);
  UnitEntry* tab = window ? TemplateRegistry::find_entry(*window, tab_unit_id) : nullptr;
  if (!tab) return;
  int current = 0;
  for (uint32_t child : tab->children) {
    if (child == 0) {
      ++current;
      continue;
    }
    UnitEntry* unit = TemplateRegistry::find_entry(*window, child);
    if (!unit || !unit->object) continue;
    const rt::UnitType* type = type_of(*unit);
    const bool never_shown = type && (type->state_flags & rt::unit_flag::kNeverShown);
    const bool show = current == page && (unit->flags & kFlagVisible) && !never_shown;
    ShowWindow(static_cast<UnitControl*>(unit->object)->handle(), show ? SW_SHOWNA : SW_HIDE);
  }
}

void WindowUnits::release_modal(uint32_t window_id) {
  if (m_modal_window != window_id) return;
  for (auto& [window, enabled] : m_disabled_by_modal)
    if (IsWindow(window)) EnableWindow(window, enabled);
  m_disabled_by_modal.clear();
  m_modal_window = 0;
  if (rt::RuntimeApp* app = rt::RuntimeApp::current()) app->modal_window() = nullptr;
}

void WindowUnits::install_accelerators(WindowTemplate& window, HACCEL accelerators) {
  HWND handle = window.live.empty() || !window.live[0].object ? nullptr
                                                               : static_cast<UnitControl*>(window.live[0].object)->handle();
  if (handle) toolkit::set_window_accelerators(handle, accelerators);
  if (window.accelerators) DestroyAcceleratorTable(static_cast<HACCEL>(window.accelerators));
  window.accelerators = accelerators;
}

void WindowUnits::rebuild_menu(WindowTemplate& window) {
  if (window.live.empty() || !window.live[0].object) return;
  HWND handle = static_cast<UnitControl*>(window.live[0].object)->handle();
  const BuiltMenu built = build_menu(window.live);
  HMENU previous = GetMenu(handle);
  SetMenu(handle, built.menu);
  if (previous) DestroyMenu(previous);
  install_accelerators(window, built.accelerators);
}

bool raise_menu_command(uint32_t window_id, unsigned command) {
  WindowUnits* layer = WindowUnits::current();
  WindowTemplate* window = layer ? layer->loaded_window(window_id) : nullptr;
  if (!window) return false;
  const int index = menu_entry_of_command(window->live, command);
  if (index < 0) return false;
  rt::EventRecord record = {};
  record.window_id = window_id;
  record.unit_id = window->live[static_cast<size_t>(index)].id;
  record.event = 0;
  rt::system_function(rt::sysfn::kRaiseEvent, reinterpret_cast<intptr_t>(&record), 0);
  return true;
}

void show_selected_page(uint32_t window_id, uint32_t tab_unit_id, int page) {
  if (WindowUnits* layer = WindowUnits::current()) layer->show_page(window_id, tab_unit_id, page);
}

void release_modal_windows(uint32_t window_id) {
  if (WindowUnits* layer = WindowUnits::current()) layer->release_modal(window_id);
}

void* unit_cursor(uint32_t window_id, uint32_t unit_id) {
  WindowUnits* layer = WindowUnits::current();
  UnitEntry* e = layer ? layer->entry(window_id, unit_id) : nullptr;
  return e ? e->cursor : nullptr;
}

}  // namespace units
