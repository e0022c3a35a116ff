#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <optional>

#include "runtime/unit_type.h"
#include "runtime/window_layer.h"
#include "units/template/template_registry.h"

namespace units {

class UnitControl;

// The window layer of a program with window templates: the registry, loading
// windows from it, events from controls to the program's handlers, and unit
// properties read and written by the program.
class WindowUnits final : public rt::WindowLayer {
 public:
  WindowUnits();
  ~WindowUnits() override;

  // The layer of the running program (the one whose templates were read).
  static WindowUnits* current();

  bool read_templates(const uint8_t* data, uint32_t size, uintptr_t code_base) override;
  void release_templates() override;
  void* registry() override { return m_registry ? &*m_registry : nullptr; }
  int32_t template_count() override { return m_registry ? static_cast<int32_t>(m_registry->size()) : 0; }

  bool load_window(uint32_t window_id, bool modal, void* owner) override;
  bool any_window_alive() override;
  void unit_destroyed(uint32_t window_id, uint32_t unit_id) override;
  void* live_control(uint32_t window_id, uint32_t unit_id) override;

  int32_t raise_event(void* record) override;
  int32_t raise_event_typed(void* record) override;

  uint64_t read_property(uint32_t window_id, uint32_t unit_id, int32_t number, int32_t element) override;
  void write_property(uint32_t window_id, uint32_t unit_id, int32_t number, int32_t element, uint32_t value,
                      uint32_t value_high) override;

  rt::ErrorPlace locate(uint32_t window_id, uint32_t unit_id) override;

  // Look-ups for the units themselves.
  WindowTemplate* loaded_window(uint32_t window_id);
  UnitEntry* entry(uint32_t window_id, uint32_t unit_id);
  UnitControl* control(uint32_t window_id, uint32_t unit_id);
  // The unit entry whose control is `handle` (or a container control holding
  // it); with `try_parent` once more for the handle's parent. Null if none.
  UnitEntry* entry_of_handle(HWND handle, bool try_parent, uint32_t* window_id = nullptr);
  static const rt::UnitType* type_of(const UnitEntry& entry);

  void show_page(uint32_t window_id, uint32_t tab_unit_id, int page);
  // Builds the window's menu and accelerator table from its menu items again
  // and sets them, replacing (and destroying) the previous ones.
  void rebuild_menu(WindowTemplate& window);
  void install_accelerators(WindowTemplate& window, HACCEL accelerators);
  void release_modal(uint32_t window_id);
  // Re-creates a unit's control after a property change asked for it.
  void recreate(WindowTemplate& window, UnitEntry& entry);

 private:
  bool create_units(WindowTemplate& window, void* owner);
  void destroy_failed_load(WindowTemplate& window);
  bool on_hidden_tab_page(WindowTemplate& window, const UnitEntry& entry);
  // The unit a property access names; a window that is not loaded or a unit
  // it does not have is the runtime error of an access to an unloaded window.
  UnitEntry* accessed_unit(uint32_t window_id, uint32_t unit_id, WindowTemplate*& window);
  uint64_t read_on_window_thread(uint32_t window_id, uint32_t unit_id, int32_t number, int32_t element);
  void write_on_window_thread(uint32_t window_id, uint32_t unit_id, int32_t number, int32_t element,
                              uint64_t value);

  std::optional<TemplateRegistry> m_registry;
  uint32_t m_modal_window = 0;
  std::vector<std::pair<HWND, bool>> m_disabled_by_modal;
  HWND m_marshal_window = nullptr;
};

}  // namespace units
