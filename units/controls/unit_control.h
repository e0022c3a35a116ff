#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "runtime/event_routine.h"
#include "runtime/unit_type.h"
#include "units/types/property_store.h"
#include "units/types/type_operations.h"

namespace units {

// What a create operation is given.
struct CreateArguments {
  uint32_t style;  // the template's style bits: WS_VISIBLE, WS_DISABLED, WS_TABSTOP
  HWND parent;
  UINT control_id;
  int left, top, width, height;
  int32_t extra;
};

// The object bound to one live control: it owns the unit's own properties,
// turns Windows messages into events of the unit and receives the
// notifications that its parent reflects back to it.
class UnitControl {
 public:
  UnitControl(uint32_t window_id, uint32_t unit_id, size_t own_property_count);
  virtual ~UnitControl() = default;
  UnitControl(const UnitControl&) = delete;
  UnitControl& operator=(const UnitControl&) = delete;

  HWND handle() const { return m_handle; }
  uint32_t window_id() const { return m_window_id; }
  uint32_t unit_id() const { return m_unit_id; }
  PropertyStore& properties() { return m_properties; }

  static UnitControl* from_handle(HWND handle);

  // The type's own work: make the control window from the properties.
  virtual bool create(const CreateArguments& args) = 0;
  virtual const BlockLayout& layout() const = 0;
  // The data type word of own property `index` (number - 8).
  virtual uint32_t data_type(int index) const = 0;
  // Own index -> 1 when the control must be re-created for the change.
  virtual int32_t write_property(int index, const PropertyValue& value);
  virtual bool read_property(int index, PropertyValue& out);
  std::vector<uint8_t> save() const { return m_properties.save(layout()); }
  virtual bool wants_key(int32_t key) { return false; }
  virtual bool is_default_button() { return false; }

  // Raises event `event` of this unit with 32-bit arguments; true when a
  // handler ran. `answer` receives its result, if it gave one.
  bool raise_event(int32_t event, std::initializer_list<uint32_t> args = {}, rt::EventAnswer* answer = nullptr);

  // Set while a control is being re-created: the old control's end is not
  // reported as the end of its unit.
  static bool s_recreating;

 protected:
  // Creates the window and binds this object to it.
  bool create_window(DWORD ex_style, const char* class_name, const char* text, DWORD style,
                     const CreateArguments& args);
  virtual LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam);
  // A notification (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*) that this control sent
  // to its parent, handed back to it. True when it answered.
  virtual bool on_reflected(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) { return false; }
  LRESULT default_procedure(UINT message, WPARAM wparam, LPARAM lparam);

  // Font and colours shared by most types.
  void apply_font(int font_index);
  HBRUSH background_brush(uint32_t colour);
  void repaint() { InvalidateRect(m_handle, nullptr, TRUE); }

  PropertyStore m_properties;

 private:
  static LRESULT CALLBACK procedure(HWND handle, UINT message, WPARAM wparam, LPARAM lparam);
  void destroyed();

  HWND m_handle = nullptr;
  WNDPROC m_original = nullptr;
  uint32_t m_window_id;
  uint32_t m_unit_id;
  HFONT m_font = nullptr;
  HBRUSH m_brush = nullptr;
  uint32_t m_brush_colour = 0;
};

// Registers a class of the runtime's "_QW_" family on first use, with
// DefWindowProc as its procedure (the control object subclasses it).
bool register_runtime_class(const char* name, UINT class_style, bool null_brush);

// A LOGFONT from stored font bytes (60 bytes), or the default GUI font's.
LOGFONTA font_or_default(const std::string& font_bytes);

// Colour value to paint: the default colour stands for the button face.
COLORREF paint_colour(uint32_t colour);

}  // namespace units
