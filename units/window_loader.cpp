// Loading a window from its template: create the window and its units, put
// each unit on its parent, stack them, make their cursors, tell the units,
// show them, raise the window's first events and show the window.
#include <algorithm>

#include "runtime/runtime_app.h"
#include "runtime/system_function.h"
#include "units/controls/unit_control.h"
#include "units/cursor_data.h"
#include "units/menu_builder.h"
#include "units/types/type_operations.h"
#include "units/window_events.h"
#include "units/window_units.h"

namespace units {
namespace {

// Private messages the units answer after creation (and after re-creation).
constexpr UINT kCreatedNotice = 0x806F;
constexpr UINT kWindowReadyNotice = 0x8004;
constexpr UINT kFocusNotice = 0x8076;

constexpr UINT kFirstControlId = 100;
constexpr UINT kControlIdStep = 10;

HWND handle_of(const UnitEntry& e) { return e.object ? static_cast<UnitControl*>(e.object)->handle() : nullptr; }

uint32_t build_mode() {
  rt::RuntimeApp* app = rt::RuntimeApp::current();
  return app ? app->build_mode() : 0;
}

}  // namespace

bool WindowUnits::load_window(uint32_t window_id, bool modal, void* owner) {
  WindowTemplate* window = m_registry ? m_registry->find(window_id) : nullptr;
  if (!window || window->entries.empty()) return false;

  // A live window is only brought forward.
  if (window->loaded && !window->live.empty()) {
    if (HWND live = handle_of(window->live[0]); live && IsWindow(live)) {
      if (IsIconic(live))
        ShowWindow(live, SW_RESTORE);
      else
        SetActiveWindow(live);
      return true;
    }
  }
  if (modal) owner = nullptr;
  else if (owner && !IsWindow(static_cast<HWND>(owner))) return false;

  rt::system_function(rt::sysfn::kEnterQuiet, 0, 0);
  window->live = window->entries;
  window->loading = true;
  const BuiltMenu menu = build_menu(window->live);

  if (!create_units(*window, owner)) {
    if (menu.accelerators) DestroyAcceleratorTable(menu.accelerators);
    if (menu.menu) DestroyMenu(menu.menu);
    destroy_failed_load(*window);
    rt::system_function(rt::sysfn::kLeaveQuiet, 0, 0);
    return false;
  }
  std::vector<UnitEntry>& units = window->live;
  const HWND window_handle = handle_of(units[0]);
  if (menu.menu) SetMenu(window_handle, menu.menu);

  // Each unit onto its parent's control; units on later tab pages start hidden.
  std::vector<bool> visible(units.size(), false);
  for (size_t i = 1; i < units.size(); ++i) {
    const rt::UnitType* type = units[i].is_menu_item() ? nullptr : type_of(units[i]);
    visible[i] = type && !(type->state_flags & rt::unit_flag::kNeverShown) && (units[i].flags & kFlagVisible);
  }
  for (size_t i = 1; i < units.size(); ++i) {
    UnitEntry& unit = units[i];
    if (unit.is_menu_item() || !unit.object) continue;
    UnitEntry* parent = unit.parent ? TemplateRegistry::find_entry(*window, unit.parent) : nullptr;
    const HWND parent_handle = parent && parent->object ? handle_of(*parent) : window_handle;
    if (GetParent(handle_of(unit)) != parent_handle) SetParent(handle_of(unit), parent_handle);
    const rt::UnitType* type = type_of(unit);
    if (type && (type->state_flags & rt::unit_flag::kKeepsPage)) {
      bool later_page = false;
      for (uint32_t child : unit.children) {
        if (child == 0) {
          later_page = true;
          continue;
        }
        if (!later_page) continue;
        const int index = TemplateRegistry::find_entry_index(*window, child);
        if (index > 0) visible[static_cast<size_t>(index)] = false;
      }
    }
  }

  // Stacking: each unit right below the nearest earlier unit of the same parent.
  for (size_t i = 1; i < units.size(); ++i) {
    if (units[i].is_menu_item() || !units[i].object) continue;
    HWND above = HWND_TOP;
    for (size_t j = i - 1; j >= 1; --j) {
      if (!units[j].is_menu_item() && units[j].object && units[j].parent == units[i].parent) {
        above = handle_of(units[j]);
        break;
      }
    }
    SetWindowPos(handle_of(units[i]), above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  for (UnitEntry& unit : units)
    if (!unit.is_menu_item()) {
      const std::string data(unit.cursor_data.begin(), unit.cursor_data.end());
      unit.cursor = cursor_from_data(data);
    }

  for (size_t i = units.size(); i-- > 0;)
    if (!units[i].is_menu_item() && units[i].object) SendMessageA(handle_of(units[i]), kCreatedNotice, 0, 0);
  SendMessageA(window_handle, kWindowReadyNotice, 0, 0);

  for (size_t i = 1; i < units.size(); ++i)
    if (!units[i].is_menu_item() && units[i].object) ShowWindow(handle_of(units[i]), visible[i] ? SW_SHOWNA : SW_HIDE);

  install_accelerators(*window, menu.accelerators);
  rt::system_function(rt::sysfn::kLeaveQuiet, 0, 0);
  window->loading = false;
  window->loaded = true;

  // The window's first events; a handler may close the window at any point.
  auto* window_control = static_cast<UnitControl*>(units[0].object);
  const bool initially_visible = (window->entries[0].flags & kFlagVisible) != 0;
  window_control->raise_event(0);
  if (!IsWindow(window_handle)) return true;
  static_cast<UnitControl*>(window->live[0].object)->raise_event(3);
  if (!IsWindow(window_handle)) return true;
  static_cast<UnitControl*>(window->live[0].object)->raise_event(4);
  if (!IsWindow(window_handle)) return true;

  if (initially_visible) {
    show_loaded_window(window->live[0].object, build_mode());
    HWND focus = GetFocus();
    if (focus && (focus == window_handle || IsChild(window_handle, focus))) {
      UnitEntry* focused = focus == window_handle ? &window->live[0] : entry_of_handle(focus, true);
      if (focused && focused->object) static_cast<UnitControl*>(focused->object)->raise_event(-7);
    }
  }
  if (!IsWindow(window_handle)) return true;

  if (modal) {
    m_modal_window = window_id;
    m_disabled_by_modal.clear();
    for (auto& other : m_registry->windows()) {
      if (other.get() == window || !other->loaded || other->live.empty()) continue;
      HWND h = handle_of(other->live[0]);
      if (!h || GetParent(h)) continue;
      m_disabled_by_modal.emplace_back(h, IsWindowEnabled(h) != FALSE);
      EnableWindow(h, FALSE);
    }
    if (rt::RuntimeApp* app = rt::RuntimeApp::current()) app->modal_window() = window_handle;
  }

  const HWND noted = GetFocus();
  for (size_t i = window->live.size(); i-- > 0;)
    if (!window->live[i].is_menu_item() && window->live[i].object)
      SendMessageA(handle_of(window->live[i]), kFocusNotice, 0, 0);
  if (noted && IsWindow(noted) && GetFocus() != noted) SetFocus(noted);
  return true;
}

bool WindowUnits::create_units(WindowTemplate& window, void* owner) {
  std::vector<UnitEntry>& units = window.live;
  UINT next_id = kFirstControlId;
  // The window first, then its units from the last entry to the first.
  std::vector<size_t> order = {0};
  for (size_t i = units.size(); i-- > 1;) order.push_back(i);
  HWND window_handle = nullptr;
  for (size_t i : order) {
    UnitEntry& unit = units[i];
    if (unit.is_menu_item()) continue;
    const rt::UnitType* type = type_of(unit);
    auto create = type && type->lookup ? reinterpret_cast<CreateOperation>(type->lookup(op::kCreate)) : nullptr;
    if (!create) return false;
    uint32_t style = 0;
    if (unit.flags & kFlagDisabled) style |= WS_DISABLED;
    if (unit.flags & kFlagTabStop) style |= WS_TABSTOP;
    const bool is_window = i == 0;
    const UINT control_id = is_window ? 0 : next_id;
    if (!is_window) next_id += kControlIdStep;
    void* object = create(unit.properties.data(), static_cast<uint32_t>(unit.properties.size()), style,
                          is_window ? owner : window_handle, control_id, nullptr, unit.left, unit.top, unit.width,
                          unit.height, window.id, unit.id, nullptr, 0);
    if (!object) return false;
    unit.object = object;
    if (is_window) window_handle = static_cast<UnitControl*>(object)->handle();
  }
  return true;
}

void WindowUnits::destroy_failed_load(WindowTemplate& window) {
  if (!window.live.empty() && window.live[0].object) {
    // Not the end of a unit the program ever saw.
    UnitControl::s_recreating = true;
    DestroyWindow(static_cast<UnitControl*>(window.live[0].object)->handle());
    UnitControl::s_recreating = false;
  }
  window.live.clear();
  window.loading = false;
  window.loaded = false;
}

}  // namespace units
